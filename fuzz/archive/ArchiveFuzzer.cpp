// Fuzz target over the unarchiver: any bytes either are refused or read to domains that write and read
// back to the same dump. A binary archive is read straight from its bytes; wherever the bytes also parse as a
// property list, reading the parsed graph must come to the same answer.
#include "archive/TRArchiveDump.h"
#include "archive/TRKeyedArchiver.h"
#include "archive/TRKeyedUnarchiver.h"
#include "plist/TRPropertyList.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    TRArchiveContents contents;
    QString error;
    const bool read = TRKeyedUnarchiver::unarchiveObjectWithData(bytes, &contents, &error);
    TRValue parsed;
    TRPropertyList::Format format = TRPropertyList::Format::Xml;
    if (bytes.startsWith("bplist00") && TRPropertyList::read(bytes, &parsed, &format)) {
        TRArchiveContents fromGraph;
        const bool graphRead = TRKeyedUnarchiver::unarchiveObjectWithPropertyList(parsed, false, &fromGraph);
        if (graphRead != read || (read && TRArchiveDump::dump(fromGraph) != TRArchiveDump::dump(contents))) {
            std::fprintf(stderr, "the bytes and the parsed graph read differently (%d, %d): %s\n", int(read),
                         int(graphRead), qPrintable(error));
            std::abort();
        }
    }
    if (!read) {
        if (error.isEmpty()) {
            std::fputs("refused without a message\n", stderr);
            std::abort();
        }
        return 0;
    }
    const QByteArray dump = TRArchiveDump::dump(contents);
    QByteArray written;
    if (!TRKeyedArchiver::archivedData(contents, &written, &error)) {
        std::fprintf(stderr, "what was read cannot be written: %s\n", qPrintable(error));
        std::abort();
    }
    TRArchiveContents again;
    if (!TRKeyedUnarchiver::unarchiveObjectWithData(written, &again, &error)) {
        std::fprintf(stderr, "what was written cannot be read: %s\n", qPrintable(error));
        std::abort();
    }
    again.mutableList = contents.mutableList; // we always write a mutable list
    if (TRArchiveDump::dump(again) != dump) {
        std::fputs("the tree changed on writing and reading again\n", stderr);
        std::abort();
    }
    return 0;
}
