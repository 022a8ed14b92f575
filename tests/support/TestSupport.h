#pragma once

#include <QByteArray>
#include <QString>
#include <ostream>

// Helpers shared by the test suites.
namespace testsupport {

// Absolute path of a file or folder under tests/data; fails the calling test, naming the path, when it is
// missing.
QString dataPath(const QString &relative);

// The whole content of a file; fails the calling test when it cannot be read.
QByteArray readFile(const QString &path);

} // namespace testsupport

// Readable QString values in GoogleTest failure messages.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
