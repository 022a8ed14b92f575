// The domain list, the external changes, the key commands, the clipboard and the exchange commands on
// their own, without a window: what each owns and what it asks of its host.
#include "AppTestFixture.h"
#include "TRDomainList.h"
#include "TRDomainListModel.h"
#include "TRExchangeCommands.h"
#include "TRExternalChanges.h"
#include "TRKeyClipboard.h"
#include "TRKeyCommands.h"
#include "TRKeyOutlineModel.h"
#include "TRUndoManager.h"

#include <QFile>

namespace {

class NoDrag final : public TRKeyOutlineDragHandler
{
public:
    QStringList mimeTypes() const override { return {QStringLiteral("text/plain")}; }
    QMimeData *mimeData(const TRKeyOutlineModel &, const QModelIndexList &) const override { return nullptr; }
    bool canDropMimeData(const TRKeyOutlineModel &, const QMimeData *, Qt::DropAction, int,
                         const QModelIndex &) const override
    {
        return false;
    }
    bool dropMimeData(const TRKeyOutlineModel &, const QMimeData *, Qt::DropAction, int,
                      const QModelIndex &) override
    {
        return false;
    }
};

QStringList namesOf(const TRDomainList &list)
{
    QStringList names;
    for (const TRDomainControllerPtr &domain : list.domains())
        names.append(domain->name());
    return names;
}

TRDomainControllerPtr made(const char *name, int keys = 1)
{
    TRDictionary contents;
    for (int i = 0; i < keys; ++i)
        contents.insert(QStringLiteral("k%1").arg(i), TRValue::fromInteger(i));
    return std::make_shared<TRDomainController>(QString::fromLatin1(name), TRValue::fromDictionary(contents));
}

} // namespace

using DomainListAlone = AppTest;

TEST_F(DomainListAlone, EveryWayInGivesTheDragHandlerAndKeepsTheOrder)
{
    storeDomain(QStringLiteral("b"), dictionaryOf(1));
    storeDomain(QStringLiteral("d"), dictionaryOf(2));
    const auto drag = std::make_shared<NoDrag>();
    TRDomainList list(drag);
    list.loadFromStore();
    EXPECT_EQ(namesOf(list), (QStringList{QStringLiteral("b"), QStringLiteral("d")}));

    struct Case
    {
        const char *name;
        int expectedRow;
    };
    for (const Case &c : {Case{"c", 1}, Case{"a", 0}, Case{"e", 4}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(list.insertInStoreOrder(made(c.name)), c.expectedRow);
    }
    list.append(made("0-last"));
    list.replace(0, made("a"));
    EXPECT_EQ(namesOf(list),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"),
                           QStringLiteral("e"), QStringLiteral("0-last")}));
    for (const TRDomainControllerPtr &domain : list.domains())
        EXPECT_EQ(domain->outlineModel()->dragHandler(), drag.get()) << qPrintable(domain->name());
    list.assign({made("x")});
    EXPECT_EQ(list.at(0)->outlineModel()->dragHandler(), drag.get());

    // Rows outside the list change nothing and answer nothing.
    list.removeAt(5);
    list.replace(-1, made("y"));
    EXPECT_EQ(list.at(1), nullptr);
    EXPECT_EQ(list.forName(QStringLiteral("y")), nullptr);
    EXPECT_EQ(namesOf(list), QStringList{QStringLiteral("x")});
}

TEST_F(DomainListAlone, OnlyAModifiedDomainWithKeysHoldsChanges)
{
    TRDomainList list;
    list.append(made("empty", 0));
    list.append(made("full", 2));
    EXPECT_FALSE(list.modifiedDomainExists());
    list.at(0)->setModified(true);
    EXPECT_FALSE(list.modifiedDomainExists());
    list.at(1)->setModified(true);
    EXPECT_TRUE(list.modifiedDomainExists());

    EXPECT_FALSE(list.wasWritten(QStringLiteral("full")));
    list.noteWritten(QStringLiteral("full"));
    EXPECT_TRUE(list.wasWritten(QStringLiteral("full")));
    list.noteFileGone(QStringLiteral("full"));
    EXPECT_FALSE(list.wasWritten(QStringLiteral("full")));
}

namespace {

class RecordingHost final : public TRExternalChanges::Host
{
public:
    explicit RecordingHost(TRDomainList &list) : m_list(list) {}
    void domainListChanged() override { ++listChanges; }
    void dropFollowedDomain(int row) override
    {
        dropped.append(m_list.at(row)->name());
        m_list.removeAt(row);
    }
    void unreadableFilesChanged() override { ++unreadableLooks; }
    TRMainView *mainView() const override { return nullptr; }
    void recentChangesAdded() override {}
    bool deferCheckForWrites() override { return false; }

    int listChanges = 0;
    int unreadableLooks = 0;
    QStringList dropped;

private:
    TRDomainList &m_list;
};

} // namespace

using ExternalChangesAlone = AppTest;

