#pragma once

#include "TRPropertyList.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringView>
#include <vector>

// Writes a binary "bplist00" property list in time linear in the size of the value: minimal integer,
// offset and reference widths, ASCII or UTF-16BE strings, UIDs. A value object used in several places
// (the same shared handle) is written once; with shareEqualScalars equal strings, numbers and dates are
// written once too.
class TRBinaryPlistWriter
{
public:
    explicit TRBinaryPlistWriter(const TRPropertyList::BinaryOptions &options);

    bool write(const TRValue &value, QByteArray *out, QString *error);

private:
    // One object of the file: a value, or a dictionary key (value null).
    struct Object
    {
        const TRValue *value = nullptr;
        const QString *key = nullptr;
        quint64 referencesBegin = 0;
        quint64 referenceCount = 0;
    };

    bool collect(const TRValue &value, int depth, quint64 *index);
    // A string object, shared with every equal key and (when sharing scalars) equal string value.
    quint64 collectString(QStringView text, const TRValue *value, const QString *key);
    quint64 addObject(const TRValue *value, const QString *key);
    void emitObject(const Object &object, QByteArray *out) const;

    TRPropertyList::BinaryOptions m_options;
    std::vector<Object> m_objects;
    // Child references of compounds (a dictionary's keys, then its values), and a stack of those being
    // gathered while their compounds are collected.
    std::vector<quint64> m_references;
    std::vector<quint64> m_pending;
    QHash<const void *, quint64> m_byIdentity;
    // Views of the keys and string values being written, which live until the write is done.
    QHash<QStringView, quint64> m_strings;
    QHash<quint64, quint64> m_integers;
    QHash<quint64, quint64> m_unsignedIntegers;
    QHash<quint64, quint64> m_reals;
    QHash<quint64, quint64> m_dates;
    qint64 m_booleans[2] = {-1, -1};
    int m_referenceSize = 1;
    bool m_tooDeep = false;
};
