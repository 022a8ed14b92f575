// Unsaved changes survive a killed Tamrix, and AutoSave writes off the window's thread: a child test
// process edits a domain and is killed with SIGKILL at several points; the next start offers what it kept.
#include "KeyTestSupport.h"
#include "TRKey.h"
#include "plist/TRPropertyList.h"
#include "store/TRPreferences.h"
#include "store/TRRecoveryStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStatusBar>
#include <QThread>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>

namespace {

const QString kName = QStringLiteral("org.r");
// Set in the child process: the folder it writes what it kept into, for the parent to compare.
constexpr const char *kChildVariable = "TAMRIX_TEST_RECOVERY_CHILD";

TRValue dictionary(std::initializer_list<std::pair<const char *, TRValue>> entries)
{
    TRDictionary made;
    for (const auto &[key, value] : entries)
        made.insert(QString::fromUtf8(key), value);
    return TRValue::fromDictionary(std::move(made));
}

TRValue stored()
{
    return dictionary({{"keep", str("as stored")}, {"edit", TRValue::fromInteger(1)}, {"gone", str("x")}});
}

QByteArray binary(const TRValue &value)
{
    QByteArray bytes;
    TRPropertyList::writeBinary(value, &bytes);
    return bytes;
}

class Recovery : public KeyTest
{
protected:
    TRKeyPtr root() const { return m_controller->currentDomain()->rootKey(); }
    void put(const char *name, const TRValue &value)
    {
        const TRValue key = str(name);
        if (const TRKeyPtr old = root()->childForName(key))
            m_controller->replaceKeys({old, TRKey::create(key, value, root(), kName)});
        else
            m_controller->addKey(TRKey::create(key, value, root(), kName));
        settle();
    }
    void remove(const char *name)
    {
        m_controller->removeKey(root()->childForName(str(name)));
        settle();
    }
    // The edits of the child, in steps: every value kind, nested containers, a removal, odd reals.
    void editStep(int step)
    {
        switch (step) {
        case 0:
            put("string", str("é\t\"quoted\"\n"));
            put("integer", TRValue::fromInteger(-9007199254740993));
            put("real", TRValue::fromReal(-0.0));
            put("boolean", TRValue::fromBool(true));
            break;
        case 1:
            // Whole seconds: the domain's file is XML, which keeps no more.
            put("date", TRValue::fromDate(-1234.0));
            put("data", TRValue::fromData(QByteArray("\x00\xff\x10", 3)));
            put("array", TRValue::fromArray({TRValue::fromInteger(1), str("two"), TRValue::fromArray({})}));
            break;
        case 2:
            put("dictionary", dictionary({{"deep", dictionary({{"nan", TRValue::fromReal(std::nan(""))}})}}));
            put("edit", TRValue::fromInteger(2));
            remove("gone");
            break;
        default:
            put("after", str("not kept yet"));
            break;
        }
    }
    static QString recoveryFiles()
    {
        QStringList found;
        const QDir folder(TRRecoveryStore::defaultFolder());
        for (const QString &session : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            found += QDir(folder.filePath(session)).entryList({QStringLiteral("d-*")}, QDir::Files);
        return found.join(u' ');
    }
    // Runs the child until it reports the step kept (or, past the last, made and not kept), then kills
    // it; answers what it had kept last.
    TRValue runChildKilledAfter(int steps)
    {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(kChildVariable), QString::number(steps));
        environment.insert(QStringLiteral("TAMRIX_TEST_STORE_DIR"), storeFolder());
        environment.insert(QStringLiteral("TAMRIX_TEST_RECOVERY_DIR"), TRRecoveryStore::defaultFolder());
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=Recovery.ChildEditsUntilKilled")});
        EXPECT_TRUE(child.waitForStarted());
        QByteArray said;
        while (!said.contains("ready\n") && child.waitForReadyRead(60000))
            said += child.readAll();
        EXPECT_TRUE(said.contains("ready\n")) << said.toStdString();
        ::kill(pid_t(child.processId()), SIGKILL);
        child.waitForFinished();
        TRValue kept;
        const qsizetype at = said.indexOf("kept:");
        EXPECT_TRUE(at >= 0 &&
                    TRPropertyList::read(QByteArray::fromHex(said.mid(at + 5).split('\n').first()), &kept));
        return kept;
    }
};

} // namespace

