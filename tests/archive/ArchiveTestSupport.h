#pragma once

#include "archive/TRArchiveContents.h"

#include <QByteArray>
#include <QJsonValue>
#include <QString>
#include <initializer_list>

namespace archivetest {

// A parsed archive dump without the informational members (iso, mutable), for comparisons.
QJsonValue normalizedDump(const QByteArray &json);

// Reads an exchange file's bytes; fails the calling test on error.
TRArchiveContents readArchive(const QByteArray &bytes);

// Builds a keyed archive by hand, object by object, for malformed and hostile cases.
class ArchiveBuilder
{
public:
    ArchiveBuilder();
    // Appends an object and answers its UID.
    quint64 add(const TRValue &object);
    // Reserves a UID to be filled later with set().
    quint64 reserve() { return add(TRValue()); }
    void set(quint64 uid, const TRValue &object);
    // The UID of the class record of that name (made once).
    quint64 classUid(const QString &name);
    // A record of the class with the given entries; UIDs as TRValue::fromUid.
    TRValue record(const QString &className, std::initializer_list<std::pair<QString, TRValue>> entries);
    // A TRKey record {$0: domain, $1: name, $2: value}.
    quint64 key(quint64 domainUid, quint64 nameUid, quint64 valueUid);
    quint64 list(const QList<quint64> &uids, const QString &className = QStringLiteral("NSMutableArray"));
    quint64 domain(quint64 nameUid, quint64 rootUid);
    // The top-level dictionary with the given root.
    TRValue archive(quint64 root) const;

private:
    TRArray m_objects;
};

TRValue uid(quint64 number);

} // namespace archivetest
