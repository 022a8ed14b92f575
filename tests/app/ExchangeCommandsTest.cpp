// Export and import of exchange files from the main window: panels, the four did-end handlers, the
// question before unsaved changes are discarded, and every refusal.
#include "AppTestFixture.h"
#include "TRFileDialog.h"
#include "TRUndoManager.h"
#include "TestSupport.h"
#include "archive/TRKeyedArchiver.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>

namespace {

class ExchangeCommands : public AppTest
{
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_TRUE(m_files.isValid());
    }

    QString file(const QString &name) const { return m_files.filePath(name); }

    // Runs the command with the path chosen in its panel.
    void run(const char *action, const QString &path)
    {
        TRFileDialog::setNextFileName(path);
        trigger(action);
    }

    static TRValue tree()
    {
        TRDictionary inner;
        inner.insert(QStringLiteral("flag"), TRValue::fromBool(true));
        inner.insert(QStringLiteral("when"), TRValue::fromDate(600000000.0));
        TRDictionary top;
        top.insert(QStringLiteral("name"), TRValue::fromString(QStringLiteral("value")));
        top.insert(QStringLiteral("list"),
                   TRValue::fromArray(
                       {TRValue::fromInteger(3), TRValue::fromReal(2.5), TRValue::fromDictionary(inner)}));
        top.insert(QStringLiteral("blob"), TRValue::fromData(QByteArray("\x00\xff", 2)));
        return TRValue::fromDictionary(std::move(top));
    }

    // Every node's parent link points at the node that holds it.
    static void expectParentLinks(const TRKeyPtr &node)
    {
        for (const TRKeyPtr &child : node->children()) {
            EXPECT_EQ(child->parent(), node);
            expectParentLinks(child);
        }
    }

    static void writeArchive(const QString &path, bool list, const std::vector<QString> &names)
    {
        TRArchiveContents contents;
        contents.isList = list;
        for (const QString &name : names)
            contents.domains.push_back(std::make_shared<TRDomainController>(name, dictionaryOf(1)));
        QString error;
        ASSERT_TRUE(TRKeyedArchiver::archiveRootObject(contents, path, &error)) << error.toStdString();
    }

    QTemporaryDir m_files;
};

} // namespace

TEST_F(ExchangeCommands, PanelsAreSetUpPerCommandAndCancelDoesNothing)
{
    storeDomain(QStringLiteral("a"), dictionaryOf(2));
    start();
    selectRow(0);
    const struct
    {
        const char *action;
        TRFileDialog::Kind kind;
        const char *title, *prompt, *label, *suffix;
        QStringList filters;
    } cases[] = {
        {"actionExportAllDomains",
         TRFileDialog::Kind::Save,
         "Export domains",
         "Export",
         "Export as",
         "",
         {QStringLiteral("Tamrix domains (*.tamdoms)"), QStringLiteral("All files (*)")}},
        {"actionExportDomain",
         TRFileDialog::Kind::Save,
         "Export domains",
         "Export",
         "Export as",
         "tamdom",
         {QStringLiteral("Tamrix domain (*.tamdom)"), QStringLiteral("All files (*)")}},
        {"actionImportAllDomains",
         TRFileDialog::Kind::Open,
         "Import domains",
         "Import",
         "Import from",
         "",
         {QStringLiteral("Tamrix domains (*.tamdoms)"), QStringLiteral("All files (*)")}},
        {"actionImportDomain",
         TRFileDialog::Kind::Open,
         "Import domains",
         "Import",
         "Import from",
         "tamdom",
         {QStringLiteral("Tamrix domain (*.tamdom)")}},
    };
    for (const auto &c : cases) {
        TRFileDialog::resetScript();
        TRFileDialog::setNextCancel();
        trigger(c.action);
        const QList<TRFileDialog::Settings> shown = TRFileDialog::shownPanels();
        ASSERT_EQ(shown.size(), 1) << c.action;
        EXPECT_EQ(shown[0].kind, c.kind) << c.action;
        EXPECT_EQ(shown[0].title, QLatin1String(c.title)) << c.action;
        EXPECT_EQ(shown[0].prompt, QLatin1String(c.prompt)) << c.action;
        EXPECT_EQ(shown[0].nameFieldLabel, QLatin1String(c.label)) << c.action;
        EXPECT_EQ(shown[0].defaultSuffix, QLatin1String(c.suffix)) << c.action;
        EXPECT_EQ(shown[0].nameFilters, c.filters) << c.action;
    }
    EXPECT_TRUE(QDir(m_files.path()).isEmpty());
    EXPECT_EQ(domainNames(), QStringList{QStringLiteral("a")});
    EXPECT_FALSE(domain(QStringLiteral("a"))->modified());
    EXPECT_TRUE(alertTitles().isEmpty());
}

