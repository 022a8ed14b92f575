#pragma once

#include "TRArchiveContents.h"
#include "TRCoder.h"
#include "TRLimits.h"
#include "plist/TRBinaryPlistView.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <vector>

// Reads exchange files written by either platform's keyed archiver (binary or XML property lists) and by
// TRKeyedArchiver. Archives come from other people, so reading trusts nothing: only the classes of the
// exchange format are accepted, chosen by $classname; every reference is checked against $objects; a
// node, container or domain may be used in one place only, which also refuses reference cycles; nesting
// is bounded; and no error ever leaves half a result. A binary archive is read straight from its bytes:
// records and reference lists are looked at where they lie, and only leaf values are made.
class TRKeyedUnarchiver final : public TRCoder
{
public:
    enum class Failure : quint8
    {
        None,
        Unreadable, // not a keyed archive, or a malformed one
        WrongRoot,  // a sound archive whose root is neither a domain nor a list of domains
    };

    // unarchiveObjectWithFile:. On failure *contents is left as it was.
    static bool unarchiveObjectWithFile(const QString &path, TRArchiveContents *contents,
                                        QString *error = nullptr, Failure *failure = nullptr);
    static bool unarchiveObjectWithData(const QByteArray &bytes, TRArchiveContents *contents,
                                        QString *error = nullptr, Failure *failure = nullptr);
    // The archive as a property list already read; xml accepts {CF$UID: n} dictionaries as references.
    static bool unarchiveObjectWithPropertyList(const TRValue &archive, bool xml, TRArchiveContents *contents,
                                                QString *error = nullptr, Failure *failure = nullptr);

    // Largest file accepted.
    static constexpr qint64 kMaxFileSize = kTRMaxFileSize;

    void encodeValue(const TRValue &) override {}
    void encodeKey(const TRKeyPtr &) override {}
    void encodeNodeValue(const TRKey &) override {}

    TRValue decodeValue() override;
    TRKeyPtr decodeKey() override;
    NodeContents decodeNodeValue() override;

    void fail(const QString &message) override;
    bool failed() const override { return !m_error.isEmpty(); }

private:
    // The classes that may appear in an exchange file. Plain is a property-list value without a record.
    enum class Class : quint8
    {
        Plain,
        Key,
        Domain,
        Array,
        MutableArray,
        Dictionary,
        MutableDictionary,
        String,
        Data,
        Date
    };
    enum class Mark : quint8
    {
        Unvisited,
        Decoding,
        Taken,
        Leaf
    };
    // An object of $objects as a record (a dictionary), in the parsed graph or in the binary bytes.
    struct Record
    {
        const TRDictionary *values = nullptr;
        TRBinaryPlistView::Object object;
    };
    // An entry of a record or an element of a list: a parsed value, or an object of the binary table.
    struct Entry
    {
        const TRValue *value = nullptr;
        quint64 index = 0;
        bool present = false;
    };
    struct List
    {
        const TRArray *values = nullptr;
        TRBinaryPlistView::Object object;
        quint64 size = 0;
    };
    // A record being decoded. A binary record's first coded values are looked up in one pass.
    static constexpr int kLookedUp = 4;
    struct Frame
    {
        Record record;
        int next = 0;
        Entry coded[kLookedUp];
    };

    TRKeyedUnarchiver(const TRArray *objects, bool xml);
    TRKeyedUnarchiver(TRBinaryPlistView *view, const TRBinaryPlistView::Object &objects);

    static bool unarchiveBinary(const QByteArray &bytes, TRArchiveContents *contents, QString *error,
                                Failure *failure);
    static bool finish(TRKeyedUnarchiver &unarchiver, const Entry &top, TRArchiveContents *contents,
                       QString *error, Failure *failure);

    bool decodeRoot(const Entry &top, TRArchiveContents *contents);
    void failAt(quint64 uid, const QString &message);
    bool viewFailed();
    bool recordAt(quint64 uid, Record *record);
    bool pushFrame(quint64 uid);
    bool entryOf(const Record &record, qsizetype likely, const QString &key, Entry *entry);
    bool valueOf(const Entry &entry, TRValue *value);
    bool uidInRange(quint64 value, quint64 *uid);
    bool uidOf(const TRValue &reference, quint64 *uid);
    bool uidOf(const Entry &reference, quint64 *uid);
    bool uidAt(const List &list, quint64 at, quint64 *uid);
    quint64 nextUid();
    bool classOf(quint64 uid, Class *cls);
    bool claim(quint64 uid);
    TRValue leafAt(quint64 uid);
    TRKeyPtr keyAt(quint64 uid);
    TRDomainControllerPtr domainAt(quint64 uid);
    bool childrenAt(quint64 uid, Class cls, NodeContents *contents);
    bool referenceList(quint64 uid, const QString &key, List *list);

    static bool isList(Class cls) { return cls == Class::Array || cls == Class::MutableArray; }
    static bool isDictionary(Class cls)
    {
        return cls == Class::Dictionary || cls == Class::MutableDictionary;
    }
    static QString className(Class cls);

    const TRArray *m_objects = nullptr;  // the parsed graph's $objects
    TRBinaryPlistView *m_view = nullptr; // or the binary bytes and their $objects list
    TRBinaryPlistView::Object m_objectList;
    quint64 m_objectCount = 0;
    bool m_xml = false;
    std::vector<Mark> m_marks;
    std::vector<TRValue> m_leaves;
    QHash<quint64, Class> m_classes;       // by the UID of the class record
    std::vector<qint8> m_objectClasses;    // by object, once known (a Class)
    quint64 m_lastRecordUid = ~quint64(0); // the binary record read last
    TRBinaryPlistView::Object m_lastRecord;
    std::vector<Frame> m_frames;
    int m_depth = 0;
    bool m_wrongRoot = false;
    QString m_error;
};
