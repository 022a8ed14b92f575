// What we write reads back to the same trees, in the layout both platforms read.
#include "ArchiveGraphWriter.h"
#include "ArchiveTestSupport.h"
#include "TRLimits.h"
#include "archive/TRArchiveDescription.h"
#include "archive/TRArchiveDump.h"
#include "archive/TRKeyedArchiver.h"
#include "archive/TRKeyedUnarchiver.h"
#include "plist/TRPropertyList.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>

using namespace archivetest;

namespace {

TRValue text(const char *utf8)
{
    return TRValue::fromString(QString::fromUtf8(utf8));
}

TRKeyPtr linked(TRKeyPtr node)
{
    node->performForAll([](TRKey &child, const TRKeyPtr &parent) { child.setParent(parent); }, node);
    return node;
}

// A domain with every kind of leaf, nesting, and names of every kind.
TRDomainControllerPtr richDomain(const QString &name)
{
    QByteArray allBytes;
    for (int i = 0; i < 256; ++i)
        allBytes.append(char(i));
    TRDictionary inner;
    inner.insert(QString(), text("empty key"));
    inner.insert(QStringLiteral("42"), text("digits key"));
    TRDictionary entries;
    entries.insert(QStringLiteral("string"), text("hello"));
    entries.insert(QStringLiteral("empty"), text(""));
    entries.insert(QStringLiteral("unicode"), text("Grüße ✓ \xF0\x9F\x98\x80"));
    entries.insert(QStringLiteral("int"), TRValue::fromInteger(42));
    entries.insert(QStringLiteral("max"), TRValue::fromInteger(std::numeric_limits<qint64>::max()));
    entries.insert(QStringLiteral("min"), TRValue::fromInteger(std::numeric_limits<qint64>::min()));
    entries.insert(QStringLiteral("ubig"), TRValue::fromUnsigned(std::numeric_limits<quint64>::max()));
    entries.insert(QStringLiteral("u2p63"), TRValue::fromUnsigned(quint64(1) << 63));
    entries.insert(QStringLiteral("one"), TRValue::fromInteger(1));
    entries.insert(QStringLiteral("true"), TRValue::fromBool(true));
    entries.insert(QStringLiteral("zero"), TRValue::fromInteger(0));
    entries.insert(QStringLiteral("false"), TRValue::fromBool(false));
    entries.insert(QStringLiteral("realOne"), TRValue::fromReal(1.0));
    entries.insert(QStringLiteral("real"), TRValue::fromReal(0.1));
    entries.insert(QStringLiteral("negzero"), TRValue::fromReal(-0.0));
    entries.insert(QStringLiteral("nan"), TRValue::fromReal(std::numeric_limits<double>::quiet_NaN()));
    entries.insert(QStringLiteral("inf"), TRValue::fromReal(-std::numeric_limits<double>::infinity()));
    entries.insert(QStringLiteral("date"), TRValue::fromDate(123456789.123456789));
    entries.insert(QStringLiteral("tinyDate"), TRValue::fromDate(5e-324));
    entries.insert(QStringLiteral("oldDate"), TRValue::fromDate(-1e10));
    entries.insert(QStringLiteral("data"), TRValue::fromData(allBytes));
    entries.insert(QStringLiteral("emptyData"), TRValue::fromData(QByteArray()));
    entries.insert(QStringLiteral("list"),
                   TRValue::fromArray({TRValue::fromInteger(1), text("two"),
                                       TRValue::fromArray({TRValue::fromInteger(3)}), TRValue::fromArray({}),
                                       TRValue::fromDictionary(std::move(inner))}));
    entries.insert(QStringLiteral("emptyDict"), TRValue::fromDictionary({}));
    TRKeyPtr root = TRKey::create(TRValue(), TRValue::fromDictionary(std::move(entries)), nullptr, name);

    // Names a key command gives: a text in a list, a number that is not the position, and no value.
    std::vector<TRKeyPtr> named;
    named.push_back(TRKey::create(text("new item"), text("named by a command"), nullptr, name));
    named.push_back(TRKey::create(TRValue::fromInteger(7), TRValue::fromReal(2.5), nullptr, name));
    named.push_back(TRKey::create(TRValue::fromInteger(2), TRValue(), nullptr, name));
    named.push_back(TRKey::create(TRValue::fromReal(1.5), text("real name"), nullptr, name));
    TRKeyPtr namedList = linked(TRKey::createList(text("named"), name, std::move(named)));
    root->addKey(namedList);
    namedList->setParent(root);
    root->addKey(TRKey::create(text("noValue"), TRValue(), root, name));
    return std::make_shared<TRDomainController>(name, root);
}

void expectSameTree(const TRKey &written, const TRKey &read, const TRKey *readParent)
{
    SCOPED_TRACE(written.nameDescription().toStdString());
    EXPECT_EQ(read.name(), written.name());
    EXPECT_EQ(read.name().kind(), written.name().kind());
    EXPECT_EQ(read.domain(), written.domain());
    EXPECT_EQ(read.nodeKind(), written.nodeKind());
    EXPECT_EQ(read.parent().get(), readParent);
    EXPECT_EQ(read.value(), written.value());
    EXPECT_EQ(read.value().kind(), written.value().kind());
    EXPECT_EQ(read.value().isUnsignedInteger(), written.value().isUnsignedInteger());
    if (written.value().isDate()) { // to the last bit of the double
        const double a = written.value().toDate();
        const double b = read.value().toDate();
        EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);
    }
    ASSERT_EQ(read.count(), written.count());
    for (int i = 0; i < written.count(); ++i) {
        EXPECT_EQ(read.keyAtIndex(i), written.keyAtIndex(i));
        expectSameTree(*written.childAtIndex(i), *read.childAtIndex(i), &read);
    }
}

