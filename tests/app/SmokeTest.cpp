#include "AppTestFixture.h"
#include "TRMainWindow.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

// Starts the real executable under Xvfb on a private store with one domain; it must come up, reach its
// first idle moment and close through its ordinary quit path, leaving the store intact.
TEST(Smoke, ExecutableStartsAndQuitsUnderXvfb)
{
    const QString xvfbRun = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    if (xvfbRun.isEmpty())
        GTEST_SKIP()
            << "xvfb-run is not installed (Debian package xvfb): the executable smoke test is skipped";
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString domainFile = folder.filePath(QStringLiteral("org.example.smoke.plist"));
    {
        QFile file(domainFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
                   "<key>greeting</key>\n<string>hello</string>\n</dict>\n</plist>\n");
    }
    const QByteArray before = [&] {
        QFile file(domainFile);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TAMRIX_DEFAULTS_DIR"), folder.path());
    environment.insert(QStringLiteral("TAMRIX_QUIT_WHEN_IDLE"), QStringLiteral("1"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    process.setProcessEnvironment(environment);
    process.start(xvfbRun, {QStringLiteral("-a"), QStringLiteral(TAMRIX_BINARY_DIR "/tamrix")});
    ASSERT_TRUE(process.waitForFinished(120000)) << "tamrix did not quit";
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    QFile file(domainFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    // The window's size was remembered in the application's own domain.
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("tamrix.plist"))));
}

// Not a check: writes a picture of the main window to the file TAMRIX_SCREENSHOT names (for the README).
TEST_F(AppTest, Screenshot)
{
    const QString target = qEnvironmentVariable("TAMRIX_SCREENSHOT");
    if (target.isEmpty())
        GTEST_SKIP() << "set TAMRIX_SCREENSHOT to a file name to take a picture of the main window";
    TRDictionary viewer;
    viewer.insert(QStringLiteral("WindowTitle"), TRValue::fromString(QStringLiteral("Viewer")));
    viewer.insert(QStringLiteral("ZoomLevel"), TRValue::fromReal(1.25));
    viewer.insert(QStringLiteral("ShowToolbar"), TRValue::fromBool(true));
    viewer.insert(QStringLiteral("LastOpened"), TRValue::fromDate(786000000.0));
    viewer.insert(QStringLiteral("Token"), TRValue::fromData(QByteArrayLiteral("\x01\x02\xfe\xff")));
    viewer.insert(QStringLiteral("RecentFiles"),
                  TRValue::fromArray({TRValue::fromString(QStringLiteral("~/notes.txt")),
                                      TRValue::fromString(QStringLiteral("~/plan.md"))}));
    TRDictionary frame;
    frame.insert(QStringLiteral("Width"), TRValue::fromInteger(1024));
    frame.insert(QStringLiteral("Height"), TRValue::fromInteger(768));
    viewer.insert(QStringLiteral("Frame"), TRValue::fromDictionary(std::move(frame)));
    storeDomain(QStringLiteral("org.example.viewer"), TRValue::fromDictionary(std::move(viewer)));
    storeDomain(QStringLiteral("NSGlobalDomain"), dictionaryOf(12));
    storeDomain(QStringLiteral("org.gnustep.GSTest"), dictionaryOf(3));
    storeDomain(QStringLiteral("com.example.Mail"), dictionaryOf(40));
    start();
    m_interface->mainWindow()->resize(900, 480);
    newDomain(QStringLiteral("org.example.new"));
    selectRow(2);
    windowPart<QTreeView>("domainContentsView")->expandAll();
    settle();
    EXPECT_TRUE(m_interface->mainWindow()->grab().save(target));
}