// Not a test of its own: the process the tests below start and kill.
TEST_F(Recovery, ChildEditsUntilKilled)
{
    if (qEnvironmentVariableIsEmpty(kChildVariable))
        GTEST_SKIP() << "run by the recovery tests";
    qputenv("TAMRIX_RECOVERY_DIR", qgetenv("TAMRIX_TEST_RECOVERY_DIR"));
    const int steps = qEnvironmentVariableIntValue(kChildVariable);
    storeDomain(kName, stored());
    start();
    selectDomain(kName);
    TRValue kept;
    for (int step = 0; step < steps; ++step) {
        editStep(step);
        if (step < 3) {
            m_controller->keepRecoveryFilesNow();
            m_controller->finishPendingWrites();
            kept = contents(kName);
        }
    }
    std::printf("kept:%s\nready\n", binary(kept).toHex().constData());
    std::fflush(stdout);
    for (;;)
        QThread::sleep(1);
}

TEST_F(Recovery, KilledTamrixIsOfferedItsChangesBitForBit)
{
    // Killed after one, three, and four steps (the last edit not kept yet): what was kept comes back.
    for (const int steps : {1, 3, 4}) {
        SCOPED_TRACE(steps);
        const TRValue kept = runChildKilledAfter(steps);
        ASSERT_TRUE(kept.isDictionary());
        ASSERT_FALSE(recoveryFiles().isEmpty());

        TRAlert::resetScript();
        TRAlert::setNextAnswer(TRAlert::kDefault);
        start();
        settle();
        ASSERT_EQ(alertTitles(), QStringList{QStringLiteral("Unsaved changes were found")});
        EXPECT_TRUE(TRAlert::shownAlerts().first().message.contains(kName));
        EXPECT_EQ(binary(contents(kName)), binary(kept));
        EXPECT_TRUE(domain(kName)->modified());
        EXPECT_EQ(storedDomain(kName), stored()) << "nothing is written until the user saves";
        // This session keeps them now; the killed one's files are gone.
        EXPECT_EQ(recoveryFiles(), QStringLiteral("d-org.r.plist"));
        trigger("actionSaveDomain");
        EXPECT_EQ(storedDomain(kName), kept);
        EXPECT_TRUE(recoveryFiles().isEmpty());
        stop();
    }
}