TRArchiveContents roundTrip(const TRArchiveContents &contents)
{
    QByteArray bytes;
    QString error;
    EXPECT_TRUE(TRKeyedArchiver::archivedData(contents, &bytes, &error)) << error.toStdString();
    EXPECT_TRUE(bytes.startsWith("bplist00"));
    return readArchive(bytes);
}

} // namespace

TEST(ArchiveRoundTrip, OneDomainKeepsNamesKindsValuesAndOrder)
{
    TRArchiveContents contents;
    contents.domains.push_back(richDomain(QStringLiteral("com.example.Rich")));
    ASSERT_FALSE(contents.domains.front()->modified());
    const TRArchiveContents read = roundTrip(contents);
    ASSERT_FALSE(read.isList);
    ASSERT_EQ(read.domains.size(), 1u);
    EXPECT_EQ(read.domains.front()->name(), QStringLiteral("com.example.Rich"));
    EXPECT_TRUE(read.domains.front()->modified());
    expectSameTree(*contents.domains.front()->rootKey(), *read.domains.front()->rootKey(), nullptr);
    EXPECT_EQ(read.domains.front()->databaseRepresentation(),
              contents.domains.front()->databaseRepresentation());
}

TEST(ArchiveRoundTrip, DomainListsKeepTheirOrderEvenWhenEmpty)
{
    TRArchiveContents contents;
    contents.isList = true;
    const TRArchiveContents none = roundTrip(contents);
    EXPECT_TRUE(none.isList);
    EXPECT_TRUE(none.domains.empty());

    contents.domains.push_back(richDomain(QStringLiteral("b.second")));
    contents.domains.push_back(std::make_shared<TRDomainController>(
        QStringLiteral("a.first"),
        TRKey::create(TRValue(), TRValue::fromDictionary({}), nullptr, QStringLiteral("a.first"))));
    contents.domains.push_back(richDomain(QStringLiteral("c.third")));
    const TRArchiveContents read = roundTrip(contents);
    ASSERT_EQ(read.domains.size(), 3u);
    EXPECT_TRUE(read.mutableList);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(read.domains[i]->name(), contents.domains[i]->name());
        EXPECT_TRUE(read.domains[i]->modified());
        expectSameTree(*contents.domains[i]->rootKey(), *read.domains[i]->rootKey(), nullptr);
    }
}

