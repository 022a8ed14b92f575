#pragma once

#include "TRValue.h"

#include <QString>
#include <QtGlobal>

// What tells one version of a file from another without reading it: the device and inode it lives on, its
// size and its modification time. A missing file has an identity of its own; a file that another program
// replaces, writes in place or removes gets another one.
struct TRFileIdentity
{
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 mtimeSeconds = 0;
    qint64 mtimeNanoseconds = 0;

    bool operator==(const TRFileIdentity &) const = default;

    // The identity of the file the path names now, links followed. A path that cannot be looked at for
    // another reason than its absence counts as an existing file of unknown identity.
    static TRFileIdentity ofPath(const QString &path);

    // As a property list ({Device; Inode; Size; Seconds; Nanoseconds}) for the files that record which
    // version of a domain file they came from; anything but a dictionary reads back as a missing file.
    TRValue toValue() const;
    static TRFileIdentity fromValue(const TRValue &value);
};

// A folder of Tamrix's own state: the environment variable when set, else $XDG_STATE_HOME/tamrix/NAME,
// else ~/.local/state/tamrix/NAME (a relative XDG_STATE_HOME is ignored, as the base directory
// specification says).
QString trStateFolder(const char *overrideVariable, const QString &name);
