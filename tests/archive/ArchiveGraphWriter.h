#pragma once

#include "TRCoder.h"
#include "archive/TRArchiveContents.h"
#include "archive/TRArchiveFormat.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <vector>

// The tests' second archive writer: builds the keyed archive as a property-list value, its top-level
// dictionary, object by object, as a value graph. Reading the product writer's bytes must give an equal
// value; the two were written apart, so each checks the other's layout.
class ArchiveGraphWriter final : public TRCoder
{
public:
    static bool write(const TRArchiveContents &contents, TRValue *archive, QString *error = nullptr);

    void encodeValue(const TRValue &value) override;
    void encodeText(const QString &text) override;
    void encodeKey(const TRKeyPtr &key) override;
    void encodeNodeValue(const TRKey &owner) override;

    TRValue decodeValue() override { return {}; }
    TRKeyPtr decodeKey() override { return nullptr; }
    NodeContents decodeNodeValue() override { return {}; }

    void fail(const QString &message) override;
    bool failed() const override { return !m_error.isEmpty(); }

private:
    ArchiveGraphWriter();

    using ClassId = TRArchiveFormat::WrittenClass;

    // A record being filled: its entries and the number of values coded into it so far.
    struct Record
    {
        TRDictionary entries;
        int coded = 0;
    };

    quint64 uidOfValue(const TRValue &value);
    // A string object equal to the text; the value, when given, is the text's own value handle.
    quint64 uidOfText(const QString &text, const TRValue *value);
    quint64 uidOfClass(ClassId id);
    quint64 uidOfKey(const TRKeyPtr &key);
    quint64 uidOfDomain(const TRDomainController &domain);
    quint64 uidOfDomainList(const std::vector<TRDomainControllerPtr> &domains);
    quint64 uidOfChildren(const TRKey &owner);
    // Reserves the object's UID, so that a record comes before the objects it refers to.
    quint64 reserveObject();
    TRValue reference(quint64 uid);
    void beginRecord();
    void endRecord(quint64 uid, ClassId id);
    void codeUid(quint64 uid);
    TRValue finish(quint64 rootUid);

    TRArray m_objects;
    std::vector<Record> m_records;
    quint64 m_classUids[int(ClassId::Count)] = {};
    // Strings and numbers are written once and shared by every place that holds an equal value.
    QHash<QString, quint64> m_strings;
    QHash<quint64, quint64> m_integers;
    QHash<quint64, quint64> m_unsignedIntegers;
    QHash<quint64, quint64> m_reals;
    QHash<quint64, quint64> m_booleans;
    std::vector<TRValue> m_references;
    int m_depth = 0;
    QString m_error;
};