TEST(ArchiveRoundTrip, AnEmptyTextWrittenFirstStaysAText)
{
    // The domain's name is the first text written; an empty one once came out as a reference to "$null".
    TRArchiveContents contents;
    // Read from a file, an empty text is not null and has the address every empty text shares.
    const QString empty = QString::fromLatin1("", 0);
    ASSERT_FALSE(empty.isNull());
    contents.domains.push_back(richDomain(empty));
    const TRArchiveContents read = roundTrip(contents);
    ASSERT_EQ(read.domains.size(), 1u);
    EXPECT_TRUE(read.domains.front()->name().isEmpty());
    expectSameTree(*contents.domains.front()->rootKey(), *read.domains.front()->rootKey(), nullptr);
}

TEST(ArchiveRoundTrip, WrittenLayoutIsApples)
{
    TRArchiveContents contents;
    contents.domains.push_back(richDomain(QStringLiteral("com.example.Layout")));
    TRValue archive;
    ASSERT_TRUE(ArchiveGraphWriter::write(contents, &archive));
    const TRDictionary &top = archive.toDictionary();
    EXPECT_EQ(top.size(), 4);
    EXPECT_EQ(top.value(QStringLiteral("$archiver")), text("NSKeyedArchiver"));
    EXPECT_EQ(top.value(QStringLiteral("$version")), TRValue::fromInteger(100000));
    const TRValue objectsValue = top.value(QStringLiteral("$objects"));
    const TRArray &objects = objectsValue.toArray();
    ASSERT_FALSE(objects.isEmpty());
    EXPECT_EQ(objects.first(), text("$null"));

    int classRecords = 0;
    int domainNames = 0;
    int dates = 0;
    for (const TRValue &object : objects) {
        const TRDictionary &record = object.toDictionary();
        if (record.contains(QStringLiteral("$classname")))
            ++classRecords;
        if (object == text("com.example.Layout"))
            ++domainNames;
        if (record.contains(QStringLiteral("NS.time"))) {
            ++dates;
            EXPECT_TRUE(record.value(QStringLiteral("NS.time")).isReal());
        }
        EXPECT_FALSE(object.isDate()) << "dates are NSDate records in Apple's layout";
    }
    // TRDomainController, TRKey, NSMutableDictionary, NSMutableArray, NSDate: one record each.
    EXPECT_EQ(classRecords, 5);
    EXPECT_EQ(domainNames, 1) << "equal strings are written once";
    EXPECT_EQ(dates, 3);

    const quint64 root =
        top.value(QStringLiteral("$top")).toDictionary().value(QStringLiteral("root")).toUid();
    const TRDictionary &domain = objects.at(qsizetype(root)).toDictionary();
    EXPECT_TRUE(domain.value(QStringLiteral("$0")).isUid());
    EXPECT_TRUE(domain.value(QStringLiteral("$1")).isUid());
    const TRDictionary &rootKey =
        objects.at(qsizetype(domain.value(QStringLiteral("$1")).toUid())).toDictionary();
    EXPECT_EQ(rootKey.value(QStringLiteral("$1")), uid(0)) << "the root's name is nil";
}

