#pragma once

#include "StoreTestSupport.h"
#include "TestSupport.h"
#include "plist/TRPropertyList.h"
#include "store/TRDefaultsStore.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace storetest {

inline QByteArray encode(const TRValue &value, TRPropertyList::Format format)
{
    QByteArray bytes;
    EXPECT_TRUE(TRPropertyList::write(value, format, &bytes));
    return bytes;
}

inline TRPropertyList::Format formatOf(const QString &path)
{
    TRValue value;
    TRPropertyList::Format format = TRPropertyList::Format::OpenStep;
    EXPECT_TRUE(TRPropertyList::read(testsupport::readFile(path), &value, &format)) << path.toStdString();
    return format;
}

} // namespace storetest

// A store over a defaults folder in a temporary directory; the folder is not made until asked for.
class Store : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString folder() const { return m_dir.filePath(QStringLiteral("GNUstep/Defaults")); }
    QString file(const QString &name) const { return folder() + u'/' + name; }
    // Every entry of the folder but the lock folder.
    QStringList entries() const
    {
        QStringList list = QDir(folder()).entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        list.removeAll(QStringLiteral(".lck"));
        return list;
    }
    void makeFolder() const { ASSERT_TRUE(QDir().mkpath(folder())); }

    QTemporaryDir m_dir;
    TRDefaultsStore m_store{folder()};
};
