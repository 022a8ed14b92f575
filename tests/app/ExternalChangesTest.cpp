// Changes other programs make to the store while the window is open: plain file writes, and GNUstep's own
// `defaults` command (skipped, and says so, where it is not installed).
#include "KeyTestSupport.h"
#include "TRDomainListModel.h"
#include "TRKeyDiffView.h"
#include "TRMainWindow.h"
#include "TRUndoManager.h"
#include "plist/TRPropertyList.h"
#include "store/TRStoreWatcher.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QThread>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <cmath>
#include <functional>

namespace {

TRValue dictionary(std::initializer_list<std::pair<const char *, TRValue>> entries)
{
    TRDictionary result;
    for (const auto &[key, value] : entries)
        result.insert(QString::fromUtf8(key), value);
    return TRValue::fromDictionary(std::move(result));
}

QByteArray xmlOf(const TRValue &contents)
{
    QByteArray bytes;
    EXPECT_TRUE(TRPropertyList::write(contents, TRPropertyList::Format::Xml, &bytes));
    return bytes;
}

} // namespace

class ExternalChanges : public KeyTest
{
protected:
    void SetUp() override
    {
        KeyTest::SetUp();
        setFollowing(true);
    }

    // Another program writes the domain: a new file renamed into place.
    static void writeAside(const QString &name, const TRValue &contents)
    {
        const QString temporary = storeFolder() + QStringLiteral("/.") + name + QStringLiteral(".new");
        writeInPlace(temporary, xmlOf(contents));
        ASSERT_EQ(::rename(QFile::encodeName(temporary).constData(),
                           QFile::encodeName(domainFile(name)).constData()),
                  0);
    }
    // Another program writes the file where it stands.
    static void writeInPlace(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    // Looks at the store now, as the watcher does once the folder has been quiet.
    void look()
    {
        m_controller->checkExternalChanges();
        settle();
    }
    // Runs the event loop, the watcher and its timers with it, until the condition holds.
    static bool waitFor(const std::function<bool()> &condition, int ms = 30000)
    {
        const QDeadlineTimer deadline(ms);
        while (!condition()) {
            if (deadline.hasExpired())
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(2);
        }
        return true;
    }
    static void spin(int ms)
    {
        const QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    void addKeyTo(const QString &domainName, const char *key)
    {
        TRDomainController *target = domain(domainName);
        ASSERT_NE(target, nullptr);
        m_controller->addKey(TRKey::create(str(key), str("mine"), target->rootKey(), domainName));
    }
    QString statusMessage() const { return m_interface->mainWindow()->statusBar()->currentMessage(); }
    QString marker(const QString &name) const
    {
        return cell(int(domainNames().indexOf(name)), QStringLiteral("modified"));
    }
};

TEST_F(ExternalChanges, AnUnmodifiedDomainFollowsItsFileKeepingTheOutlineAndOtherDomainsSteps)
{
    storeDomain(QStringLiteral("app"),
                dictionary({{"window", dictionary({{"width", TRValue::fromInteger(1)},
                                                   {"height", TRValue::fromInteger(2)}})},
                            {"name", str("x")}}));
    storeDomain(QStringLiteral("other"), dictionaryOf(1));
    start();
    // A saved step in each domain: neither is modified, both have history.
    addKeyTo(QStringLiteral("app"), "saved");
    addKeyTo(QStringLiteral("other"), "saved");
    trigger("actionSaveAllDomains");
    ASSERT_EQ(undoNames().size(), 2);

    selectDomain(QStringLiteral("app"));
    outline()->expand(indexOf({QStringLiteral("window")}));
    selectKey({QStringLiteral("window"), QStringLiteral("height")});
    QSignalSpy resets(model(), &QAbstractItemModel::modelReset);

    // A value changed, a key added, one removed.
    const TRValue theirs = dictionary(
        {{"window", dictionary({{"width", TRValue::fromInteger(1)}, {"height", TRValue::fromInteger(3)}})},
         {"added", str("new")}});
    writeAside(QStringLiteral("app"), theirs);
    look();
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(rootValue(), theirs);
    EXPECT_FALSE(domain(QStringLiteral("app"))->modified());
    const QModelIndex window = indexOf({QStringLiteral("window")});
    const QModelIndex height = indexOf({QStringLiteral("window"), QStringLiteral("height")});
    EXPECT_TRUE(outline()->isExpanded(window));
    EXPECT_EQ(outline()->currentIndex().siblingAtColumn(0), height);
    EXPECT_TRUE(outline()->selectionModel()->isRowSelected(height.row(), window));
    EXPECT_EQ(height.siblingAtColumn(TRKeyOutlineModel::ValueColumn).data().toString(), QStringLiteral("3"));
    EXPECT_EQ(cell(int(domainNames().indexOf(QStringLiteral("app"))), QStringLiteral("keyCount")),
              QStringLiteral("2"));
    // The followed domain's step went, the other's stays and still undoes.
    EXPECT_EQ(undoNames(), QStringList{QStringLiteral("New key")});
    trigger("actionUndo");
    EXPECT_FALSE(domain(QStringLiteral("other"))->rootKey()->keyExists(str("saved")));

    // Nothing new: no second reload.
    look();
    EXPECT_EQ(resets.count(), 1);
}

TEST_F(ExternalChanges, FilesThatComeAndGoAddAndRemoveUnmodifiedDomainsAndMarkModifiedOnes)
{
    for (const char *name : {"a", "b", "c"})
        storeDomain(QString::fromLatin1(name), dictionaryOf(1));
    start();
    addKeyTo(QStringLiteral("c"), "unsaved");
    selectDomain(QStringLiteral("b"));

    writeAside(QStringLiteral("aa"), dictionaryOf(2));
    ASSERT_TRUE(QFile::remove(domainFile(QStringLiteral("b"))));
    ASSERT_TRUE(QFile::remove(domainFile(QStringLiteral("c"))));
    look();
    EXPECT_EQ(domainNames(), (QStringList{QStringLiteral("a"), QStringLiteral("aa"), QStringLiteral("c")}));
    EXPECT_FALSE(domain(QStringLiteral("aa"))->modified());
    EXPECT_EQ(domain(QStringLiteral("aa"))->count(), 2);
    // The selection moved on to the row that followed, as on deletion.
    ASSERT_NE(m_controller->currentDomain(), nullptr);
    EXPECT_EQ(m_controller->currentDomain()->name(), QStringLiteral("c"));

    // The modified domain stays, marked apart from a plain modification, and the user is told once.
    EXPECT_EQ(marker(QStringLiteral("c")), TRAppController::changedOnDiskMarker());
    const QModelIndex cMarker = m_controller->domainListModel()->index(2, 0);
    EXPECT_EQ(cMarker.data(Qt::ToolTipRole).toString(), QStringLiteral("Changed on disk by another program"));
    EXPECT_TRUE(statusMessage().contains(QStringLiteral("domain c was changed by another program")))
        << statusMessage().toStdString();
    m_interface->mainWindow()->statusBar()->clearMessage();
    look();
    EXPECT_TRUE(statusMessage().isEmpty());
}

TEST_F(ExternalChanges, SavingADomainWhoseFileChangedAsksAndEachAnswerDoesWhatItSays)
{
    const TRValue theirs = dictionary({{"k", str("theirs")}});
    struct Case
    {
        const char *name;
        int answer;
        bool replaced;
        bool bothShown;
    };
    const Case cases[] = {{"cancelled", TRAlert::kDefault, false, false},
                          {"replaced", TRAlert::kOther, true, false},
                          {"compared", TRAlert::kAlternate, false, true}};
    for (const Case &c : cases)
        storeDomain(QString::fromLatin1(c.name), dictionary({{"k", str("ours")}}));
    start();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = QString::fromLatin1(c.name);
        addKeyTo(name, "mine");
        const TRValue mine = domain(name)->databaseRepresentation();
        writeAside(name, theirs);
        look();
        ASSERT_EQ(marker(name), TRAppController::changedOnDiskMarker());

        TRAlert::resetScript();
        TRAlert::setNextAnswer(c.answer);
        selectDomain(name);
        trigger("actionSaveDomain");
        ASSERT_EQ(alertTitles(), QStringList{QStringLiteral("Changed by another program")});
        EXPECT_EQ(TRAlert::shownAlerts()[0].message,
                  QStringLiteral("The file of domain %1 was changed by another program since Tamrix read it. "
                                 "Saving will replace those changes.")
                      .arg(name));
        EXPECT_EQ(TRAlert::shownAlerts()[0].buttons,
                  (QStringList{QStringLiteral("Cancel"), QStringLiteral("Show Both…"),
                               QStringLiteral("Save Anyway")}));
        EXPECT_EQ(storedDomain(name), c.replaced ? mine : theirs);
        EXPECT_EQ(domain(name)->modified(), !c.replaced);
        EXPECT_EQ(marker(name), c.replaced ? QString() : TRAppController::changedOnDiskMarker());

        const QList<TRKeyDiffView *> views = m_interface->mainWindow()->findChildren<TRKeyDiffView *>();
        ASSERT_EQ(views.size(), c.bothShown ? 1 : 0);
        if (c.bothShown) {
            EXPECT_EQ(views[0]->differingKeys(), (QStringList{QStringLiteral("k"), QStringLiteral("mine")}));
            EXPECT_EQ(views[0]->diskTree()->topLevelItemCount(), 2);
            views[0]->close();
            settle();
        }
    }
}

TEST_F(ExternalChanges, SaveAllAndTheQuitAlertAskOnceForAllChangedDomains)
{
    for (const char *name : {"a", "b", "c"})
        storeDomain(QString::fromLatin1(name), dictionaryOf(1));
    start();
    for (const char *name : {"a", "b", "c"})
        addKeyTo(QString::fromLatin1(name), "mine");
    const TRValue mineOfC = domain(QStringLiteral("c"))->databaseRepresentation();
    // Not looked at yet: the save itself finds the changed files.
    writeAside(QStringLiteral("a"), dictionaryOf(3));
    writeAside(QStringLiteral("b"), dictionaryOf(3));

    // Cancel: the command writes nothing.
    trigger("actionSaveAllDomains");
    ASSERT_EQ(alertTitles(), QStringList{QStringLiteral("Changed by another program")});
    EXPECT_TRUE(TRAlert::shownAlerts()[0].message.startsWith(
        QStringLiteral("The files of domains a, b were changed")));
    EXPECT_EQ(storedDomain(QStringLiteral("a")), dictionaryOf(3));
    EXPECT_EQ(storedDomain(QStringLiteral("c")), dictionaryOf(1));

    // Save and Quit asks the same; Save Anyway writes all three and quits.
    TRAlert::resetScript();
    TRAlert::setNextAnswer(TRAlert::kDefault);
    TRAlert::setNextAnswer(TRAlert::kOther);
    trigger("actionQuit");
    EXPECT_EQ(alertTitles(), (QStringList{QStringLiteral("About to quit Tamrix"),
                                          QStringLiteral("Changed by another program")}));
    EXPECT_TRUE(m_controller->hasTerminated());
    EXPECT_EQ(storedDomain(QStringLiteral("c")), mineOfC);
    for (const char *name : {"a", "b"})
        EXPECT_TRUE(storedDomain(QString::fromLatin1(name)).toDictionary().contains(QStringLiteral("mine")));
}

TEST_F(ExternalChanges, OwnSavesAreNotFollowedAndABurstOfWritesIsFollowedToItsEnd)
{
    startShowing(QStringLiteral("busy"), dictionaryOf(2));
    QSignalSpy checks(m_controller->storeWatcher(), &TRStoreWatcher::changed);
    QSignalSpy resets(model(), &QAbstractItemModel::modelReset);

    addKeyTo(QStringLiteral("busy"), "mine");
    trigger("actionSaveDomain");
    ASSERT_TRUE(waitFor([&] { return checks.count() > 0; }));
    look();
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(undoNames(), QStringList{QStringLiteral("New key")});
    EXPECT_TRUE(alertTitles().isEmpty());

    // 100 writes over about a second, each of another size (timestamps are coarse).
    QElapsedTimer burst;
    burst.start();
    TRValue last;
    for (int i = 1; i <= 100; ++i) {
        last = dictionary({{"n", TRValue::fromString(QString(i, u'x'))}});
        writeAside(QStringLiteral("busy"), last);
        spin(10);
    }
    ASSERT_TRUE(waitFor([&] { return rootValue() == last; }));
    // Coalesced: one reload per bound at most while the writes go on, and the last one.
    EXPECT_GE(resets.count(), 1);
    EXPECT_LE(resets.count(), 2 + burst.elapsed() / TRStoreWatcher::kLatestMs);
    EXPECT_TRUE(undoNames().isEmpty());
}

TEST_F(ExternalChanges, AFileCaughtMidWriteOrUnreadableNeverReplacesTheLoadedCopy)
{
    startShowing(QStringLiteral("doc"), dictionaryOf(2));
    const QString file = domainFile(QStringLiteral("doc"));

    // Truncated, then complete.
    const QByteArray complete = xmlOf(dictionaryOf(3));
    writeInPlace(file, complete.left(complete.size() / 2));
    look();
    EXPECT_EQ(rootValue(), dictionaryOf(2));
    EXPECT_FALSE(statusMessage().contains(QStringLiteral("cannot be read")));
    writeInPlace(file, complete);
    look();
    EXPECT_EQ(rootValue(), dictionaryOf(3));

    // Unreadable for good: reported at the second look, the loaded copy kept and listed.
    writeInPlace(file, QByteArray("not a property list"));
    look();
    look();
    EXPECT_EQ(rootValue(), dictionaryOf(3));
    EXPECT_TRUE(domainNames().contains(QStringLiteral("doc")));
    EXPECT_TRUE(statusMessage().contains(QStringLiteral("The file of domain doc cannot be read")))
        << statusMessage().toStdString();
    EXPECT_TRUE(windowPart<QLabel>("unreadableFilesLabel")->isHidden());
    EXPECT_TRUE(QFile::exists(file));

    // Set aside only when Tamrix writes the domain (after asking).
    addKeyTo(QStringLiteral("doc"), "mine");
    TRAlert::setNextAnswer(TRAlert::kOther);
    trigger("actionSaveDomain");
    EXPECT_EQ(storedDomain(QStringLiteral("doc")).toDictionary().size(), 4);
    EXPECT_EQ(QDir(storeFolder()).entryList({QStringLiteral("doc.plist.unreadable-*")}).size(), 1);
}

TEST_F(ExternalChanges, GnustepDefaultsIsFollowedThroughTheWatcher)
{
    const QString defaults = QStandardPaths::findExecutable(QStringLiteral("defaults"));
    if (defaults.isEmpty())
        GTEST_SKIP()
            << "SKIPPED: GNUstep's `defaults` command is not installed (package gnustep-base-runtime); "
               "following its writes is not tested here.";
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString config = home.filePath(QStringLiteral("GNUstep.conf"));
    // An absolute folder and no per-user file: nothing of the real home is read or written.
    writeInPlace(config,
                 "GNUSTEP_USER_DEFAULTS_DIR='" + storeFolder().toUtf8() + "'\nGNUSTEP_USER_CONFIG_FILE=\n");
    const auto run = [&](const QStringList &args) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("GNUSTEP_CONFIG_FILE"), config);
        environment.insert(QStringLiteral("HOME"), home.path());
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(home.path());
        process.start(defaults, args);
        // The window goes on watching while the other program runs.
        EXPECT_TRUE(waitFor([&] { return process.state() == QProcess::NotRunning; }, 60000));
        EXPECT_EQ(process.exitCode(), 0) << args.join(u' ').toStdString();
    };

    startShowing(QStringLiteral("g"), dictionary({{"k", str("one")}}));
    run({QStringLiteral("write"), QStringLiteral("g"), QStringLiteral("k"), QStringLiteral("two")});
    EXPECT_TRUE(waitFor([&] { return rootValue().toDictionary().value(QStringLiteral("k")) == str("two"); }));
    run({QStringLiteral("write"), QStringLiteral("fresh"), QStringLiteral("x"), QStringLiteral("y")});
    EXPECT_TRUE(waitFor([&] { return domainNames().contains(QStringLiteral("fresh")); }));

    addKeyTo(QStringLiteral("g"), "mine");
    run({QStringLiteral("write"), QStringLiteral("g"), QStringLiteral("k"), QStringLiteral("three")});
    EXPECT_TRUE(waitFor([&] { return m_controller->isChangedOnDisk(*domain(QStringLiteral("g"))); }));
    EXPECT_TRUE(domain(QStringLiteral("g"))->rootKey()->keyExists(str("mine")));
}

