#pragma once

#include <QString>

// The editor's command line, read before the application object is made, so that --help, --version, a
// mistyped option and a missing display are answered in a line or two, without a window system. Besides
// its own options it accepts the window-system options Qt takes (-platform, -display, -style, ...).
class TRCommandLine final
{
public:
    // Exit statuses: a command-line mistake (as sysexits' EX_USAGE), and no display to show a window on.
    static constexpr int kExitUsage = 64;
    static constexpr int kExitNoDisplay = 1;

    // Reads main()'s arguments against the environment. Answers true when the application should start;
    // otherwise prints help, the version or the error and sets *exitCode.
    static bool read(int argc, char **argv, int *exitCode);

    // The version shown by --version and set on the application.
    static QString version();
};