TEST_F(ExternalChangesAlone, ALookFollowsMarksDropsAndAddsWithoutAWindow)
{
    for (const char *name : {"follows", "marked", "gone"})
        storeDomain(QString::fromLatin1(name), dictionaryOf(1));
    TRDomainList list;
    list.loadFromStore();
    for (const TRDomainControllerPtr &domain : list.domains())
        domain->rootKey(); // read now, as a shown domain is
    list.at(list.indexOf(QStringLiteral("marked")))->setModified(true);
    TRDomainListModel model;
    TRUndoManager undo;
    RecordingHost host(list);
    TRExternalChanges changes(list, model, undo, host);

    storeDomain(QStringLiteral("follows"), dictionaryOf(3));
    storeDomain(QStringLiteral("marked"), dictionaryOf(4));
    QFile::remove(domainFile(QStringLiteral("gone")));
    storeDomain(QStringLiteral("added"), dictionaryOf(2));
    changes.check();

    EXPECT_EQ(namesOf(list),
              (QStringList{QStringLiteral("added"), QStringLiteral("follows"), QStringLiteral("marked")}));
    EXPECT_EQ(host.dropped, QStringList{QStringLiteral("gone")});
    EXPECT_EQ(list.forName(QStringLiteral("follows"))->count(), 3);
    EXPECT_FALSE(list.forName(QStringLiteral("follows"))->modified());
    // The modified domain keeps its keys and is marked, until it forgets the mark.
    TRDomainController *marked = list.forName(QStringLiteral("marked"));
    EXPECT_EQ(marked->count(), 1);
    EXPECT_TRUE(changes.isChangedOnDisk(*marked));
    EXPECT_EQ(changes.changedOnDisk({list.at(list.indexOf(QStringLiteral("marked")))}).size(), 1u);
    changes.forget(QStringLiteral("marked"));
    EXPECT_FALSE(changes.isChangedOnDisk(*marked));
    EXPECT_GE(host.listChanges, 1);
    EXPECT_EQ(host.unreadableLooks, 1);
    // Not following: no watcher.
    EXPECT_EQ(changes.storeWatcher(), nullptr);
}

namespace {

class KeyHost final : public TRKeyCommands::Host
{
public:
    void keysChanged() override { ++refreshes; }
    void autoSaveDomain(TRDomainController *domain) override { saved.append(domain->name()); }

    int refreshes = 0;
    QStringList saved;
};

TRKeyPtr newKey(const TRDomainController &domain, const char *name)
{
    return TRKey::create(TRValue::fromString(QString::fromLatin1(name)), TRValue::fromInteger(1),
                         domain.rootKey(), domain.name());
}

} // namespace

using KeyCommandsAlone = AppTest;

TEST_F(KeyCommandsAlone, ACommandIsOneStepWithOneRefreshAndOneSavePerDomain)
{
    TRDomainList list;
    list.append(made("a", 1));
    list.append(made("b", 1));
    TRUndoManager undo;
    KeyHost host;
    TRKeyCommands commands(list, undo, host);
    TRDomainController &a = *list.at(0);
    TRDomainController &b = *list.at(1);

    // One primitive alone: its own step, refresh and save.
    commands.addKey(newKey(a, "x"));
    EXPECT_EQ(undo.undoActionNames(), QStringList{QStringLiteral("New key")});
    EXPECT_EQ(host.refreshes, 1);
    EXPECT_EQ(host.saved, QStringList{QStringLiteral("a")});

    // Several, over two domains, as one command.
    host = KeyHost();
    commands.beginCommand();
    commands.addKey(newKey(a, "y"));
    commands.addKey(newKey(b, "y"));
    commands.removeKey(a.rootKey()->childForName(TRValue::fromString(QStringLiteral("x"))));
    EXPECT_EQ(host.refreshes, 0);
    commands.endCommand(QStringLiteral("Paste"));
    EXPECT_EQ(undo.undoActionNames(), (QStringList{QStringLiteral("Paste"), QStringLiteral("New key")}));
    EXPECT_EQ(host.refreshes, 1);
    host.saved.sort();
    EXPECT_EQ(host.saved, (QStringList{QStringLiteral("a"), QStringLiteral("b")}));

    // Undoing the command is deferred as the controller defers it, and puts back what was there.
    host = KeyHost();
    commands.deferChanges();
    undo.undo();
    commands.finishDeferredChanges();
    EXPECT_EQ(a.count(), 2);
    EXPECT_EQ(b.count(), 1);
    EXPECT_EQ(host.refreshes, 1);

    // A domain emptied is not saved; a key whose parent left the tree changes nothing.
    host = KeyHost();
    const TRKeyPtr onlyKey = b.rootKey()->childAtIndex(0);
    commands.removeKey(onlyKey);
    EXPECT_EQ(b.count(), 0);
    EXPECT_TRUE(host.saved.isEmpty());
    const QStringList steps = undo.undoActionNames();
    commands.removeKey(onlyKey);
    commands.addKey(
        TRKey::create(TRValue::fromString(QStringLiteral("z")), TRValue::fromInteger(1), onlyKey, b.name()));
    EXPECT_EQ(undo.undoActionNames(), steps);
}

using KeyClipboardAlone = AppTest;

