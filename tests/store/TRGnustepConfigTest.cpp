#include "store/TRGnustepConfig.h"

#include "StoreTestSupport.h"
#include "store/TRDefaultsStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using storetest::EnvGuard;
using storetest::writeFile;

TEST(TRGnustepConfig, ParsesShellLikeAssignments)
{
    const TRGnustepConfig::Values values =
        TRGnustepConfig::parseText(QStringLiteral("# a comment\n"
                                                  "  PLAIN=/a/b   \n"
                                                  "SINGLE='/with space/$x\\n'\n"
                                                  "DOUBLE=\"quoted \\\"inner\\\"\"\n"
                                                  "ESCAPED=a\\ b\n"
                                                  "JOINED=one\\\ntwo\n"
                                                  "EMPTY=\n"
                                                  "9BAD=x\n"
                                                  "no equals sign\n"
                                                  "LATER=1\nLATER=2\n"));
    EXPECT_EQ(values.value(QStringLiteral("PLAIN")), QStringLiteral("/a/b"));
    EXPECT_EQ(values.value(QStringLiteral("SINGLE")), QStringLiteral("/with space/$x\\n"));
    EXPECT_EQ(values.value(QStringLiteral("DOUBLE")), QStringLiteral("quoted \"inner\""));
    EXPECT_EQ(values.value(QStringLiteral("ESCAPED")), QStringLiteral("a b"));
    EXPECT_EQ(values.value(QStringLiteral("JOINED")), QStringLiteral("onetwo"));
    EXPECT_TRUE(values.contains(QStringLiteral("EMPTY")));
    EXPECT_TRUE(values.value(QStringLiteral("EMPTY")).isEmpty());
    EXPECT_FALSE(values.contains(QStringLiteral("9BAD")));
    EXPECT_EQ(values.value(QStringLiteral("LATER")), QStringLiteral("2"));
    EXPECT_EQ(values.size(), 7);
}

class FolderResolution : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_home = m_dir.filePath(QStringLiteral("home"));
        ASSERT_TRUE(QDir().mkpath(m_home));
        m_config = m_dir.filePath(QStringLiteral("GNUstep.conf"));
    }

    QString path(const QString &relative) const { return m_dir.filePath(relative); }

    QTemporaryDir m_dir;
    QString m_home;
    QString m_config;
    EnvGuard m_forced{"TAMRIX_DEFAULTS_DIR", std::nullopt};
    EnvGuard m_configFile{"GNUSTEP_CONFIG_FILE", std::nullopt};
    EnvGuard m_gnustepHome{"GNUSTEP_HOME", std::nullopt};
};

