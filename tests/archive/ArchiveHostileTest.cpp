// Exchange files come from other people: malformed and hostile archives are refused with a message.
#include "ArchiveTestSupport.h"
#include "TRLimits.h"
#include "archive/TRArchiveDump.h"
#include "archive/TRKeyedUnarchiver.h"
#include "plist/TRPropertyList.h"

#include <gtest/gtest.h>

using namespace archivetest;

namespace {

const TRValue kDomainName = TRValue::fromString(QStringLiteral("com.example.Hostile"));

struct Outcome
{
    bool ok = false;
    QString error;
    TRKeyedUnarchiver::Failure failure = TRKeyedUnarchiver::Failure::None;
    TRArchiveContents contents;
};

Outcome unarchiveBytes(const QByteArray &bytes)
{
    Outcome outcome;
    outcome.ok = TRKeyedUnarchiver::unarchiveObjectWithData(bytes, &outcome.contents, &outcome.error,
                                                            &outcome.failure);
    return outcome;
}

// Reads the archive as a parsed graph and, unless it is XML, also as binary bytes, which are read
// without parsing them first: both must come to the same answer.
Outcome unarchive(const TRValue &archive, bool xml = false)
{
    Outcome outcome;
    outcome.ok = TRKeyedUnarchiver::unarchiveObjectWithPropertyList(archive, xml, &outcome.contents,
                                                                    &outcome.error, &outcome.failure);
    if (xml)
        return outcome;
    QByteArray bytes;
    QString error;
    EXPECT_TRUE(TRPropertyList::writeBinary(archive, &bytes, &error)) << error.toStdString();
    const Outcome binary = unarchiveBytes(bytes);
    EXPECT_EQ(binary.ok, outcome.ok);
    EXPECT_EQ(binary.failure, outcome.failure);
    // The bytes are not made into values, so a container misplaced as a reference is not shown in full.
    const QLatin1String notReference("where a reference to an object belongs");
    if (outcome.error.contains(notReference))
        EXPECT_TRUE(binary.error.contains(notReference)) << binary.error.toStdString();
    else
        EXPECT_EQ(binary.error, outcome.error);
    if (binary.ok && outcome.ok) {
        EXPECT_EQ(TRArchiveDump::dump(binary.contents), TRArchiveDump::dump(outcome.contents));
    }
    return outcome;
}

// A domain whose root dictionary holds one entry "k" with the given value object.
TRValue domainWithValue(ArchiveBuilder &b, quint64 (*value)(ArchiveBuilder &, quint64 name))
{
    const quint64 name = b.add(kDomainName);
    const quint64 key = b.add(TRValue::fromString(QStringLiteral("k")));
    const quint64 child = b.key(name, key, value(b, name));
    const quint64 dict = b.add(b.record(QStringLiteral("NSMutableDictionary"),
                                        {{QStringLiteral("NS.keys"), TRValue::fromArray({uid(key)})},
                                         {QStringLiteral("NS.objects"), TRValue::fromArray({uid(child)})}}));
    return b.archive(b.domain(name, b.key(name, 0, dict)));
}

void expectRefused(const Outcome &outcome, const char *fragment = "")
{
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(outcome.error.isEmpty());
    EXPECT_TRUE(outcome.error.contains(QLatin1String(fragment))) << outcome.error.toStdString();
    EXPECT_TRUE(outcome.contents.domains.empty());
}

} // namespace

TEST(ArchiveHostile, ASoundHandMadeArchiveReads)
{
    ArchiveBuilder b;
    const Outcome outcome = unarchive(domainWithValue(b, [](ArchiveBuilder &a, quint64) {
        return a.add(
            a.record(QStringLiteral("NSDate"), {{QStringLiteral("NS.time"), TRValue::fromInteger(5)}}));
    }));
    ASSERT_TRUE(outcome.ok) << outcome.error.toStdString();
    EXPECT_EQ(outcome.contents.domains.front()->rootKey()->childAtIndex(0)->value(), TRValue::fromDate(5));
}

TEST(ArchiveHostile, ReferencesOutOfRangeAreRefused)
{
    ArchiveBuilder root;
    root.add(kDomainName);
    expectRefused(unarchive(root.archive(99)), "99");

    ArchiveBuilder value;
    expectRefused(
        unarchive(domainWithValue(value, [](ArchiveBuilder &, quint64) { return quint64(1) << 40; })),
        "1099511627776");

    ArchiveBuilder classRef;
    const quint64 name = classRef.add(kDomainName);
    TRDictionary record;
    record.insert(QStringLiteral("$0"), uid(name));
    record.insert(QStringLiteral("$class"), uid(1000));
    expectRefused(unarchive(classRef.archive(classRef.add(TRValue::fromDictionary(std::move(record))))),
                  "1000");
}