TEST_F(ExchangeCommands, ExportedDomainImportsBackWithItsTree)
{
    storeDomain(QStringLiteral("a.first"), tree());
    storeDomain(QStringLiteral("b.second"), dictionaryOf(1));
    start();
    newDomain(QStringLiteral("c.new"));
    selectRow(0);
    const QStringList undoBefore = undoNames();
    // Typed without an extension: the panel adds "tamdom".
    run("actionExportDomain", file(QStringLiteral("first")));
    ASSERT_TRUE(QFile::exists(file(QStringLiteral("first.tamdom"))));
    EXPECT_EQ(undoNames(), undoBefore);
    EXPECT_FALSE(domain(QStringLiteral("a.first"))->modified());

    selectRow(1);
    run("actionImportDomain", file(QStringLiteral("first.tamdom")));
    EXPECT_TRUE(alertTitles().isEmpty()) << alertTitles().join(u',').toStdString();
    EXPECT_EQ(domainNames(),
              (QStringList{QStringLiteral("a.first"), QStringLiteral("b.second"), QStringLiteral("c.new")}));
    TRDomainController *imported = domain(QStringLiteral("a.first"));
    EXPECT_TRUE(imported->modified());
    EXPECT_EQ(imported->databaseRepresentation(), tree());
    expectParentLinks(imported->rootKey());
    EXPECT_EQ(selectedRow(), 0);
    EXPECT_EQ(m_controller->currentDomain(), imported);
    EXPECT_EQ(outlineRows().size(), 3);
    EXPECT_TRUE(undoNames().isEmpty());
    EXPECT_TRUE(redoNames().isEmpty());
    // Nothing reached the store.
    EXPECT_EQ(storedDomain(QStringLiteral("a.first")), tree());
}

TEST_F(ExchangeCommands, SingleImportMergesByName)
{
    const struct
    {
        const char *label;
        const char *fileDomain;
        int selectedBefore;
        int expectedRow;
    } cases[] = {
        {"shown", "b", 1, 1},
        {"not shown", "b", 0, 1},
        {"new", "z", 0, 3},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        storeDomain(QStringLiteral("a"), dictionaryOf(1));
        storeDomain(QStringLiteral("b"), dictionaryOf(2));
        storeDomain(QStringLiteral("c"), dictionaryOf(3));
        const QString path = file(QStringLiteral("one.tamdom"));
        TRArchiveContents contents;
        TRDictionary keys;
        keys.insert(QStringLiteral("imported"), TRValue::fromInteger(7));
        contents.domains.push_back(std::make_shared<TRDomainController>(QString::fromLatin1(c.fileDomain),
                                                                        TRValue::fromDictionary(keys)));
        ASSERT_TRUE(TRKeyedArchiver::archiveRootObject(contents, path));
        start();
        selectRow(c.selectedBefore);
        run("actionImportDomain", path);

        QStringList expected{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
        if (c.expectedRow == 3)
            expected.append(QStringLiteral("z"));
        EXPECT_EQ(domainNames(), expected);
        EXPECT_EQ(selectedRow(), c.expectedRow);
        EXPECT_EQ(outlineRows(), QStringList{QStringLiteral("imported")});
        EXPECT_EQ(m_controller->currentDomain()->name(), QString::fromLatin1(c.fileDomain));
        EXPECT_EQ(cell(c.expectedRow, QStringLiteral("modified")), TRAppController::trCross());
        EXPECT_EQ(cell(c.expectedRow, QStringLiteral("keyCount")), QStringLiteral("1"));
        stop();
        SetUp();
    }
}

TEST_F(ExchangeCommands, ExportAllAndImportAllKeepTheListInOrder)
{
    storeDomain(QStringLiteral("m"), tree());
    storeDomain(QStringLiteral("n"), dictionaryOf(3));
    storeDomain(QStringLiteral("o"), dictionaryOf(1));
    start();
    newDomain(QStringLiteral("p.empty"));
    run("actionExportAllDomains", file(QStringLiteral("all.tamdoms")));
    EXPECT_EQ(undoNames(), QStringList{QStringLiteral("New domain")});

    // Domains missing from the file leave the list; the store keeps them.
    stop();
    storeDomain(QStringLiteral("extra"), dictionaryOf(1));
    start();
    selectRow(2);
    newDomain(QStringLiteral("q"));
    run("actionImportAllDomains", file(QStringLiteral("all.tamdoms")));
    EXPECT_TRUE(alertTitles().isEmpty()) << alertTitles().join(u',').toStdString();
    EXPECT_EQ(domainNames(), (QStringList{QStringLiteral("m"), QStringLiteral("n"), QStringLiteral("o"),
                                          QStringLiteral("p.empty")}));
    for (const TRDomainControllerPtr &loaded : m_controller->domains())
        EXPECT_TRUE(loaded->modified()) << loaded->name().toStdString();
    EXPECT_EQ(domain(QStringLiteral("m"))->databaseRepresentation(), tree());
    expectParentLinks(domain(QStringLiteral("m"))->rootKey());
    EXPECT_EQ(selectedRow(), 0);
    EXPECT_EQ(m_controller->currentDomain(), domain(QStringLiteral("m")));
    EXPECT_EQ(outlineRows().size(), 3);
    EXPECT_TRUE(undoNames().isEmpty());
    EXPECT_TRUE(storeHas(QStringLiteral("extra")));
    EXPECT_FALSE(storeHas(QStringLiteral("p.empty")));
}

TEST_F(ExchangeCommands, EmptyListBothWaysAndExportWithNothingShown)
{
    start();
    run("actionExportAllDomains", file(QStringLiteral("none.tamdoms")));
    ASSERT_TRUE(QFile::exists(file(QStringLiteral("none.tamdoms"))));
    // No domain shown: no file, no message.
    run("actionExportDomain", file(QStringLiteral("nothing.tamdom")));
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("nothing.tamdom"))));

    newDomain(QStringLiteral("x"));
    ASSERT_EQ(selectedRow(), 0);
    run("actionImportAllDomains", file(QStringLiteral("none.tamdoms")));
    EXPECT_TRUE(domainNames().isEmpty());
    EXPECT_EQ(selectedRow(), -1);
    EXPECT_FALSE(outlineHasModel());
    EXPECT_TRUE(undoNames().isEmpty());
    EXPECT_TRUE(alertTitles().isEmpty());
}

