#pragma once

#include <QByteArray>
#include <QString>
#include <cstring>

// The pieces of the binary "bplist00" form, written to a sink: put(char), put(bytes, length) and
// span(length), which answers room for that many bytes. A counting sink (kCounting) only adds up sizes,
// so that a writer can size its output exactly before writing it.
namespace TRBinaryPlistEncoding {

// The fewest bytes that hold the number (1 to 8).
inline int byteWidth(quint64 number)
{
    int width = 1;
    while (width < 8 && (number >> (8 * width)) != 0)
        ++width;
    return width;
}

inline quint64 bitsOf(double number)
{
    quint64 bits = 0;
    std::memcpy(&bits, &number, sizeof bits);
    return bits;
}

inline double doubleOf(quint64 bits)
{
    double number = 0;
    std::memcpy(&number, &bits, sizeof number);
    return number;
}

template<class Sink>
void putBigEndian(Sink &out, quint64 number, int width)
{
    char bytes[8] = {};
    for (int i = 0; i < width; ++i)
        bytes[i] = char(number >> (8 * (width - 1 - i)) & 0xff);
    out.put(bytes, width);
}

// A marker whose low nibble holds the length, or 0xf followed by an integer object.
template<class Sink>
void putMarker(Sink &out, int type, quint64 length)
{
    if (length < 15) {
        out.put(char(type << 4 | int(length)));
        return;
    }
    out.put(char(type << 4 | 0xf));
    const int width = byteWidth(length);
    const int widthLog = width == 1 ? 0 : width == 2 ? 1 : width <= 4 ? 2 : 3;
    out.put(char(0x10 | widthLog));
    putBigEndian(out, length, 1 << widthLog);
}

// ASCII when every character is, UTF-16BE otherwise.
template<class Sink>
void putString(Sink &out, QStringView text)
{
    const auto *units = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype length = text.size();
    bool ascii = true;
    for (qsizetype i = 0; i < length && ascii; ++i)
        ascii = units[i] < 0x80;
    putMarker(out, ascii ? 0x5 : 0x6, quint64(length));
    if constexpr (Sink::kCounting) {
        out.skip(ascii ? length : 2 * length);
    } else if (ascii) {
        char *bytes = out.span(length);
        for (qsizetype i = 0; i < length; ++i)
            bytes[i] = char(units[i]);
    } else {
        char *bytes = out.span(2 * length);
        for (qsizetype i = 0; i < length; ++i) {
            bytes[2 * i] = char(units[i] >> 8);
            bytes[2 * i + 1] = char(units[i] & 0xff);
        }
    }
}

// A signed integer (negative ones in 8 bytes) or, when isUnsigned, a 16-byte integer as both platforms
// write values above 2^63-1.
template<class Sink>
void putInteger(Sink &out, quint64 bits, bool isUnsigned)
{
    if (isUnsigned) {
        out.put(char(0x14));
        putBigEndian(out, 0, 8);
        putBigEndian(out, bits, 8);
    } else if (qint64(bits) < 0 || bits > 0xffffffffu) {
        out.put(char(0x13));
        putBigEndian(out, bits, 8);
    } else {
        const int width = byteWidth(bits);
        const int widthLog = width == 1 ? 0 : width == 2 ? 1 : 2;
        out.put(char(0x10 | widthLog));
        putBigEndian(out, bits, 1 << widthLog);
    }
}

template<class Sink>
void putReal(Sink &out, double number)
{
    out.put(char(0x23));
    putBigEndian(out, bitsOf(number), 8);
}

template<class Sink>
void putDate(Sink &out, double seconds)
{
    out.put(char(0x33));
    putBigEndian(out, bitsOf(seconds), 8);
}

template<class Sink>
void putData(Sink &out, const QByteArray &bytes)
{
    putMarker(out, 0x4, quint64(bytes.size()));
    out.put(bytes.constData(), bytes.size());
}

// A UID in 1, 2, 4 or 8 bytes.
template<class Sink>
void putUid(Sink &out, quint64 uid)
{
    const int width = byteWidth(uid);
    const int rounded = width == 1 ? 1 : width == 2 ? 2 : width <= 4 ? 4 : 8;
    out.put(char(0x80 | (rounded - 1)));
    putBigEndian(out, uid, rounded);
}

// Appends to a byte array.
struct ByteArraySink
{
    static constexpr bool kCounting = false;
    QByteArray *bytes;

    void put(char c) { bytes->append(c); }
    void put(const char *data, qsizetype length) { bytes->append(data, length); }
    char *span(qsizetype length)
    {
        const qsizetype start = bytes->size();
        bytes->resize(start + length);
        return bytes->data() + start;
    }
};

// Writes into memory already sized for everything written.
struct RawSink
{
    static constexpr bool kCounting = false;
    char *at;

    void put(char c) { *at++ = c; }
    void put(const char *data, qsizetype length)
    {
        std::memcpy(at, data, std::size_t(length));
        at += length;
    }
    char *span(qsizetype length)
    {
        char *start = at;
        at += length;
        return start;
    }
};

// Counts the bytes that would be written.
struct CountingSink
{
    static constexpr bool kCounting = true;
    quint64 size = 0;

    void put(char) { ++size; }
    void put(const char *, qsizetype length) { size += quint64(length); }
    void skip(qsizetype length) { size += quint64(length); }
};

} // namespace TRBinaryPlistEncoding