TEST(ArchiveHostile, ObjectsThatContainThemselvesAreRefused)
{
    // A list node whose list holds the node itself.
    ArchiveBuilder b;
    const quint64 name = b.add(kDomainName);
    const quint64 node = b.reserve();
    const quint64 list = b.list({node});
    b.set(node, b.record(QStringLiteral("TRKey"),
                         {{QStringLiteral("$0"), uid(name)}, {QStringLiteral("$2"), uid(list)}}));
    expectRefused(unarchive(b.archive(b.domain(name, node))), "itself");

    // A list that holds itself.
    ArchiveBuilder c;
    const quint64 cname = c.add(kDomainName);
    const quint64 self = c.reserve();
    c.set(self, c.record(QStringLiteral("NSMutableArray"),
                         {{QStringLiteral("NS.objects"), TRValue::fromArray({uid(self)})}}));
    expectRefused(unarchive(c.archive(c.domain(cname, c.key(cname, 0, self)))));
}

TEST(ArchiveHostile, NodesUsedInTwoPlacesAreRefused)
{
    // Shared nodes would break the tree's parent links and let a small file describe a huge tree.
    ArchiveBuilder b;
    const quint64 name = b.add(kDomainName);
    const quint64 leaf = b.key(name, 0, b.add(TRValue::fromInteger(1)));
    const quint64 list = b.list({leaf, leaf});
    expectRefused(unarchive(b.archive(b.domain(name, b.key(name, 0, list)))), "more than one place");

    ArchiveBuilder d;
    const quint64 dname = d.add(kDomainName);
    const quint64 dict = d.add(
        d.record(QStringLiteral("NSDictionary"), {{QStringLiteral("NS.keys"), TRValue::fromArray({})},
                                                  {QStringLiteral("NS.objects"), TRValue::fromArray({})}}));
    const quint64 domain = d.domain(dname, d.key(dname, 0, dict));
    expectRefused(unarchive(d.archive(d.list({domain, domain}))), "more than one place");
}

TEST(ArchiveHostile, SharedValuesAreDecodedOnce)
{
    ArchiveBuilder b;
    const quint64 name = b.add(kDomainName);
    const quint64 shared = b.add(TRValue::fromString(QStringLiteral("same")));
    const quint64 list = b.list({b.key(name, 0, shared), b.key(name, 0, shared)});
    const quint64 dict = b.add(
        b.record(QStringLiteral("NSDictionary"),
                 {{QStringLiteral("NS.keys"), TRValue::fromArray({uid(shared)})},
                  {QStringLiteral("NS.objects"), TRValue::fromArray({uid(b.key(name, shared, list))})}}));
    const Outcome outcome = unarchive(b.archive(b.domain(name, b.key(name, 0, dict))));
    ASSERT_TRUE(outcome.ok) << outcome.error.toStdString();
    const TRKeyPtr listNode = outcome.contents.domains.front()->rootKey()->childAtIndex(0);
    EXPECT_TRUE(listNode->childAtIndex(0)->value().isSameObject(listNode->childAtIndex(1)->value()));
}

TEST(ArchiveHostile, NestingBeyondTheLimitIsRefused)
{
    const auto nested = [](int depth) {
        ArchiveBuilder b;
        const quint64 name = b.add(kDomainName);
        quint64 node = b.key(name, 0, b.add(TRValue::fromInteger(1)));
        for (int i = 1; i < depth; ++i)
            node = b.key(name, 0, b.list({node}));
        const quint64 dict =
            b.add(b.record(QStringLiteral("NSDictionary"),
                           {{QStringLiteral("NS.keys"), TRValue::fromArray({uid(name)})},
                            {QStringLiteral("NS.objects"), TRValue::fromArray({uid(node)})}}));
        return unarchive(b.archive(b.domain(name, b.key(name, 0, dict))));
    };
    // The domain's dictionary counts as the first level.
    EXPECT_TRUE(nested(kTRMaxNestingDepth).ok);
    expectRefused(nested(kTRMaxNestingDepth + 1), "nested");
    expectRefused(nested(20000), "nested");
}

