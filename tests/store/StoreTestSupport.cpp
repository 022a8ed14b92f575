#include "StoreTestSupport.h"

#include <QFile>
#include <QList>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace storetest {

EnvGuard::EnvGuard(const char *name, const std::optional<QString> &value) : m_name(name)
{
    if (qEnvironmentVariableIsSet(name))
        m_old = qgetenv(name);
    if (value)
        qputenv(name, value->toUtf8());
    else
        qunsetenv(name);
}

EnvGuard::~EnvGuard()
{
    if (m_old)
        qputenv(m_name, *m_old);
    else
        qunsetenv(m_name);
}

void writeFile(const QString &path, const QByteArray &bytes, int mode)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
    file.close();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);
}

int fileMode(const QString &path)
{
    struct stat info
    {
    };
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return int(info.st_mode & 07777);
}

TRValue everyKindDictionary()
{
    TRDictionary inner;
    inner.insert(QStringLiteral("deep"), TRValue::fromString(QStringLiteral("näive ☃ 😀")));
    TRArray list{TRValue::fromInteger(-7), TRValue::fromString(QStringLiteral("two")),
                 TRValue::fromDictionary(inner), TRValue::fromArray({})};
    TRDictionary entries;
    entries.insert(QStringLiteral("string"), TRValue::fromString(QStringLiteral("hello <&> world")));
    entries.insert(QStringLiteral("integer"), TRValue::fromInteger(-9007199254740993LL));
    entries.insert(QStringLiteral("big"), TRValue::fromUnsigned(18446744073709551615ULL));
    entries.insert(QStringLiteral("real"), TRValue::fromReal(2.5));
    entries.insert(QStringLiteral("yes"), TRValue::fromBool(true));
    entries.insert(QStringLiteral("no"), TRValue::fromBool(false));
    entries.insert(QStringLiteral("date"), TRValue::fromDate(723456789.0));
    entries.insert(QStringLiteral("data"), TRValue::fromData(QByteArray("\x00\xff\x10 bytes", 9)));
    entries.insert(QStringLiteral("array"), TRValue::fromArray(list));
    entries.insert(QStringLiteral("dict"), TRValue::fromDictionary(inner));
    entries.insert(QStringLiteral("empty dict"), TRValue::fromDictionary({}));
    return TRValue::fromDictionary(entries);
}

TRValue simpleDictionary(int count, const QString &prefix)
{
    TRDictionary entries;
    for (int i = 0; i < count; ++i)
        entries.insert(QStringLiteral("k%1").arg(i), TRValue::fromString(prefix + QString::number(i)));
    return TRValue::fromDictionary(entries);
}

QByteArray sharingBomb(int levels)
{
    // Objects: 0 the empty array, 1..levels the arrays, then the root dictionary and its key. One-byte
    // references and offsets hold for up to 80 levels.
    QByteArray bytes("bplist00");
    QList<int> offsets;
    offsets.append(int(bytes.size()));
    bytes.append(char(0xA0));
    for (int level = 1; level <= levels; ++level) {
        offsets.append(int(bytes.size()));
        bytes.append(char(0xA2)).append(char(level - 1)).append(char(level - 1));
    }
    const int root = levels + 1;
    offsets.append(int(bytes.size()));
    bytes.append(char(0xD1)).append(char(root + 1)).append(char(levels));
    offsets.append(int(bytes.size()));
    bytes.append(char(0x51)).append('k');
    const int tableOffset = int(bytes.size());
    for (const int offset : offsets)
        bytes.append(char(offset));
    auto bigEndian = [&bytes](quint64 value) {
        for (int shift = 56; shift >= 0; shift -= 8)
            bytes.append(char((value >> shift) & 0xFF));
    };
    bytes.append(QByteArray(6, '\0')).append(char(1)).append(char(1));
    bigEndian(quint64(offsets.size()));
    bigEndian(quint64(root));
    bigEndian(quint64(tableOffset));
    return bytes;
}

} // namespace storetest

void PrintTo(const TRValue &value, std::ostream *os)
{
    switch (value.kind()) {
    case TRValue::Kind::Array: {
        *os << "(";
        for (const TRValue &element : value.toArray()) {
            PrintTo(element, os);
            *os << ", ";
        }
        *os << ")";
        return;
    }
    case TRValue::Kind::Dictionary:
        *os << "{";
        for (const auto &[key, element] : value.toDictionary()) {
            *os << key.toStdString() << " = ";
            PrintTo(element, os);
            *os << "; ";
        }
        *os << "}";
        return;
    case TRValue::Kind::None:
        *os << "<none>";
        return;
    default:
        *os << int(value.kind()) << ":" << value.description().toStdString();
    }
}
