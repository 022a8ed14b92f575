// tamrix-tool plist: dump, convert and check property-list files.
#include "Commands.h"
#include "TRLimits.h"
#include "TRMemory.h"
#include "TRText.h"
#include "plist/TRPropertyList.h"
#include "plist/TRValueJson.h"
#include "store/TRAtomicFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <array>
#include <cstdio>

namespace {

int failWith(const QString &message)
{
    std::fprintf(stderr, "tamrix-tool: %s\n", message.toLocal8Bit().constData());
    return 1;
}

int usageError(const QString &message)
{
    failWith(message);
    return kExitUsage;
}

bool readValue(const QString &path, TRValue *value, TRPropertyList::Format *format,
               qint64 *parseNanoseconds = nullptr)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        failWith(QStringLiteral("%1: %2").arg(path, file.errorString()));
        return false;
    }
    if (file.size() > kTRMaxFileSize) {
        failWith(QStringLiteral("%1: the file is larger than %2 MiB").arg(path).arg(kTRMaxFileSize >> 20));
        return false;
    }
    // A file is read into a buffer of its size, whose fresh pages come 2 MiB at a time when it is large.
    QByteArray bytes;
    if (file.isSequential()) {
        bytes = file.readAll();
    } else {
        bytes = QByteArray(qsizetype(file.size()), Qt::Uninitialized);
        trAdviseLargePages(bytes.data(), std::size_t(bytes.size()));
        const qint64 got = file.read(bytes.data(), bytes.size());
        if (got != bytes.size()) {
            failWith(QStringLiteral("%1: %2").arg(
                path, got < 0 ? file.errorString() : trText("The file changed while it was being read.")));
            return false;
        }
    }
    QString error;
    QElapsedTimer timer;
    timer.start();
    const bool ok = TRPropertyList::read(bytes, value, format, &error);
    if (parseNanoseconds)
        *parseNanoseconds = timer.nsecsElapsed();
    if (!ok) {
        failWith(QStringLiteral("%1: %2").arg(path, error));
        return false;
    }
    return true;
}

// Counts the objects of a value by kind, each shared object once.
class ObjectCounter
{
public:
    void count(const TRValue &value)
    {
        if (value.isCompound() && m_seen.contains(value.identity()))
            return;
        ++m_counts[size_t(value.kind())];
        if (value.isArray()) {
            m_seen.insert(value.identity(), 0);
            for (const TRValue &element : value.toArray())
                count(element);
        } else if (value.isDictionary()) {
            m_seen.insert(value.identity(), 0);
            for (const auto &entry : value.toDictionary())
                count(entry.second);
        }
    }
    quint64 operator[](TRValue::Kind kind) const { return m_counts[size_t(kind)]; }

private:
    std::array<quint64, 10> m_counts{};
    QHash<const void *, int> m_seen;
};

int dump(const QStringList &arguments)
{
    if (arguments.size() != 1)
        return usageError(QStringLiteral("usage: tamrix-tool plist dump FILE"));
    TRValue value;
    if (!readValue(arguments.at(0), &value, nullptr))
        return 1;
    QString error;
    if (!TRPropertyList::fitsExpansionBound(value, &error))
        return failWith(QStringLiteral("%1: %2").arg(arguments.at(0), error));
    QByteArray json = TRValueJson::toJson(value);
    json.append('\n');
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    return 0;
}

int convert(const QStringList &arguments)
{
    if (arguments.size() != 4 || arguments.at(2) != QLatin1String("--format"))
        return usageError(QStringLiteral("usage: tamrix-tool plist convert IN OUT --format xml|binary"));
    const QString &formatName = arguments.at(3);
    if (formatName != QLatin1String("xml") && formatName != QLatin1String("binary"))
        return usageError(trFormat(trText("unknown format \"%@\" (xml or binary)"), {formatName}));
    TRValue value;
    if (!readValue(arguments.at(0), &value, nullptr))
        return 1;
    QByteArray bytes;
    QString error;
    const auto format =
        formatName == QLatin1String("xml") ? TRPropertyList::Format::Xml : TRPropertyList::Format::Binary;
    // Binary keeps what is shared shared; XML spells every value out.
    if (format == TRPropertyList::Format::Xml && !TRPropertyList::fitsExpansionBound(value, &error))
        return failWith(QStringLiteral("%1: %2").arg(arguments.at(0), error));
    if (!TRPropertyList::write(value, format, &bytes, &error))
        return failWith(QStringLiteral("%1: %2").arg(arguments.at(0), error));
    QString reason;
    if (!TRAtomicFile::write(arguments.at(1), bytes, -1, &reason))
        return failWith(QStringLiteral("%1: %2").arg(arguments.at(1), reason));
    return 0;
}

int check(const QStringList &arguments)
{
    if (arguments.size() != 1)
        return usageError(QStringLiteral("usage: tamrix-tool plist check FILE"));
    TRValue value;
    TRPropertyList::Format format = TRPropertyList::Format::Xml;
    qint64 parseNanoseconds = 0;
    if (!readValue(arguments.at(0), &value, &format, &parseNanoseconds))
        return 1;
    ObjectCounter counter;
    counter.count(value);
    using Kind = TRValue::Kind;
    const char *formatName = format == TRPropertyList::Format::Xml      ? "xml"
                             : format == TRPropertyList::Format::Binary ? "binary"
                                                                        : "openstep";
    std::printf("format %s\n", formatName);
    std::printf("parse %.3f s\n", double(parseNanoseconds) / 1e9);
    const std::pair<Kind, const char *> kinds[] = {
        {Kind::Dictionary, "dict"}, {Kind::Array, "array"}, {Kind::String, "string"},
        {Kind::Integer, "integer"}, {Kind::Real, "real"},   {Kind::Boolean, "boolean"},
        {Kind::Date, "date"},       {Kind::Data, "data"},   {Kind::Uid, "uid"}};
    for (const auto &[kind, name] : kinds)
        std::printf("%s %llu\n", name, static_cast<unsigned long long>(counter[kind]));
    return 0;
}

} // namespace

int plistCommand(const QStringList &arguments)
{
    const QString command = arguments.value(0);
    const QStringList rest = arguments.mid(1);
    if (command == QLatin1String("dump"))
        return dump(rest);
    if (command == QLatin1String("convert"))
        return convert(rest);
    if (command == QLatin1String("check"))
        return check(rest);
    return usageError(QStringLiteral("usage: tamrix-tool plist dump|convert|check ..."));
}
