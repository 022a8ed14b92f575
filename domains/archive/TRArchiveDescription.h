#pragma once

#include "TRArchiveContents.h"

#include <QByteArray>
#include <QString>

// The archive description: a JSON text that gives one domain ({"domain": name, "root": dict value}) or a
// list of domains ({"domains": [...]}), with property-list values in their JSON form, {"none": null} for
// a key without a value, and {"name": ..., "node": VALUE} to give a child another name than its position
// or key. Used to write exchange files from a text.
class TRArchiveDescription
{
public:
    // Builds the domains with their key trees (parent links set, not modified). On failure answers false
    // with a message and leaves *contents as it was.
    static bool read(const QByteArray &json, TRArchiveContents *contents, QString *error = nullptr);
};
