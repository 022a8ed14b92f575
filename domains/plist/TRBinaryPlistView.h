#pragma once

#include "TRValue.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringView>
#include <vector>

// A random-access view of a binary "bplist00" property list: objects are looked at where they lie in the
// bytes, and only the ones a caller asks for become values. Every offset, length and reference is checked
// against the file before it is used; a fault names its byte offset. The view reads no object on its own,
// so a caller that follows references decides how deep it goes.
class TRBinaryPlistView
{
public:
    enum Type : quint8
    {
        Boolean = 0x0,
        Integer = 0x1,
        Real = 0x2,
        Date = 0x3,
        Data = 0x4,
        Ascii = 0x5,
        Utf16 = 0x6,
        Uid = 0x8,
        Array = 0xa,
        Dictionary = 0xd
    };

    // An object's header: where it lies, its type, and for data, texts and containers its length (entries
    // for a dictionary), checked to fit before the offset table; position is where its payload starts.
    struct Object
    {
        quint64 offset = 0;
        quint64 position = 0;
        quint64 count = 0;
        quint8 type = 0;
        quint8 info = 0;
    };

    // The bytes must outlive the view.
    explicit TRBinaryPlistView(const QByteArray &bytes);

    // Checks the header, trailer and offset table.
    bool open();
    quint64 objectCount() const { return m_objectCount; }
    quint64 top() const { return m_top; }

    bool object(quint64 index, Object *object);
    // Whether the object's marker says array or dictionary: a glance, nothing checked beyond the offset.
    bool looksLikeContainer(quint64 index) const;
    // The index of an array's element, a dictionary's key (values = false) or value (values = true).
    bool reference(const Object &container, quint64 at, quint64 *index, bool values = false);
    // The value of the dictionary's entry under key; *found answers whether there is one. A dictionary
    // holding the key twice, or a key that is no text, is a fault.
    bool find(const Object &dictionary, const QString &key, quint64 *value, bool *found);
    // The same for several keys in one pass over the dictionary: found[i] and values[i] for keys[i].
    bool find(const Object &dictionary, const QString *keys, int count, quint64 *values, bool *found);
    // Whether a text object is the given text.
    bool textEquals(const Object &text, QStringView expected) const;
    // An ASCII or UTF-16 text object's characters.
    bool text(const Object &object, QString *text);
    // A value that is not a container; a container answers false with a fault.
    bool leaf(const Object &object, TRValue *value);
    // Refuses what leaf() refuses, with the same fault, without making the value.
    bool checkLeaf(const Object &object);
    // The same, but a container reads as an empty one of its kind: enough for a caller that only checks a
    // value's kind and never wants a container's contents.
    bool leafOrEmpty(const Object &object, TRValue *value);
    quint64 uid(const Object &object) const;
    // Where the object lies, as its offset table says (unchecked), and where a container's reference is.
    quint64 offsetOf(quint64 index) const;
    quint64 referenceOffset(const Object &container, quint64 at, bool values = false) const;

    // Records the fault (the latest one counts) and answers false; error() words it.
    bool fail(quint64 offset, const char *reason);
    bool failed() const { return m_reason != nullptr; }
    QString error() const;

private:
    bool checkAscii(const Object &object);
    bool readLength(quint64 offset, int info, quint64 *position, quint64 *length);
    // Dictionary keys are numbered by their text the first time a lookup meets them, and so are the keys
    // looked for: a lookup then compares numbers, and each key object is read once however many
    // dictionaries share it (archivers write each record key once).
    static constexpr qint32 kUnnumbered = -1;
    static constexpr qint32 kNotText = -2;
    qint32 numberOfText(const QString &text);
    qint32 numberOfKey(quint64 index);
    qint32 numberOfWanted(const QString &key);

    const unsigned char *m_data = nullptr;
    quint64 m_size = 0;
    int m_offsetSize = 0;
    int m_referenceSize = 0;
    quint64 m_objectCount = 0;
    quint64 m_top = 0;
    quint64 m_tableOffset = 0;
    quint64 m_faultOffset = 0;
    const char *m_reason = nullptr;
    std::vector<qint32> m_keyNumbers; // per object, filled as lookups meet them
    QHash<QString, qint32> m_textNumbers;
    // The keys looked for lately; holding the texts keeps their addresses from being reused.
    struct Wanted
    {
        QString text;
        qint32 number;
    };
    std::vector<Wanted> m_wanted;
};