TEST_F(KeyClipboardAlone, PastedAndDuplicatedKeysTakeFreeNamesAndListPlaces)
{
    TRDictionary top;
    top.insert(QStringLiteral("a"), TRValue::fromInteger(1));
    top.insert(QStringLiteral("l"), TRValue::fromArray({TRValue::fromInteger(10), TRValue::fromInteger(20)}));
    TRDomainList list;
    list.append(std::make_shared<TRDomainController>(QStringLiteral("d"), TRValue::fromDictionary(top)));
    TRUndoManager undo;
    KeyHost host;
    TRKeyCommands commands(list, undo, host);
    TRKeyClipboard clipboard(commands, [](const TRKeyDrop &) { return false; });
    TRDomainController &domain = *list.at(0);
    const TRKeyPtr root = domain.rootKey();
    const TRKeyPtr a = root->childForName(TRValue::fromString(QStringLiteral("a")));
    const TRKeyPtr l = root->childForName(TRValue::fromString(QStringLiteral("l")));

    const TRKeyPlistFragment fragment = TRKeyPlistFragment::fromKeys({a});
    const std::vector<TRKeyPtr> pasted =
        clipboard.insertFragment(root, -1, fragment, QStringLiteral("Paste"));
    const std::vector<TRKeyPtr> again = clipboard.duplicate({a});
    ASSERT_EQ(pasted.size(), 1u);
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(pasted[0]->name().toString(), QStringLiteral("a copy"));
    EXPECT_EQ(again[0]->name().toString(), QStringLiteral("a copy 2"));

    // Into the list at a position, then every element duplicated right after itself.
    clipboard.insertFragment(l, 1, fragment, QStringLiteral("Paste"));
    clipboard.duplicate(l->children());
    const TRValue expected =
        TRValue::fromArray({TRValue::fromInteger(10), TRValue::fromInteger(10), TRValue::fromInteger(1),
                            TRValue::fromInteger(1), TRValue::fromInteger(20), TRValue::fromInteger(20)});
    EXPECT_EQ(l->databaseRepresentation(), expected);
    EXPECT_EQ(undo.undoActionNames(), (QStringList{QStringLiteral("Duplicate"), QStringLiteral("Paste"),
                                                   QStringLiteral("Duplicate"), QStringLiteral("Paste")}));
    // Each command is one step: undoing all four gives the domain back.
    for (int step = 0; step < 4; ++step)
        undo.undo();
    EXPECT_EQ(domain.databaseRepresentation(), TRValue::fromDictionary(top));
}

namespace {

class ImportHost final : public TRExchangeCommands::Host
{
public:
    QWidget *exchangeWindow() const override { return nullptr; }
    void putImportedDomain(const TRDomainControllerPtr &domain) override { one.append(domain->name()); }
    void putImportedDomains(std::vector<TRDomainControllerPtr> domains) override
    {
        lists.push_back(domains.size());
    }
    bool askDomainName(const QString &proposed, QString *name) override
    {
        *name = proposed;
        return true;
    }
    void showImportChanges(const QString &, const TRValue &, const TRValue &) override {}

    QStringList one;
    std::vector<std::size_t> lists;
};

} // namespace

using ExchangeCommandsAlone = AppTest;

TEST_F(ExchangeCommandsAlone, EachFileReachesItsHostOnlyWhenItHoldsWhatTheCommandAsksFor)
{
    const QString folder = storeFolder();
    TRDomainList list;
    list.append(made("listed", 2));
    ImportHost host;
    TRExchangeCommands exchange(list, host);
    exchange.doExportToFile(1, folder + QStringLiteral("/all.tamdoms"));
    // Export Domain needs a shown domain.
    list.setShown(list.at(0));
    exchange.doExportDomainToFile(1, folder + QStringLiteral("/one.tamdom"));
    exchange.doExportDomainAsPropertyList(1, folder + QStringLiteral("/org.example.p.plist"), true);
    EXPECT_TRUE(alertTitles().isEmpty()) << qPrintable(alertTitles().join(QLatin1Char(',')));

    // The list through Import Domain and the single domain through Import All are refused, as is a
    // cancelled panel; each kind of file through its own command (or by its suffix) arrives.
    exchange.doImportDomainFromFile(1, folder + QStringLiteral("/all.tamdoms"));
    exchange.doImportFromFile(1, folder + QStringLiteral("/one.tamdom"));
    exchange.doImportFromFile(0, folder + QStringLiteral("/all.tamdoms"));
    EXPECT_EQ(alertTitles(), (QStringList{QStringLiteral("Import error"), QStringLiteral("Import error")}));
    EXPECT_TRUE(host.one.isEmpty());
    EXPECT_TRUE(host.lists.empty());
    exchange.importFile(folder + QStringLiteral("/all.tamdoms"));
    exchange.importFile(folder + QStringLiteral("/one.tamdom"));
    exchange.importFile(folder + QStringLiteral("/org.example.p.plist"));
    EXPECT_EQ(host.lists, std::vector<std::size_t>{1});
    EXPECT_EQ(host.one, (QStringList{QStringLiteral("listed"), QStringLiteral("org.example.p")}));
}