TEST_F(ExchangeCommands, BadFilesAreRefusedAndChangeNothing)
{
    storeDomain(QStringLiteral("a"), dictionaryOf(1));
    writeArchive(file(QStringLiteral("one.tamdom")), false, {QStringLiteral("a")});
    writeArchive(file(QStringLiteral("list.tamdoms")), true, {QStringLiteral("a")});
    writeArchive(file(QStringLiteral("dots.tamdom")), false, {QStringLiteral("..")});
    writeArchive(file(QStringLiteral("slash.tamdoms")), true, {QStringLiteral("ok"), QStringLiteral("a/b")});
    writeArchive(file(QStringLiteral("empty-name.tamdom")), false, {QString()});
    writeArchive(file(QStringLiteral("long.tamdom")), false, {QString(300, u'x')});
    writeArchive(file(QStringLiteral("twice.tamdoms")), true,
                 {QStringLiteral("d"), QStringLiteral("e"), QStringLiteral("d")});
    QByteArray archive = testsupport::readFile(file(QStringLiteral("one.tamdom")));
    QFile truncated(file(QStringLiteral("truncated.tamdom")));
    ASSERT_TRUE(truncated.open(QIODevice::WriteOnly));
    truncated.write(archive.left(archive.size() / 2));
    truncated.close();
    QFile text(file(QStringLiteral("text.tamdom")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not an archive\n");
    text.close();
    ASSERT_TRUE(QDir(m_files.path()).mkdir(QStringLiteral("folder.tamdom")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(file(QStringLiteral("fifo.tamdoms"))).constData(), 0600), 0);

    const struct
    {
        const char *action;
        const char *name;
    } cases[] = {
        {"actionImportAllDomains", "one.tamdom"},    {"actionImportDomain", "list.tamdoms"},
        {"actionImportDomain", "missing.tamdom"},    {"actionImportDomain", "text.tamdom"},
        {"actionImportDomain", "truncated.tamdom"},  {"actionImportDomain", "folder.tamdom"},
        {"actionImportAllDomains", "fifo.tamdoms"},  {"actionImportDomain", "dots.tamdom"},
        {"actionImportAllDomains", "slash.tamdoms"}, {"actionImportDomain", "empty-name.tamdom"},
        {"actionImportDomain", "long.tamdom"},       {"actionImportAllDomains", "twice.tamdoms"},
    };
    start();
    selectRow(0);
    newDomain(QStringLiteral("b"));
    const TRDomainController *before = domain(QStringLiteral("a"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TRAlert::resetScript();
        const QString path = file(QString::fromLatin1(c.name));
        run(c.action, path);
        const QList<TRAlert::Shown> shown = TRAlert::shownAlerts();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown[0].title, QStringLiteral("Import error"));
        EXPECT_TRUE(shown[0].message.contains(path));
        EXPECT_FALSE(shown[0].detailedText.isEmpty());
        EXPECT_EQ(domainNames(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
        EXPECT_EQ(domain(QStringLiteral("a")), before);
        EXPECT_EQ(selectedRow(), 1);
        EXPECT_EQ(undoNames(), QStringList{QStringLiteral("New domain")});
    }
}

TEST_F(ExchangeCommands, ExportIntoAFolderThatCannotBeWrittenNamesTheFolder)
{
    storeDomain(QStringLiteral("a"), dictionaryOf(1));
    // A plain file stands where the folder should be: refused even to root.
    QFile blocker(file(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    start();
    selectRow(0);
    for (const char *action : {"actionExportAllDomains", "actionExportDomain"}) {
        TRAlert::resetScript();
        run(action, file(QStringLiteral("blocker/out.tamdoms")));
        const QList<TRAlert::Shown> shown = TRAlert::shownAlerts();
        ASSERT_EQ(shown.size(), 1) << action;
        EXPECT_EQ(shown[0].title, QStringLiteral("Export error"));
        EXPECT_TRUE(
            shown[0].message.contains(QStringLiteral("directory ") + file(QStringLiteral("blocker")) + u' '))
            << shown[0].message.toStdString();
        EXPECT_FALSE(shown[0].detailedText.isEmpty());
    }
    EXPECT_FALSE(domain(QStringLiteral("a"))->modified());
}

TEST_F(ExchangeCommands, ImportAsksBeforeDiscardingUnsavedChanges)
{
    storeDomain(QStringLiteral("a"), dictionaryOf(1));
    storeDomain(QStringLiteral("b"), dictionaryOf(2));
    writeArchive(file(QStringLiteral("a.tamdom")), false, {QStringLiteral("a")});
    start();
    // Unmodified domains: no question.
    run("actionExportAllDomains", file(QStringLiteral("all.tamdoms")));
    run("actionImportAllDomains", file(QStringLiteral("all.tamdoms")));
    ASSERT_TRUE(alertTitles().isEmpty());
    ASSERT_TRUE(domain(QStringLiteral("a"))->modified());

    // Cancel, the default, changes nothing.
    const TRDomainController *kept = domain(QStringLiteral("a"));
    run("actionImportDomain", file(QStringLiteral("a.tamdom")));
    TRAlert::setNextAnswer(TRAlert::kDefault);
    run("actionImportAllDomains", file(QStringLiteral("all.tamdoms")));
    QList<TRAlert::Shown> shown = TRAlert::shownAlerts();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0].title, QStringLiteral("About to discard unsaved changes"));
    EXPECT_EQ(shown[0].buttons, (QStringList{QStringLiteral("Cancel"), QStringLiteral("Import"),
                                             QStringLiteral("Show Changes…")}));
    EXPECT_TRUE(shown[0].message.contains(QStringLiteral("The domain a has")));
    EXPECT_TRUE(shown[1].message.startsWith(QStringLiteral("2 domains have unsaved changes")));
    EXPECT_EQ(domain(QStringLiteral("a")), kept);

    // Import goes ahead.
    TRAlert::resetScript();
    TRAlert::setNextAnswer(TRAlert::kAlternate);
    run("actionImportDomain", file(QStringLiteral("a.tamdom")));
    EXPECT_EQ(alertTitles(), QStringList{QStringLiteral("About to discard unsaved changes")});
    EXPECT_NE(domain(QStringLiteral("a")), kept);
    EXPECT_EQ(selectedRow(), 0);
}

TEST_F(ExchangeCommands, ImportFileChoosesTheImportByExtension)
{
    storeDomain(QStringLiteral("a"), dictionaryOf(1));
    writeArchive(file(QStringLiteral("list.tamdoms")), true, {QStringLiteral("x"), QStringLiteral("y")});
    writeArchive(file(QStringLiteral("one.TAMDOM")), false, {QStringLiteral("z")});
    start();
    m_controller->importFile(file(QStringLiteral("list.tamdoms")));
    EXPECT_EQ(domainNames(), (QStringList{QStringLiteral("x"), QStringLiteral("y")}));
    m_controller->importFile(file(QStringLiteral("one.TAMDOM")));
    EXPECT_EQ(domainNames(), (QStringList{QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")}));
    EXPECT_EQ(selectedRow(), 2);
    EXPECT_TRUE(alertTitles().isEmpty());

    // A relative path is reported in full.
    QDir::setCurrent(m_files.path());
    m_controller->importFile(QStringLiteral("list.tamdom"));
    settle();
    ASSERT_EQ(TRAlert::shownAlerts().size(), 1);
    EXPECT_TRUE(TRAlert::shownAlerts()[0].message.contains(file(QStringLiteral("list.tamdom"))));
    QDir::setCurrent(QDir::rootPath());
}
