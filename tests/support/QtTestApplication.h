// The one QApplication of a test program that drives Qt widgets, made on first use and kept for
// the whole run (as in the program, the application exists before any window).
#pragma once

class QApplication;

QApplication& QtTestApplication();
