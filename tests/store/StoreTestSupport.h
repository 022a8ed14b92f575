#pragma once

#include "TRValue.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <ostream>

// Helpers shared by the store suites.
namespace storetest {

// Sets (or with nullopt unsets) an environment variable for the life of the guard.
class EnvGuard final
{
public:
    EnvGuard(const char *name, const std::optional<QString> &value);
    ~EnvGuard();
    EnvGuard(const EnvGuard &) = delete;
    EnvGuard &operator=(const EnvGuard &) = delete;

private:
    const char *m_name;
    std::optional<QByteArray> m_old;
};

// Writes the bytes to the path with the mode; fails the calling test when it cannot.
void writeFile(const QString &path, const QByteArray &bytes, int mode = 0644);
// The mode bits of a path (its own, not a link's target), or -1.
int fileMode(const QString &path);

// A dictionary holding one of every kind of value, nested containers included.
TRValue everyKindDictionary();
// A dictionary of count string entries "k0".."k<count-1>".
TRValue simpleDictionary(int count, const QString &prefix = QStringLiteral("v"));

// A binary property list {"k": a(levels)} where a(0) is an empty array and a(n) holds a(n-1) twice: a few
// hundred bytes that stand for 2^(levels+1) values.
QByteArray sharingBomb(int levels);

} // namespace storetest

// Readable values in test failure messages.
void PrintTo(const TRValue &value, std::ostream *os);
