#include "framework/ResourceLoad.h"

HICON LoadIcon(int id)
{
    return FindIconResource(id);
}

HACCEL LoadAccelerators(int id)
{
    return FindAcceleratorTable(id);
}

std::string LoadString(int id)
{
    return std::string(FindStringResource(id));
}