TEST_F(FolderResolution, SystemFileThenUserFileRelativeToHome)
{
    qputenv("GNUSTEP_CONFIG_FILE", m_config.toUtf8());
    qputenv("GNUSTEP_HOME", m_home.toUtf8());

    // Relative folder from the system file, under GNUSTEP_HOME; no user file yet.
    writeFile(m_config, "GNUSTEP_USER_DEFAULTS_DIR=Prefs/Here\n");
    EXPECT_EQ(TRGnustepConfig::userDefaultsFolder(), m_home + QStringLiteral("/Prefs/Here"));

    // The user's own file (default name) overrides it.
    writeFile(m_home + QStringLiteral("/.GNUstep.conf"), "GNUSTEP_USER_DEFAULTS_DIR='/elsewhere/Defaults'\n",
              0600);
    EXPECT_EQ(TRGnustepConfig::userDefaultsFolder(), QStringLiteral("/elsewhere/Defaults"));

    // A user file writable by others is ignored, as GNUstep ignores it.
    writeFile(m_home + QStringLiteral("/.GNUstep.conf"), "GNUSTEP_USER_DEFAULTS_DIR='/elsewhere/Defaults'\n",
              0666);
    EXPECT_EQ(TRGnustepConfig::userDefaultsFolder(), m_home + QStringLiteral("/Prefs/Here"));

    // So is one that belongs to somebody else (only root can make one here).
    if (::geteuid() == 0) {
        writeFile(m_home + QStringLiteral("/.GNUstep.conf"), "GNUSTEP_USER_DEFAULTS_DIR='/elsewhere'\n",
                  0600);
        ASSERT_EQ(
            ::chown(QFile::encodeName(m_home + QStringLiteral("/.GNUstep.conf")).constData(), 65534, 65534),
            0);
        EXPECT_EQ(TRGnustepConfig::userDefaultsFolder(), m_home + QStringLiteral("/Prefs/Here"));
    }

    // The system file may name another user file, or switch user files off with an empty value.
    writeFile(m_home + QStringLiteral("/my.conf"), "GNUSTEP_USER_DEFAULTS_DIR=Mine\n", 0644);
    writeFile(m_config, "GNUSTEP_USER_CONFIG_FILE=my.conf\nGNUSTEP_USER_DEFAULTS_DIR=Prefs/Here\n");
    EXPECT_EQ(TRGnustepConfig::userDefaultsFolder(), m_home + QStringLiteral("/Mine"));
    writeFile(m_config, "GNUSTEP_USER_CONFIG_FILE=\nGNUSTEP_USER_DEFAULTS_DIR=Prefs/Here\n");
    EXPECT_EQ(TRGnustepConfig::userDefaultsFolder(), m_home + QStringLiteral("/Prefs/Here"));
}

TEST_F(FolderResolution, RefusedOrMissingFilesGiveGnustepDefault)
{
    qputenv("GNUSTEP_CONFIG_FILE", m_config.toUtf8());
    qputenv("GNUSTEP_HOME", m_home.toUtf8());
    const QString fallback = m_home + QStringLiteral("/GNUstep/Defaults");

    EXPECT_EQ(TRGnustepConfig::userDefaultsFolder(), fallback); // no file at all

    writeFile(m_config, "GNUSTEP_USER_DEFAULTS_DIR=/group/writable\nGNUSTEP_USER_CONFIG_FILE=\n", 0664);
    EXPECT_EQ(TRGnustepConfig::userDefaultsFolder(), fallback);

    writeFile(m_config, "GNUSTEP_USER_DEFAULTS_DIR=/fine\nGNUSTEP_USER_CONFIG_FILE=\n", 0644);
    EXPECT_EQ(TRGnustepConfig::userDefaultsFolder(), QStringLiteral("/fine"));
}

TEST_F(FolderResolution, HomeComesFromGnustepHomeThenPasswd)
{
    qputenv("GNUSTEP_HOME", m_home.toUtf8());
    EXPECT_EQ(TRGnustepConfig::userHome(), m_home);
    {
        const EnvGuard noGnustepHome("GNUSTEP_HOME", std::nullopt);
        const EnvGuard otherHome("HOME", path(QStringLiteral("ignored")));
        // The passwd entry wins over $HOME, as in GNUstep base.
        EXPECT_NE(TRGnustepConfig::userHome(), path(QStringLiteral("ignored")));
        EXPECT_FALSE(TRGnustepConfig::userHome().isEmpty());
    }
}

TEST_F(FolderResolution, TamrixVariableWinsWhenNotEmpty)
{
    qputenv("GNUSTEP_CONFIG_FILE", m_config.toUtf8());
    writeFile(m_config, "GNUSTEP_USER_DEFAULTS_DIR=/from/gnustep\nGNUSTEP_USER_CONFIG_FILE=\n");
    {
        const EnvGuard forced("TAMRIX_DEFAULTS_DIR", path(QStringLiteral("forced")));
        EXPECT_EQ(TRDefaultsStore::resolveFolder(), path(QStringLiteral("forced")));
    }
    const EnvGuard empty("TAMRIX_DEFAULTS_DIR", QString());
    EXPECT_EQ(TRDefaultsStore::resolveFolder(), QStringLiteral("/from/gnustep"));
}
