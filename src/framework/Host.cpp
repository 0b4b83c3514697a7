#include "framework/Host.h"

namespace
{
IHost* g_pHost = nullptr;
}

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
