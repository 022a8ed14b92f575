#pragma once

#include <QHash>
#include <QString>

// Where GNUstep base keeps the per-user defaults folder: its configuration files (the system file named
// by GNUSTEP_CONFIG_FILE or /etc/GNUstep/GNUstep.conf, then the user's own file) and the user's home.
class TRGnustepConfig final
{
public:
    using Values = QHash<QString, QString>;

    // The KEY=VALUE assignments of a configuration file in the shell-like form GNUstep reads: # comment
    // lines, single quotes taken literally, double quotes and bare values with backslash escapes, a
    // backslash before a newline joining lines.
    static Values parseText(const QString &text);

    // Reads a configuration file into *values (later keys win). Refused, as GNUstep refuses it, when the
    // file is missing or unreadable, writable by group or others, or (for a user's file) not owned by the
    // user running the program.
    static bool readFile(const QString &path, bool userFile, Values *values);

    // GNUSTEP_HOME when set, else the passwd entry's home directory, else $HOME.
    static QString userHome();

    // The per-user defaults folder as GNUstep resolves it (absolute, not cleaned of symbolic links).
    static QString userDefaultsFolder();
};
