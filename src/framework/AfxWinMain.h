// The program's entry into the framework: the host given by the platform's main, the application
// object the program defines as a global, and the loop between them.
#pragma once

#include "framework/Host.h"

// Installs host and the framework's message sink (captioned with the application's name), sets
// the command line, runs InitInstance, then Run when it succeeded, then ExitInstance, and finally
// destroys the main window's screen window (the host and its toolkit end when this returns; the
// window object stays with the application object until that is destroyed). Returns the exit
// code (1 when InitInstance failed or there is no application object).
int AfxWinMain(IHost& host, int argc, const char* const* argv);
