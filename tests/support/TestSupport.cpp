#include "TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace testsupport {

QString dataPath(const QString &relative)
{
    const QString path = QStringLiteral(TAMRIX_TEST_DATA_DIR "/") + relative;
    if (!QFileInfo::exists(path))
        ADD_FAILURE() << "missing test data: " << path.toStdString();
    return path;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return file.readAll();
}

} // namespace testsupport