TEST(ArchiveHostile, RecordsOfTheWrongShapeAreRefused)
{
    using Maker = quint64 (*)(ArchiveBuilder &, quint64);
    const std::pair<const char *, Maker> cases[] = {
        {"a plain array as a value",
         [](ArchiveBuilder &b, quint64) { return b.add(TRValue::fromArray({})); }},
        {"a dictionary without a class",
         [](ArchiveBuilder &b, quint64) { return b.add(TRValue::fromDictionary({})); }},
        {"a UID as an object", [](ArchiveBuilder &b, quint64) { return b.add(uid(1)); }},
        {"a date without NS.time",
         [](ArchiveBuilder &b, quint64) { return b.add(b.record(QStringLiteral("NSDate"), {})); }},
        {"a string record without text",
         [](ArchiveBuilder &b, quint64) {
             return b.add(b.record(QStringLiteral("NSString"),
                                   {{QStringLiteral("NS.string"), TRValue::fromInteger(1)}}));
         }},
        {"data without bytes",
         [](ArchiveBuilder &b, quint64) {
             return b.add(b.record(QStringLiteral("NSMutableData"),
                                   {{QStringLiteral("NS.data"), TRValue::fromString({})}}));
         }},
        {"a list without NS.objects",
         [](ArchiveBuilder &b, quint64) { return b.add(b.record(QStringLiteral("NSArray"), {})); }},
        {"a list holding a plain value",
         [](ArchiveBuilder &b, quint64) { return b.list({b.add(TRValue::fromInteger(3))}); }},
        {"a list holding nil", [](ArchiveBuilder &b, quint64) { return b.list({0}); }},
        {"a list holding a domain",
         [](ArchiveBuilder &b, quint64 name) { return b.list({b.domain(name, 0)}); }},
        {"a key as a leaf value", [](ArchiveBuilder &b, quint64 name) { return b.key(name, 0, 0); }},
        {"a dictionary with fewer keys than values",
         [](ArchiveBuilder &b, quint64 name) {
             return b.add(
                 b.record(QStringLiteral("NSDictionary"),
                          {{QStringLiteral("NS.keys"), TRValue::fromArray({})},
                           {QStringLiteral("NS.objects"), TRValue::fromArray({uid(b.key(name, 0, 0))})}}));
         }},
        {"a dictionary whose key is a number",
         [](ArchiveBuilder &b, quint64 name) {
             return b.add(b.record(
                 QStringLiteral("NSDictionary"),
                 {{QStringLiteral("NS.keys"), TRValue::fromArray({uid(b.add(TRValue::fromInteger(4)))})},
                  {QStringLiteral("NS.objects"), TRValue::fromArray({uid(b.key(name, 0, 0))})}}));
         }},
        {"a dictionary holding a key twice",
         [](ArchiveBuilder &b, quint64 name) {
             const quint64 key = b.add(TRValue::fromString(QStringLiteral("twice")));
             return b.add(
                 b.record(QStringLiteral("NSDictionary"),
                          {{QStringLiteral("NS.keys"), TRValue::fromArray({uid(key), uid(key)})},
                           {QStringLiteral("NS.objects"),
                            TRValue::fromArray({uid(b.key(name, key, 0)), uid(b.key(name, key, 0))})}}));
         }},
        {"an unknown class",
         [](ArchiveBuilder &b, quint64) { return b.add(b.record(QStringLiteral("NSURL"), {})); }},
        {"a class record without a name",
         [](ArchiveBuilder &b, quint64) {
             TRDictionary record;
             record.insert(QStringLiteral("$class"), uid(b.add(TRValue::fromDictionary({}))));
             return b.add(TRValue::fromDictionary(std::move(record)));
         }},
    };
    for (const auto &[what, maker] : cases) {
        SCOPED_TRACE(what);
        ArchiveBuilder b;
        expectRefused(unarchive(domainWithValue(b, maker)));
    }
}

TEST(ArchiveHostile, KeysAndDomainsOfTheWrongKindAreRefused)
{
    ArchiveBuilder number;
    const quint64 one = number.add(TRValue::fromInteger(1));
    const quint64 empty = number.add(number.record(QStringLiteral("NSDictionary"),
                                                   {{QStringLiteral("NS.keys"), TRValue::fromArray({})},
                                                    {QStringLiteral("NS.objects"), TRValue::fromArray({})}}));
    expectRefused(unarchive(number.archive(number.domain(one, number.key(one, 0, empty)))), "not a text");

    ArchiveBuilder leafRoot;
    const quint64 name = leafRoot.add(kDomainName);
    expectRefused(unarchive(leafRoot.archive(leafRoot.domain(name, leafRoot.key(name, 0, 0)))), "dictionary");

    ArchiveBuilder noRoot;
    const quint64 noRootName = noRoot.add(kDomainName);
    expectRefused(unarchive(noRoot.archive(noRoot.domain(noRootName, 0))));

    ArchiveBuilder dataName;
    const quint64 n = dataName.add(kDomainName);
    const quint64 data = dataName.add(TRValue::fromData("x"));
    const quint64 dict = dataName.add(dataName.record(
        QStringLiteral("NSDictionary"),
        {{QStringLiteral("NS.keys"), TRValue::fromArray({uid(n)})},
         {QStringLiteral("NS.objects"), TRValue::fromArray({uid(dataName.key(n, data, 0))})}}));
    expectRefused(unarchive(dataName.archive(dataName.domain(n, dataName.key(n, 0, dict)))), "name");
}

