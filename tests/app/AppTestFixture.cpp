#include "AppTestFixture.h"

#include "TRDomainListModel.h"
#include "TRFileDialog.h"
#include "TRMainWindow.h"
#include "TRUndoManager.h"
#include "TRUrlOpener.h"
#include "plist/TRPropertyList.h"
#include "store/TRDefaultsStore.h"
#include "store/TRDomainHistory.h"
#include "store/TRPreferences.h"
#include "store/TRRecoveryStore.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeView>

namespace {

QTemporaryDir *g_folder = nullptr;

// Points the shared store at a private folder before anything uses it.
class StoreEnvironment final : public ::testing::Environment
{
public:
    void SetUp() override
    {
        g_folder = new QTemporaryDir();
        ASSERT_TRUE(g_folder->isValid());
        // A process another test started works on that test's folder.
        const QString given = qEnvironmentVariable("TAMRIX_TEST_STORE_DIR");
        TRDefaultsStore::setStandardFolder(given.isEmpty() ? g_folder->path() : given);
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override
    {
        delete g_folder;
        g_folder = nullptr;
    }
};

[[maybe_unused]] ::testing::Environment *const g_environment =
    ::testing::AddGlobalTestEnvironment(new StoreEnvironment);

} // namespace

void AppTest::SetUp()
{
    QDir folder(storeFolder());
    for (const QFileInfo &entry :
         folder.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
    }
    TRDefaultsStore::standard().synchronize();
    QDir(TRDomainHistory::defaultFolder()).removeRecursively();
    QDir(TRRecoveryStore::defaultFolder()).removeRecursively();
    setFollowing(false);
    TRAlert::setScripted(true);
    TRAlert::resetScript();
    TRSheetRunner::resetScript();
    TRFileDialog::setScripted(true);
    TRFileDialog::resetScript();
    TRUrlOpener::setScripted(true);
    TRUrlOpener::resetScript();
}

void AppTest::TearDown()
{
    stop();
    EXPECT_EQ(TRSheetRunner::pendingAnswers(), 0) << "a prepared sheet answer was not used";
    TRSheetRunner::resetScript();
    TRAlert::resetScript();
}

QString AppTest::storeFolder()
{
    return TRDefaultsStore::standard().folder();
}

QString AppTest::domainFile(const QString &name)
{
    return storeFolder() + QLatin1Char('/') + name + QStringLiteral(".plist");
}

void AppTest::storeDomain(const QString &name, const TRValue &contents)
{
    TRDefaultsStore &store = TRDefaultsStore::standard();
    QString error;
    ASSERT_TRUE(store.setPersistentDomain(contents, name, &error)) << error.toStdString();
    ASSERT_TRUE(store.synchronize(&error)) << error.toStdString();
}

TRValue AppTest::storedDomain(const QString &name)
{
    TRDefaultsStore::standard().synchronize();
    return TRDefaultsStore::standard().persistentDomainForName(name);
}

bool AppTest::storeHas(const QString &name)
{
    return QFile::exists(domainFile(name)) && !storedDomain(name).isNone();
}

TRValue AppTest::dictionaryOf(int keys)
{
    TRDictionary dictionary;
    for (int i = 0; i < keys; ++i)
        dictionary.insert(QStringLiteral("k%1").arg(i), TRValue::fromString(QStringLiteral("v%1").arg(i)));
    return TRValue::fromDictionary(std::move(dictionary));
}

void AppTest::startShowing(const QString &name, const TRValue &contents)
{
    storeDomain(name, contents);
    start();
    selectDomain(name);
}

void AppTest::setFollowing(bool follow)
{
    TRAppController::initialize();
    TRDictionary initial = TRPreferences::shared().initialValues().toDictionary();
    initial.insert(QString::fromLatin1(TRAppController::kFollowExternalChanges), TRValue::fromBool(follow));
    TRPreferences::shared().setInitialValues(TRValue::fromDictionary(std::move(initial)));
}

void AppTest::start()
{
    m_controller = std::make_unique<TRAppController>();
    m_interface = std::make_unique<TRMainInterface>(*m_controller);
    m_interface->show();
    settle();
}

void AppTest::stop()
{
    m_interface.reset();
    m_controller.reset();
}

void AppTest::settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

QAction *AppTest::action(const char *objectName) const
{
    return m_interface->mainWindow()->findChild<QAction *>(QString::fromLatin1(objectName));
}

void AppTest::trigger(const char *objectName)
{
    QAction *command = action(objectName);
    ASSERT_NE(command, nullptr) << objectName;
    command->trigger();
    settle();
    if (!m_controller)
        return;
    // What AutoSave has under way lands before the test looks at the store.
    m_controller->finishPendingWrites();
    // What AutoSave and the recovery files would write now is the tree, after every command of every test.
    for (const TRDomainControllerPtr &domain : m_controller->domains()) {
        const TRDomainController::Snapshot snapshot = domain->snapshot();
        if (snapshot.changed.empty() && !snapshot.reordered)
            continue;
        QByteArray composed, tree;
        ASSERT_TRUE(TRPropertyList::writeBinary(snapshot.contents(), &composed));
        ASSERT_TRUE(TRPropertyList::writeBinary(domain->rootKey()->databaseRepresentation(), &tree));
        EXPECT_EQ(composed, tree) << objectName << " in " << domain->name().toStdString();
    }
}

void AppTest::newDomain(const QString &name, int code)
{
    TRSheetRunner::setNextAnswer(code, [name](QDialog *sheet) {
        auto *field = sheet->findChild<QLineEdit *>(QStringLiteral("newDomainNameEdit"));
        ASSERT_NE(field, nullptr);
        field->setText(name);
    });
    trigger("actionNewDomain");
}

QStringList AppTest::domainNames() const
{
    QStringList names;
    const TRDomainListModel *model = m_controller->domainListModel();
    for (int row = 0; row < model->rowCount(); ++row)
        names.append(model->index(row, 1).data().toString());
    return names;
}

QString AppTest::cell(int row, const QString &identifier) const
{
    const TRDomainListModel *model = m_controller->domainListModel();
    const int column = static_cast<int>(model->columnIdentifiers().indexOf(identifier));
    return model->index(row, column).data().toString();
}

int AppTest::selectedRow() const
{
    const QModelIndexList rows = windowPart<QTableView>("domainListView")->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void AppTest::selectRow(int row)
{
    QTableView *list = windowPart<QTableView>("domainListView");
    list->selectionModel()->setCurrentIndex(list->model()->index(row, 0),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    settle();
}

QStringList AppTest::outlineRows() const
{
    QStringList names;
    const QAbstractItemModel *model = windowPart<QTreeView>("domainContentsView")->model();
    if (!model)
        return names;
    for (int row = 0; row < model->rowCount(); ++row)
        names.append(model->index(row, 0).data().toString());
    return names;
}

bool AppTest::outlineHasModel() const
{
    return windowPart<QTreeView>("domainContentsView")->model() != nullptr;
}

QStringList AppTest::undoNames() const
{
    return m_controller->undoManager()->undoActionNames();
}

QStringList AppTest::redoNames() const
{
    return m_controller->undoManager()->redoActionNames();
}

QStringList AppTest::alertTitles() const
{
    QStringList titles;
    for (const TRAlert::Shown &shown : TRAlert::shownAlerts())
        titles.append(shown.title);
    return titles;
}
