#pragma once

#include <QByteArray>
#include <QString>

#include <ostream>

// Helpers shared by the test suites.
namespace testsupport {

// Absolute path of a file under the shared reference folder (corpus, fixtures, formats).
QString sharedPath(const QString &relative);

// The whole content of a file; fails the calling test when it cannot be read.
QByteArray readFile(const QString &path);

} // namespace testsupport

// Readable QString values in GoogleTest failure messages.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