TEST(ArchiveRoundTrip, NestingUpToTheLimitRoundTripsAndDeeperIsNotWritten)
{
    const auto nested = [](int depth) {
        TRValue value = text("deep");
        for (int i = 0; i < depth - 1; ++i)
            value = TRValue::fromArray({value});
        TRDictionary entries;
        entries.insert(QStringLiteral("deep"), value);
        TRArchiveContents contents;
        const QString name = QStringLiteral("com.example.Deep");
        contents.domains.push_back(std::make_shared<TRDomainController>(
            name, TRKey::create(TRValue(), TRValue::fromDictionary(std::move(entries)), nullptr, name)));
        return contents;
    };
    const TRArchiveContents atLimit = nested(kTRMaxNestingDepth);
    const TRArchiveContents read = roundTrip(atLimit);
    ASSERT_EQ(read.domains.size(), 1u);
    expectSameTree(*atLimit.domains.front()->rootKey(), *read.domains.front()->rootKey(), nullptr);

    QByteArray bytes;
    QString error;
    EXPECT_FALSE(TRKeyedArchiver::archivedData(nested(kTRMaxNestingDepth + 1), &bytes, &error));
    EXPECT_FALSE(error.isEmpty());
}

// Both platforms read the text "$null" as no value; writing it would silently lose it.
TEST(ArchiveRoundTrip, TheNullMarkerTextIsRefusedRatherThanLost)
{
    for (const char *where : {"value", "key", "name", "domain"}) {
        SCOPED_TRACE(where);
        const QString marker = QStringLiteral("$null");
        const QString domainName =
            QLatin1String(where) == QLatin1String("domain") ? marker : QStringLiteral("com.x");
        TRDictionary entries;
        if (QLatin1String(where) == QLatin1String("value"))
            entries.insert(QStringLiteral("k"), TRValue::fromString(marker));
        if (QLatin1String(where) == QLatin1String("key"))
            entries.insert(marker, TRValue::fromInteger(1));
        TRKeyPtr root =
            TRKey::create(TRValue(), TRValue::fromDictionary(std::move(entries)), nullptr, domainName);
        if (QLatin1String(where) == QLatin1String("name"))
            root->addKey(
                TRKey::create(TRValue::fromString(marker), TRValue::fromInteger(1), root, domainName),
                TRValue::fromString(QStringLiteral("ok")));
        TRArchiveContents contents;
        contents.domains.push_back(std::make_shared<TRDomainController>(domainName, root));
        QByteArray bytes;
        QString error;
        EXPECT_FALSE(TRKeyedArchiver::archivedData(contents, &bytes, &error));
        EXPECT_TRUE(error.contains(marker)) << error.toStdString();
    }
}

TEST(ArchiveRoundTrip, FilesAreReplacedWholeOrNotAtAll)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("one.tamdom"));
    TRArchiveContents contents;
    contents.domains.push_back(richDomain(QStringLiteral("com.example.File")));
    QString error;
    ASSERT_TRUE(TRKeyedArchiver::archiveRootObject(contents, path, &error)) << error.toStdString();
    TRArchiveContents read;
    ASSERT_TRUE(TRKeyedUnarchiver::unarchiveObjectWithFile(path, &read, &error)) << error.toStdString();
    EXPECT_EQ(read.domains.front()->databaseRepresentation(),
              contents.domains.front()->databaseRepresentation());

    // A failed write (here: nothing that can be archived) leaves the old file as it was.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    TRArchiveContents bad;
    bad.domains.push_back(nullptr);
    bad.isList = true;
    EXPECT_FALSE(TRKeyedArchiver::archiveRootObject(bad, path, &error));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    // An empty single domain is refused by both writers, not followed.
    for (const bool isList : {true, false}) {
        bad.isList = isList;
        TRValue graph;
        EXPECT_FALSE(ArchiveGraphWriter::write(bad, &graph, &error)) << isList;
        EXPECT_FALSE(error.isEmpty());
    }

    EXPECT_FALSE(TRKeyedArchiver::archiveRootObject(
        contents, dir.filePath(QStringLiteral("missing/one.tamdom")), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(ArchiveRoundTrip, DescriptionsBuildTheTreesTheyDescribe)
{
    const QByteArray description = R"({"domains": [
        {"domain": "com.x", "root": {"dict": {
            "list": {"array": [{"integer": 3}, {"name": "given", "node": {"string": "s"}}, {"none": null}]},
            "big": {"integer": "18446744073709551615"},
            "when": {"date": 12.5}, "bytes": {"data": "00ff10"}, "nan": {"real": "nan"},
            "flag": {"boolean": true}, "renamed": {"name": 9, "node": {"real": 2.5}}}}},
        {"domain": "com.y", "root": {"dict": {}}}]})";
    TRArchiveContents contents;
    QString error;
    ASSERT_TRUE(TRArchiveDescription::read(description, &contents, &error)) << error.toStdString();
    ASSERT_TRUE(contents.isList);
    ASSERT_EQ(contents.domains.size(), 2u);
    const TRKeyPtr root = contents.domains.front()->rootKey();
    const TRKeyPtr list = root->childForName(text("list"));
    ASSERT_TRUE(list && list->isArray());
    EXPECT_EQ(list->parent(), root);
    EXPECT_EQ(list->childAtIndex(0)->name(), TRValue::fromInteger(0));
    EXPECT_EQ(list->childAtIndex(1)->name(), text("given"));
    EXPECT_EQ(list->childAtIndex(2)->name(), TRValue::fromInteger(2));
    EXPECT_TRUE(list->childAtIndex(2)->value().isNone());
    EXPECT_EQ(root->childForName(text("big"))->value().toUnsigned(), std::numeric_limits<quint64>::max());
    EXPECT_EQ(root->childForName(text("renamed"))->name(), TRValue::fromInteger(9));
    EXPECT_TRUE(std::isnan(root->childForName(text("nan"))->value().toReal()));

    // The dump of what is written and read again shows the same tree.
    for (const TRDomainControllerPtr &domain : contents.domains)
        domain->setModified(true);
    EXPECT_EQ(normalizedDump(TRArchiveDump::dump(roundTrip(contents))),
              normalizedDump(TRArchiveDump::dump(contents)));
}