TEST_F(Recovery, DiscardChangedSinceAndDamagedFiles)
{
    runChildKilledAfter(2);
    // Another program writes the domain after the changes were kept.
    const TRValue other = dictionary({{"other", str("program")}});
    storeDomain(kName, other);
    // A damaged file another ended session left.
    {
        TRRecoveryStore left(TRRecoveryStore::defaultFolder());
        ASSERT_TRUE(left.open());
        ASSERT_TRUE(left.keep(QStringLiteral("org.damaged"), storeFolder(), {}, stored()));
        QFile file(left.sessionFolder() + QStringLiteral("/d-org.damaged.plist"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("bplist00 truncated");
    }

    // Show Changes… opens the side-by-side view and asks again; Recover applies the readable file only.
    TRAlert::setNextAnswer(TRAlert::kOther);
    TRAlert::setNextAnswer(TRAlert::kDefault);
    start();
    settle();
    ASSERT_EQ(alertTitles().size(), 2);
    const QString message = TRAlert::shownAlerts().first().message;
    EXPECT_TRUE(message.contains(QStringLiteral("Another program changed org.r"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("d-org.damaged.plist"))) << message.toStdString();
    EXPECT_EQ(domainNames().indexOf(QStringLiteral("org.damaged")), -1);
    EXPECT_TRUE(domain(kName)->modified());
    EXPECT_TRUE(m_controller->isChangedOnDisk(*domain(kName)));
    // Save asks before replacing the other program's file.
    TRAlert::resetScript();
    trigger("actionSaveDomain");
    EXPECT_FALSE(alertTitles().isEmpty());
    EXPECT_EQ(storedDomain(kName), other);
    stop();

    // Discard: the files go and the store stays.
    runChildKilledAfter(1);
    TRAlert::resetScript();
    TRAlert::setNextAnswer(TRAlert::kAlternate);
    start();
    EXPECT_EQ(alertTitles(), QStringList{QStringLiteral("Unsaved changes were found")});
    EXPECT_FALSE(domain(kName)->modified());
    EXPECT_EQ(contents(kName), stored());
    stop();
    EXPECT_TRUE(recoveryFiles().isEmpty());
    TRAlert::resetScript();
    start();
    EXPECT_TRUE(alertTitles().isEmpty());
}

TEST_F(Recovery, FilesFollowTheDomainAndAnUnwritableFolderIsSaidOnce)
{
    storeDomain(kName, stored());
    start();
    selectDomain(kName);
    put("edit", TRValue::fromInteger(5));
    m_controller->keepRecoveryFilesNow();
    m_controller->finishPendingWrites();
    EXPECT_EQ(recoveryFiles(), QStringLiteral("d-org.r.plist"));
    // Reload drops the changes, and their file.
    TRAlert::setNextAnswer(TRAlert::kDefault);
    trigger("actionReloadDomain");
    settle();
    m_controller->finishPendingWrites();
    EXPECT_TRUE(recoveryFiles().isEmpty());
    // Kept again about a second after a change, without being asked.
    put("edit", TRValue::fromInteger(6));
    QThread::msleep(TRAppController::kRecoveryDelay + 100);
    settle();
    m_controller->finishPendingWrites();
    EXPECT_EQ(recoveryFiles(), QStringLiteral("d-org.r.plist"));
    stop();

    // A recovery folder that cannot be made: editing and saving go on, the status bar says why, once.
    QDir(TRRecoveryStore::defaultFolder()).removeRecursively();
    QFile blocker(TRRecoveryStore::defaultFolder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    start();
    selectDomain(kName);
    put("edit", TRValue::fromInteger(7));
    m_controller->keepRecoveryFilesNow();
    m_controller->finishPendingWrites();
    const QString said = mainWindow()->statusBar()->currentMessage();
    EXPECT_TRUE(said.startsWith(QStringLiteral("Unsaved changes cannot be protected against a crash: ")))
        << said.toStdString();
    mainWindow()->statusBar()->clearMessage();
    put("edit", TRValue::fromInteger(8));
    m_controller->keepRecoveryFilesNow();
    m_controller->finishPendingWrites();
    EXPECT_TRUE(mainWindow()->statusBar()->currentMessage().isEmpty());
    trigger("actionSaveDomain");
    EXPECT_EQ(storedDomain(kName).toDictionary().value(QStringLiteral("edit")), TRValue::fromInteger(8));
    stop();
    QFile::remove(TRRecoveryStore::defaultFolder());
}

TEST_F(Recovery, AutoSaveWritesBurstsInOrderWaitsAtQuitAndKeepsFailures)
{
    storeDomain(kName, stored());
    // Tamrix's own writes, watched as they land, are never taken for another program's.
    setFollowing(true);
    start();
    selectDomain(kName);
    ASSERT_TRUE(TRPreferences::shared().setValue(QString::fromLatin1(TRAppController::kAutoSave),
                                                 TRValue::fromBool(true)));
    // 1,000 changes as fast as they come: the file ends as the last state, and the domain unmodified.
    for (int i = 0; i < 1000; ++i)
        put(i % 3 == 0 ? "edit" : "burst", TRValue::fromInteger(i));
    m_controller->finishPendingWrites();
    EXPECT_EQ(storedDomain(kName), contents(kName));
    EXPECT_EQ(storedDomain(kName).toDictionary().value(QStringLiteral("burst")), TRValue::fromInteger(998));
    EXPECT_FALSE(domain(kName)->modified());
    for (int i = 0; i < 20; ++i) {
        put("burst", TRValue::fromInteger(i));
        QThread::msleep(50);
        settle();
    }
    QThread::msleep(600);
    settle();
    m_controller->finishPendingWrites();
    settle();
    EXPECT_FALSE(m_controller->isChangedOnDisk(*domain(kName)));
    EXPECT_FALSE(domain(kName)->modified());
    EXPECT_EQ(storedDomain(kName), contents(kName));

    // Quitting with a write under way waits for it: no question, and the file has the edit.
    put("edit", TRValue::fromInteger(-1));
    EXPECT_EQ(m_controller->applicationShouldTerminate(), 1);
    EXPECT_TRUE(alertTitles().isEmpty());
    EXPECT_EQ(storedDomain(kName).toDictionary().value(QStringLiteral("edit")), TRValue::fromInteger(-1));

    // A write the file system refuses (the file size limit): reported, the domain stays modified and
    // the old file is intact.
    const QByteArray before = [] {
        QFile file(domainFile(kName));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = old;
    tiny.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
    put("large", str(QString(4096, u'x')));
    m_controller->finishPendingWrites();
    settle();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(alertTitles(), QStringList{QStringLiteral("Cannot save domain")});
    EXPECT_TRUE(domain(kName)->modified());
    QFile file(domainFile(kName));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    TRPreferences::shared().setValue(QString::fromLatin1(TRAppController::kAutoSave), TRValue());
}
