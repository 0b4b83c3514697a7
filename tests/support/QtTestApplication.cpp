#include "support/QtTestApplication.h"

#include <QApplication>

// The leak checker of sanitizer builds calls this: the system's font configuration library keeps
// caches it never frees; they are not ours. It lives here so that every Qt test program has it.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

QApplication& QtTestApplication()
{
    static int argc = 1;
    static char name[] = "trackplay_qt_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}