namespace {

double relativeLuminance(const QColor &colour)
{
    const auto channel = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

// The side-by-side view's marks follow the palette and read well under a light and under a dark one.
TEST(KeyDiffViewColours, MarkedRowsKeepTheirContrastUnderLightAndDarkPalettes)
{
    QPalette dark;
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Window, QColor(45, 45, 45));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    QPalette light;
    light.setColor(QPalette::Base, Qt::white);
    light.setColor(QPalette::Text, Qt::black);
    const QPalette saved = QApplication::palette();
    TRDictionary disk;
    disk.insert(QStringLiteral("same"), TRValue::fromInteger(1));
    disk.insert(QStringLiteral("changed"), TRValue::fromInteger(2));
    TRDictionary inner;
    inner.insert(QStringLiteral("deep"), TRValue::fromBool(true));
    TRDictionary tamrix = disk;
    tamrix.insert(QStringLiteral("changed"), TRValue::fromInteger(3));
    tamrix.insert(QStringLiteral("group"), TRValue::fromDictionary(inner));
    for (const QPalette *palette : {&light, &dark}) {
        SCOPED_TRACE(palette == &dark ? "dark" : "light");
        QApplication::setPalette(*palette);
        TRKeyDiffView view(QStringLiteral("d"), TRValue::fromDictionary(disk), QString(),
                           TRValue::fromDictionary(tamrix));
        int marked = 0;
        for (QTreeWidget *tree : {view.diskTree(), view.tamrixTree()}) {
            for (QTreeWidgetItemIterator it(tree); *it; ++it) {
                const QBrush background = (*it)->background(0);
                if (background.style() == Qt::NoBrush)
                    continue;
                ++marked;
                // A mark as light or as dark as the palette's base, not a light patch on a dark window.
                EXPECT_EQ(background.color().lightnessF() < 0.5, palette == &dark);
                EXPECT_GE(contrastRatio((*it)->foreground(0).color(), background.color()), 4.5)
                    << qPrintable((*it)->text(0));
            }
        }
        EXPECT_GE(marked, 4); // "changed" and "group" on both sides
    }
    QApplication::setPalette(saved);
}
