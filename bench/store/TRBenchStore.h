#pragma once

#include "TRValue.h"

#include <QString>

// A generated defaults folder shaped like a real one, for timing: 1,000 domains, most with 10 to 200
// keys of every kind (a few nested), five with 10,000 to 50,000 keys and one with 200,000, about a third
// of them binary and the rest XML. The same seed always gives the same files.
namespace benchstore {

struct Summary
{
    int domains = 0;
    qint64 keys = 0;  // top-level keys of all domains
    qint64 bytes = 0; // size of all files
};

// The name of the 200,000-key domain.
QString largestDomainName();

// A dictionary of the given number of keys, as the generator makes them.
TRValue makeDomain(int keyCount, quint32 seed);

// Writes the whole store into the folder (made if missing). Answers false with a message on failure.
bool makeStore(const QString &folder, Summary *summary, QString *error);

} // namespace benchstore