namespace {

// A domain of about `keys` keys of every kind, with long and non-ASCII texts, values and names shared
// between keys, and containers of more than 15 children.
TRDomainControllerPtr largeDomain(const QString &name, int keys)
{
    TRDictionary top;
    for (int g = 0; g < keys / 50; ++g) {
        TRDictionary group;
        TRArray list;
        for (int i = 0; i < 40; ++i) {
            TRValue value;
            switch (i % 8) {
            case 0:
                value = TRValue::fromString(QStringLiteral("value %1 of group %2, ünïcödé").arg(i).arg(g));
                break;
            case 1:
                value = TRValue::fromInteger(qint64(g) * 100000 - i * 65537);
                break;
            case 2:
                value = TRValue::fromReal(g / 3.0 - i);
                break;
            case 3:
                value = TRValue::fromBool(i % 3 == 0);
                break;
            case 4:
                value = TRValue::fromDate(600000000.5 + g);
                break;
            case 5:
                value = TRValue::fromData(QByteArray(i, char(g)));
                break;
            case 6:
                value = TRValue::fromString(QStringLiteral("key%1").arg(i));
                break; // equal to a key
            default:
                value = TRValue::fromUnsigned(~quint64(g));
                break;
            }
            group.insert(QStringLiteral("key%1").arg(i), value);
            if (i < 9)
                list.append(value);
        }
        group.insert(QStringLiteral("list"), TRValue::fromArray(std::move(list)));
        top.insert(QStringLiteral("group %1").arg(g), TRValue::fromDictionary(std::move(group)));
    }
    return std::make_shared<TRDomainController>(
        name, TRKey::create(TRValue(), TRValue::fromDictionary(std::move(top)), nullptr, name));
}

} // namespace

