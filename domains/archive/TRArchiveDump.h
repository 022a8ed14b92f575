#pragma once

#include "TRArchiveContents.h"

#include <QByteArray>

// The archive dump: a JSON description of the domains read from an exchange file, with the checks of
// the rebuilt trees (node count, parent links, domain names), for tools and tests that compare files
// written by different programs.
class TRArchiveDump
{
public:
    static QByteArray dump(const TRArchiveContents &contents);
};
