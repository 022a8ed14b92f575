// Entry point of every test executable: a private home folder, a QApplication on the offscreen platform,
// then GoogleTest.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // No test may reach the real defaults store or settings: every process gets a home folder of its
    // own, with no GNUstep configuration, that goes when it ends.
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/tamrix-test-home-XXXXXX"));
    if (!home.isValid()) {
        std::fprintf(stderr, "cannot make a temporary home folder\n");
        return 1;
    }
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral(".config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral(".local/share"))));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.filePath(QStringLiteral(".cache"))));
    qputenv("XDG_STATE_HOME", QFile::encodeName(home.filePath(QStringLiteral(".local/state"))));
    qputenv("GNUSTEP_CONFIG_FILE", QFile::encodeName(home.filePath(QStringLiteral("no-GNUstep.conf"))));
    for (const char *name : {"GNUSTEP_HOME", "GNUSTEP_USER_CONFIG_FILE", "GNUSTEP_USER_DEFAULTS_DIR",
                             "TAMRIX_DEFAULTS_DIR", "TAMRIX_HISTORY_DIR", "TAMRIX_RECOVERY_DIR"})
        qunsetenv(name);

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
