#include "framework/Host.h"

namespace
{
IHost* g_pHost = nullptr;
int g_nModalDepth = 0; // open modal boxes and dialogs (all on the user-interface thread)
} // namespace

IHost* GetHost()
{
    return g_pHost;
}

IHost* SetHost(IHost* host)
{
    IHost* previous = g_pHost;
    g_pHost = host;
    return previous;
}

CModalScope::CModalScope()
{
    ++g_nModalDepth;
}

CModalScope::~CModalScope()
{
    --g_nModalDepth;
}

bool IsModalOpen()
{
    return g_nModalDepth > 0;
}
