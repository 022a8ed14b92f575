// Binary archives are read straight from their bytes; damage anywhere the archive reaches is refused with
// the byte offset of the fault, and the result always agrees with reading the parsed property list.
#include "archive/TRArchiveDump.h"
#include "archive/TRKeyedUnarchiver.h"
#include "plist/TRPropertyList.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// Lays out a binary property list object by object, with one-byte references and two-byte offsets, so
// that single objects can be damaged.
class Bplist
{
public:
    int add(const QByteArray &object)
    {
        m_objects.push_back(object);
        return int(m_objects.size()) - 1;
    }
    int text(const char *chars)
    {
        const QByteArray bytes(chars);
        if (bytes.size() < 15)
            return add(char(0x50 | bytes.size()) + bytes);
        return add(QByteArray("\x5f\x10") + char(bytes.size()) + bytes);
    }
    int uid(int number) { return add(QByteArray(1, char(0x80)) + char(number)); }
    int array(const std::vector<int> &references)
    {
        QByteArray object(1, char(0xa0 | int(references.size())));
        for (int reference : references)
            object.append(char(reference));
        return add(object);
    }
    int dictionary(const std::vector<std::pair<int, int>> &entries)
    {
        QByteArray object(1, char(0xd0 | int(entries.size())));
        for (const auto &entry : entries)
            object.append(char(entry.first));
        for (const auto &entry : entries)
            object.append(char(entry.second));
        return add(object);
    }
    void replace(int index, const QByteArray &object) { m_objects[std::size_t(index)] = object; }

    QByteArray bytes(int top) const
    {
        QByteArray out("bplist00");
        std::vector<int> offsets;
        for (const QByteArray &object : m_objects) {
            offsets.push_back(int(out.size()));
            out.append(object);
        }
        const int table = int(out.size());
        for (int offset : offsets)
            out.append(char(offset >> 8)).append(char(offset & 0xff));
        QByteArray trailer(32, '\0');
        trailer[6] = 2;
        trailer[7] = 1;
        trailer[15] = char(m_objects.size());
        trailer[23] = char(top);
        trailer[30] = char(table >> 8);
        trailer[31] = char(table & 0xff);
        return out + trailer;
    }

private:
    std::vector<QByteArray> m_objects;
};

// A domain "com.example.B" whose root dictionary holds "k" = 7, object by object.
struct Archive
{
    Bplist plist;
    int top = 0;
    int keyRecord = 0;   // the child node's record
    int dictRecord = 0;  // the root's dictionary record
    int classKey = 0;    // the text "$class"
    int childKeyUid = 0; // the UID in NS.keys
    int keyText = 0;     // the text "k" it refers to
    int objects = 0;     // $objects

    Archive()
    {
        Bplist &p = plist;
        classKey = p.text("$class");
        const int k0 = p.text("$0"), k1 = p.text("$1"), k2 = p.text("$2");
        const int className = p.text("$classname");
        const int uids[10] = {p.uid(0), p.uid(1), p.uid(2), p.uid(3), p.uid(4),
                              p.uid(5), p.uid(6), p.uid(7), p.uid(8), p.uid(9)};
        childKeyUid = uids[4];
        // UIDs: 0 $null, 1 domain, 2 name, 3 root node, 4 "k", 5 child node, 6 7, 7 dictionary, 8-10 classes
        std::vector<int> list = {
            p.text("$null"),
            p.dictionary({{k0, uids[2]}, {k1, uids[3]}, {classKey, p.uid(10)}}),
            p.text("com.example.B"),
            p.dictionary({{k0, uids[2]}, {k1, uids[0]}, {k2, uids[7]}, {classKey, uids[9]}}),
            keyText = p.text("k"),
            0,
            p.add(QByteArray("\x10\x07", 2)),
            0,
            p.dictionary({{className, p.text("NSMutableDictionary")}}),
            p.dictionary({{className, p.text("TRKey")}}),
            p.dictionary({{className, p.text("TRDomainController")}})};
        keyRecord = p.dictionary({{k0, uids[2]}, {k1, uids[4]}, {k2, uids[6]}, {classKey, uids[9]}});
        dictRecord = p.dictionary({{p.text("NS.keys"), p.array({childKeyUid})},
                                   {p.text("NS.objects"), p.array({uids[5]})},
                                   {classKey, uids[8]}});
        list[5] = keyRecord;
        list[7] = dictRecord;
        objects = p.array(list);
        const int root = p.dictionary({{p.text("root"), uids[1]}});
        top = p.dictionary({{p.text("$archiver"), p.text("NSKeyedArchiver")},
                            {p.text("$version"), p.add(QByteArray("\x12\x00\x01\x86\xa0", 5))},
                            {p.text("$top"), root},
                            {p.text("$objects"), objects}});
    }
    QByteArray bytes() const { return plist.bytes(top); }
};

struct Outcome
{
    bool ok = false;
    QString error;
    TRArchiveContents contents;
};

