#pragma once

// The spelling of keyed archives, for the writer and the reader alike: the keys of the top level and of
// records, the class names an exchange file may hold, and the class chains written into class records.
#include <QString>

// The $version every keyed archive carries.
inline constexpr qint64 kTRArchiveVersion = 100000;

// The record key under which a keyed archive stores the index-th value coded without a key: "$0", "$1", ...
inline QString trCodedValueKey(int index)
{
    static const QString common[] = {QStringLiteral("$0"), QStringLiteral("$1"), QStringLiteral("$2"),
                                     QStringLiteral("$3")};
    if (index >= 0 && index < 4)
        return common[index];
    return QLatin1Char('$') + QString::number(index);
}

namespace TRArchiveFormat {

// The first of $objects, and the text both platforms read as no value.
inline const QString kNull = QStringLiteral("$null");

// The top level: {$archiver: "NSKeyedArchiver", $version, $top: {root: UID}, $objects}.
inline const QString kArchiverKey = QStringLiteral("$archiver");
inline const QString kArchiverName = QStringLiteral("NSKeyedArchiver");
inline const QString kVersionKey = QStringLiteral("$version");
inline const QString kTopKey = QStringLiteral("$top");
inline const QString kRootKey = QStringLiteral("root");
inline const QString kObjectsKey = QStringLiteral("$objects");

// Records: the reference to their class record, and the members of the collection, string, data and date
// classes.
inline const QString kClassKey = QStringLiteral("$class");
inline const QString kListKey = QStringLiteral("NS.objects");
inline const QString kKeysKey = QStringLiteral("NS.keys");
inline const QString kStringKey = QStringLiteral("NS.string");
inline const QString kDataKey = QStringLiteral("NS.data");
inline const QString kTimeKey = QStringLiteral("NS.time");

// Class records: {$classname, $classes: the chain up to NSObject}.
inline const QString kClassNameKey = QStringLiteral("$classname");
inline const QString kClassesKey = QStringLiteral("$classes");

// The class names of an exchange file.
inline const QString kKeyClass = QStringLiteral("TRKey");
inline const QString kDomainClass = QStringLiteral("TRDomainController");
inline const QString kObjectClass = QStringLiteral("NSObject");
inline const QString kArrayClass = QStringLiteral("NSArray");
inline const QString kMutableArrayClass = QStringLiteral("NSMutableArray");
inline const QString kDictionaryClass = QStringLiteral("NSDictionary");
inline const QString kMutableDictionaryClass = QStringLiteral("NSMutableDictionary");
inline const QString kStringClass = QStringLiteral("NSString");
inline const QString kMutableStringClass = QStringLiteral("NSMutableString");
inline const QString kDataClass = QStringLiteral("NSData");
inline const QString kMutableDataClass = QStringLiteral("NSMutableData");
inline const QString kDateClass = QStringLiteral("NSDate");

// The classes Tamrix writes.
enum class WrittenClass : quint8
{
    Key,
    Domain,
    MutableArray,
    MutableDictionary,
    Date,
    Count
};

inline constexpr int kMaxChain = 3;

// A written class's chain, from its own name up to NSObject.
struct ClassChain
{
    const QString *names[kMaxChain] = {};
    int length = 0;
};

inline ClassChain classChain(WrittenClass cls)
{
    switch (cls) {
    case WrittenClass::Key:
        return {{&kKeyClass, &kObjectClass}, 2};
    case WrittenClass::Domain:
        return {{&kDomainClass, &kObjectClass}, 2};
    case WrittenClass::MutableArray:
        return {{&kMutableArrayClass, &kArrayClass, &kObjectClass}, 3};
    case WrittenClass::MutableDictionary:
        return {{&kMutableDictionaryClass, &kDictionaryClass, &kObjectClass}, 3};
    case WrittenClass::Date:
    case WrittenClass::Count:
        break;
    }
    return {{&kDateClass, &kObjectClass}, 2};
}

} // namespace TRArchiveFormat