TEST(ArchiveHostile, RootsOfTheWrongKindAreToldApart)
{
    ArchiveBuilder text;
    const Outcome plain = unarchive(text.archive(text.add(TRValue::fromString(QStringLiteral("root")))));
    expectRefused(plain);
    EXPECT_EQ(plain.failure, TRKeyedUnarchiver::Failure::WrongRoot);

    ArchiveBuilder nil;
    EXPECT_EQ(unarchive(nil.archive(0)).failure, TRKeyedUnarchiver::Failure::WrongRoot);

    ArchiveBuilder keyRoot;
    const quint64 name = keyRoot.add(kDomainName);
    EXPECT_EQ(unarchive(keyRoot.archive(keyRoot.key(name, 0, 0))).failure,
              TRKeyedUnarchiver::Failure::WrongRoot);

    ArchiveBuilder immutable;
    const Outcome emptyList = unarchive(immutable.archive(immutable.list({}, QStringLiteral("NSArray"))));
    ASSERT_TRUE(emptyList.ok) << emptyList.error.toStdString();
    EXPECT_TRUE(emptyList.contents.isList);
    EXPECT_FALSE(emptyList.contents.mutableList);
}

TEST(ArchiveHostile, TopLevelsThatAreNoKeyedArchiveAreRefused)
{
    ArchiveBuilder b;
    const TRDictionary sound = b.archive(0).toDictionary();
    const auto without = [&](const char *member, const TRValue &replacement) {
        TRDictionary top;
        for (const auto &[key, value] : sound)
            top.insert(key, key == QLatin1String(member) ? replacement : value);
        return TRValue::fromDictionary(std::move(top));
    };
    expectRefused(unarchive(without("$archiver", TRValue::fromString(QStringLiteral("NSArchiver")))));
    expectRefused(unarchive(without("$version", TRValue::fromInteger(99))), "version");
    expectRefused(
        unarchive(without("$objects", TRValue::fromArray({TRValue::fromString(QStringLiteral("x"))}))));
    expectRefused(unarchive(without("$objects", TRValue::fromArray({}))));
    expectRefused(unarchive(without("$top", TRValue::fromArray({}))));
    expectRefused(unarchive(without("$top", TRValue::fromDictionary({}))), "root");
    expectRefused(unarchive(TRValue::fromArray({})));
}

TEST(ArchiveHostile, XmlReferencesAreAcceptedOnlyInXmlArchives)
{
    const auto cfUid = [](qint64 number) {
        TRDictionary reference;
        reference.insert(QStringLiteral("CF$UID"), TRValue::fromInteger(number));
        return TRValue::fromDictionary(std::move(reference));
    };
    TRDictionary top;
    top.insert(QStringLiteral("root"), cfUid(1));
    TRDictionary listRecord;
    listRecord.insert(QStringLiteral("NS.objects"), TRValue::fromArray({}));
    listRecord.insert(QStringLiteral("$class"), cfUid(2));
    TRDictionary classRecord;
    classRecord.insert(QStringLiteral("$classname"), TRValue::fromString(QStringLiteral("NSMutableArray")));
    TRDictionary archive;
    archive.insert(QStringLiteral("$version"), TRValue::fromInteger(100000));
    archive.insert(QStringLiteral("$archiver"), TRValue::fromString(QStringLiteral("NSKeyedArchiver")));
    archive.insert(QStringLiteral("$top"), TRValue::fromDictionary(std::move(top)));
    archive.insert(QStringLiteral("$objects"),
                   TRValue::fromArray({TRValue::fromString(QStringLiteral("$null")),
                                       TRValue::fromDictionary(std::move(listRecord)),
                                       TRValue::fromDictionary(std::move(classRecord))}));
    const TRValue value = TRValue::fromDictionary(std::move(archive));
    EXPECT_TRUE(unarchive(value, true).ok);
    expectRefused(unarchive(value, false));

    TRDictionary negative;
    negative.insert(QStringLiteral("root"), cfUid(-1));
    TRDictionary withNegative = value.toDictionary();
    withNegative.insert(QStringLiteral("$top"), TRValue::fromDictionary(std::move(negative)));
    expectRefused(unarchive(TRValue::fromDictionary(std::move(withNegative)), true));
}

TEST(ArchiveHostile, BytesThatAreNoArchiveAreRefused)
{
    const QByteArray inputs[] = {QByteArray(), QByteArray("bplist00"), QByteArray("bplist00\xff\xff", 10),
                                 QByteArray("{ a = b; }"), QByteArray(1000, '\0')};
    for (const QByteArray &bytes : inputs) {
        TRArchiveContents contents;
        QString error;
        EXPECT_FALSE(TRKeyedUnarchiver::unarchiveObjectWithData(bytes, &contents, &error));
        EXPECT_FALSE(error.isEmpty());
    }
}