Outcome read(const QByteArray &bytes)
{
    Outcome outcome;
    outcome.ok = TRKeyedUnarchiver::unarchiveObjectWithData(bytes, &outcome.contents, &outcome.error);
    return outcome;
}

void expectRefused(const QByteArray &bytes, const char *fragment)
{
    const Outcome outcome = read(bytes);
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.error.contains(QLatin1String(fragment))) << outcome.error.toStdString();
    EXPECT_TRUE(outcome.contents.domains.empty());
}

} // namespace

TEST(ArchiveBinary, AHandLaidOutArchiveReads)
{
    const Outcome outcome = read(Archive().bytes());
    ASSERT_TRUE(outcome.ok) << outcome.error.toStdString();
    const TRKeyPtr child = outcome.contents.domains.front()->rootKey()->childAtIndex(0);
    EXPECT_EQ(child->value(), TRValue::fromInteger(7));
}

TEST(ArchiveBinary, DamagedRecordsAreRefusedWithTheirOffset)
{
    Archive duplicate;
    duplicate.plist.replace(duplicate.keyRecord, QByteArray("\xd2") + char(duplicate.classKey) +
                                                     char(duplicate.classKey) + QByteArray("\x09\x09"));
    expectRefused(duplicate.bytes(), "duplicate dictionary key");

    Archive numberKey;
    const int number = numberKey.plist.add(QByteArray("\x10\x01", 2));
    numberKey.plist.replace(numberKey.keyRecord, QByteArray("\xd1") + char(number) + char(9));
    expectRefused(numberKey.bytes(), "dictionary key is not a string");

    Archive outside;
    outside.plist.replace(outside.dictRecord, QByteArray("\xd1") + char(outside.classKey) + char(250));
    expectRefused(outside.bytes(), "object reference out of range");

    Archive truncated;
    truncated.plist.replace(truncated.dictRecord, QByteArray("\xdf\x10\x7f"));
    expectRefused(truncated.bytes(), "the object is truncated");

    Archive unknown;
    unknown.plist.replace(unknown.keyRecord, QByteArray("\x70"));
    expectRefused(unknown.bytes(), "unknown object type");

    Archive nonAscii;
    nonAscii.plist.replace(nonAscii.keyText, QByteArray("\x51\xe9", 2));
    expectRefused(nonAscii.bytes(), "non-ASCII byte");

    // Damage the archive never reaches is not looked at.
    Archive unreached;
    unreached.plist.add(QByteArray("\x70"));
    EXPECT_TRUE(read(unreached.bytes()).ok);
}

TEST(ArchiveBinary, ReferencesThatAreNoUidsAreRefused)
{
    Archive integer;
    const int number = integer.plist.add(QByteArray("\x10\x04", 2));
    integer.plist.replace(integer.dictRecord - 1, QByteArray("\xa1") + char(number)); // NS.objects
    expectRefused(integer.bytes(), "where a reference to an object belongs");
}

TEST(ArchiveBinary, OffsetsOutsideTheObjectsAreRefused)
{
    Archive archive;
    QByteArray bytes = archive.bytes();
    // The key record's entry of the offset table points into the trailer.
    const qsizetype table = bytes.size() - 32 - 2 * qsizetype(uchar(bytes[bytes.size() - 17]));
    bytes[table + 2 * archive.keyRecord] = char(0xff);
    expectRefused(bytes, "object offset out of range");
}

TEST(ArchiveBinary, DamageAnywhereIsRefusedOrReadsAsTheParsedListDoes)
{
    // Every truncation and every flipped byte: never a crash, never a result that reading the parsed
    // property list would not give.
    const QByteArray sound = Archive().bytes();
    const auto check = [](const QByteArray &bytes) {
        const Outcome direct = read(bytes);
        EXPECT_TRUE(direct.ok || !direct.error.isEmpty());
        TRValue parsed;
        TRPropertyList::Format format = TRPropertyList::Format::Xml;
        if (!TRPropertyList::read(bytes, &parsed, &format))
            return;
        TRArchiveContents fromGraph;
        QString error;
        const bool graphOk =
            TRKeyedUnarchiver::unarchiveObjectWithPropertyList(parsed, false, &fromGraph, &error);
        EXPECT_EQ(direct.ok, graphOk) << direct.error.toStdString() << " / " << error.toStdString();
        if (direct.ok && graphOk) {
            EXPECT_EQ(TRArchiveDump::dump(direct.contents), TRArchiveDump::dump(fromGraph));
        }
    };
    for (qsizetype length = 0; length < sound.size(); ++length)
        check(sound.left(length));
    for (qsizetype at = 0; at < sound.size(); ++at) {
        for (const char mask : {char(0x01), char(0x10), char(0xff)}) {
            QByteArray bytes = sound;
            bytes[at] = char(bytes[at] ^ mask);
            check(bytes);
        }
    }
}