// archivedData writes the bytes straight from the tree; ArchiveGraphWriter builds the same archive as
// values, object by object. Both must describe the same archive, whatever widths the file needs: one
// byte, two and three bytes per reference and offset.
TEST(ArchiveRoundTrip, DirectBytesHoldTheSameArchiveAsTheValueGraph)
{
    std::vector<std::pair<const char *, TRArchiveContents>> cases;
    TRArchiveContents one;
    one.domains.push_back(richDomain(QStringLiteral("com.example.Rich")));
    cases.emplace_back("rich", one);
    TRArchiveContents list;
    list.isList = true;
    list.domains.push_back(richDomain(QStringLiteral("a.first")));
    list.domains.push_back(std::make_shared<TRDomainController>(
        QStringLiteral("b.empty"),
        TRKey::create(TRValue(), TRValue::fromDictionary({}), nullptr, QStringLiteral("b.empty"))));
    list.domains.push_back(largeDomain(QStringLiteral("c.medium"), 2000));
    cases.emplace_back("list", list);
    TRArchiveContents large;
    large.domains.push_back(largeDomain(QStringLiteral("com.example.Large"), 30000));
    cases.emplace_back("large", large);
    TRArchiveContents emptyList;
    emptyList.isList = true;
    cases.emplace_back("empty list", emptyList);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const auto &[label, contents] : cases) {
        SCOPED_TRACE(label);
        QByteArray direct;
        QString error;
        ASSERT_TRUE(TRKeyedArchiver::archivedData(contents, &direct, &error)) << error.toStdString();
        TRValue graph;
        ASSERT_TRUE(ArchiveGraphWriter::write(contents, &graph, &error)) << error.toStdString();
        TRValue read;
        ASSERT_TRUE(TRPropertyList::read(direct, &read, nullptr, &error)) << error.toStdString();
        EXPECT_TRUE(read == graph);

        // The trailer's widths are the smallest that hold every reference and offset.
        ASSERT_GT(direct.size(), 40);
        const auto trailer = [&direct](int at, int width) {
            quint64 number = 0;
            for (int i = 0; i < width; ++i)
                number = number << 8 | quint8(direct.at(direct.size() - 32 + at + i));
            return number;
        };
        const int offsetSize = int(trailer(6, 1));
        const int refSize = int(trailer(7, 1));
        const quint64 objects = trailer(8, 8);
        const quint64 tableOffset = trailer(24, 8);
        EXPECT_EQ(trailer(16, 8), 0u) << "the top dictionary is object 0";
        EXPECT_EQ(quint64(direct.size()), tableOffset + objects * quint64(offsetSize) + 32);
        EXPECT_LT(objects - 1, quint64(1) << (8 * refSize));
        EXPECT_GE(objects - 1, refSize == 1 ? 0 : quint64(1) << (8 * (refSize - 1)));
        EXPECT_LT(tableOffset, quint64(1) << (8 * offsetSize));

        // python3's plistlib reads both files to equal values, as an independent reader.
        QByteArray viaGraph;
        TRPropertyList::BinaryOptions options;
        options.shareEqualScalars = false;
        ASSERT_TRUE(TRPropertyList::writeBinary(graph, &viaGraph, &error, options));
        const QString directPath = dir.filePath(QStringLiteral("direct"));
        const QString graphPath = dir.filePath(QStringLiteral("graph"));
        for (const auto &[path, bytes] : {std::pair{directPath, direct}, std::pair{graphPath, viaGraph}}) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty())
            continue;
        QProcess process;
        process.start(python, {QStringLiteral("-c"), QStringLiteral(R"(
import math, plistlib, sys
def same(a, b):
    if isinstance(a, float) and isinstance(b, float):
        return (math.isnan(a) and math.isnan(b)) or (a == b and math.copysign(1, a) == math.copysign(1, b))
    if isinstance(a, dict) and isinstance(b, dict):
        return a.keys() == b.keys() and all(same(a[k], b[k]) for k in a)
    if isinstance(a, list) and isinstance(b, list):
        return len(a) == len(b) and all(same(x, y) for x, y in zip(a, b))
    return type(a) is type(b) and a == b
a, b = (plistlib.load(open(p, "rb")) for p in sys.argv[1:3])
sys.exit(0 if same(a, b) and a["$objects"][0] == "$null" else 1)
)"),
                               directPath, graphPath});
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    }
}
