#include "TRBenchStore.h"

#include "plist/TRPropertyList.h"

#include <QDir>
#include <QSaveFile>
#include <random>

namespace benchstore {

namespace {

constexpr int kDomainCount = 1000;
constexpr int kLargestKeys = 200000;
constexpr int kLargeKeys[] = {10000, 12000, 15000, 20000, 50000};
const char *const kWords[] = {"Window", "Frame",   "Recent",  "Documents", "Font", "Size",
                              "Color",  "Toolbar", "Visible", "Last",      "Path", "Sort",
                              "Order",  "Enabled", "Server",  "Timeout"};

QString word(std::mt19937 &random)
{
    return QString::fromLatin1(kWords[random() % std::size(kWords)]);
}

QString text(std::mt19937 &random)
{
    const int length = 5 + int(random() % 36);
    QString result;
    result.reserve(length);
    for (int i = 0; i < length; ++i)
        result.append(QChar(u'a' + char16_t(random() % 26)));
    return result;
}

TRValue leaf(std::mt19937 &random)
{
    switch (random() % 7) {
    case 0:
    case 1:
        return TRValue::fromString(text(random));
    case 2:
        return TRValue::fromInteger(qint64(random() % 100000) - 50000);
    case 3:
        return TRValue::fromReal(double(random() % 100000) / 64.0);
    case 4:
        return TRValue::fromBool(random() % 2 == 0);
    case 5:
        return TRValue::fromDate(600000000.0 + double(random() % 100000000));
    default: {
        QByteArray bytes(8 + int(random() % 57), '\0');
        for (char &byte : bytes)
            byte = char(random() % 256);
        return TRValue::fromData(bytes);
    }
    }
}

TRValue value(std::mt19937 &random)
{
    const quint32 roll = random() % 100;
    if (roll < 90)
        return leaf(random);
    if (roll < 95) {
        TRArray elements;
        const int count = 2 + int(random() % 5);
        for (int i = 0; i < count; ++i)
            elements.append(leaf(random));
        return TRValue::fromArray(std::move(elements));
    }
    TRDictionary entries;
    const int count = 2 + int(random() % 4);
    for (int i = 0; i < count; ++i)
        entries.insert(word(random) + QString::number(i), leaf(random));
    return TRValue::fromDictionary(std::move(entries));
}

bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    *error = path + QStringLiteral(": ") + file.errorString();
    return false;
}

} // namespace

QString largestDomainName()
{
    return QStringLiteral("org.example.huge");
}

TRValue makeDomain(int keyCount, quint32 seed)
{
    std::mt19937 random(seed);
    TRDictionary entries;
    entries.reserve(keyCount);
    for (int i = 0; i < keyCount; ++i)
        entries.insert(QStringLiteral("%1%2 %3").arg(word(random), word(random)).arg(i), value(random));
    return TRValue::fromDictionary(std::move(entries));
}

bool makeStore(const QString &folder, Summary *summary, QString *error)
{
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("cannot create ") + folder;
        return false;
    }
    std::mt19937 random(2026);
    *summary = Summary{};
    for (int index = 0; index < kDomainCount; ++index) {
        QString name;
        int keys = 10 + int(random() % 191);
        bool binary = random() % 3 == 0;
        if (index == 0) {
            name = largestDomainName();
            keys = kLargestKeys;
            binary = true;
        } else if (index <= int(std::size(kLargeKeys))) {
            name = QStringLiteral("org.example.large%1").arg(index);
            keys = kLargeKeys[index - 1];
            binary = index % 2 == 0;
        } else {
            name = QStringLiteral("org.example.%1.app%2")
                       .arg(word(random).toLower())
                       .arg(index, 4, 10, QChar(u'0'));
        }
        QByteArray bytes;
        QString encodeError;
        const TRValue domain = makeDomain(keys, quint32(index) * 7919u + 1u);
        const bool encoded = binary ? TRPropertyList::writeBinary(domain, &bytes, &encodeError)
                                    : TRPropertyList::writeXml(domain, &bytes, &encodeError);
        if (!encoded) {
            *error = name + QStringLiteral(": ") + encodeError;
            return false;
        }
        if (!writeFile(QDir(folder).filePath(name + QStringLiteral(".plist")), bytes, error))
            return false;
        ++summary->domains;
        summary->keys += keys;
        summary->bytes += bytes.size();
    }
    return true;
}

} // namespace benchstore
