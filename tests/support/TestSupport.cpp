#include "TestSupport.h"

#include <QFile>
#include <gtest/gtest.h>

namespace testsupport {

QString sharedPath(const QString &relative)
{
    return QStringLiteral(TAMRIX_SHARED_DIR "/") + relative;
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
