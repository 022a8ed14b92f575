// Fuzz target: whatever reads must write in binary (and in XML when it can) and read back equal.
#include "plist/TRPropertyList.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

// Equality after an XML round trip, which keeps whole seconds of dates.
bool equalAfterXml(const TRValue &a, const TRValue &b)
{
    if (a.kind() != b.kind())
        return false;
    if (a.isDate())
        return std::floor(a.toDate()) == b.toDate();
    if (a.isArray()) {
        const TRArray &x = a.toArray();
        const TRArray &y = b.toArray();
        if (x.size() != y.size())
            return false;
        for (qsizetype i = 0; i < x.size(); ++i) {
            if (!equalAfterXml(x.at(i), y.at(i)))
                return false;
        }
        return true;
    }
    if (a.isDictionary()) {
        const TRDictionary &x = a.toDictionary();
        const TRDictionary &y = b.toDictionary();
        if (x.size() != y.size())
            return false;
        for (qsizetype i = 0; i < x.size(); ++i) {
            if (x.keyAt(i) != y.keyAt(i) || !equalAfterXml(x.valueAt(i), y.valueAt(i)))
                return false;
        }
        return true;
    }
    return a == b;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    TRValue value;
    if (!TRPropertyList::read(bytes, &value))
        return 0;
    const bool comparable = value.expandedSize(200000) < 200000;

    QByteArray binary;
    TRValue back;
    QString error;
    if (!TRPropertyList::writeBinary(value, &binary, &error) ||
        !TRPropertyList::read(binary, &back, nullptr, &error))
        __builtin_trap();
    if (comparable && !(back == value))
        __builtin_trap();

    QByteArray xml;
    if (TRPropertyList::canWriteXml(value)) {
        if (!TRPropertyList::writeXml(value, &xml, &error) ||
            !TRPropertyList::read(xml, &back, nullptr, &error))
            __builtin_trap();
        if (comparable && !equalAfterXml(value, back))
            __builtin_trap();
    }
    return 0;
}
