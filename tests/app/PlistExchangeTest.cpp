// Export Domain as Property List and Import Property List as Domain through the real main window: the
// files python3's plistlib reads, every format of the corpus, the name sheet, the question and refusals,
// and files dropped on the window.
#include "KeyTestSupport.h"
#include "TRFileDialog.h"
#include "TRMainWindow.h"
#include "TRUndoManager.h"
#include "TestSupport.h"
#include "plist/TRPropertyList.h"

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

namespace {

const QString kDomain = QStringLiteral("org.example.plist");

TRValue sample()
{
    TRDictionary inner;
    inner.insert(QStringLiteral("when"), TRValue::fromDate(600000000.0));
    inner.insert(QStringLiteral("blob"), TRValue::fromData(QByteArray("\x00\xff", 2)));
    TRDictionary top;
    top.insert(QStringLiteral("name"), TRValue::fromString(QString::fromUtf8("gr\xc3\xbc\xc3\x9f")));
    top.insert(QStringLiteral("list"),
               TRValue::fromArray({TRValue::fromInteger(3), TRValue::fromReal(2.5), TRValue::fromBool(true),
                                   TRValue::fromDictionary(inner)}));
    return TRValue::fromDictionary(std::move(top));
}

QString corpus(const char *relative)
{
    return QStringLiteral(TAMRIX_SOURCE_DIR "/fuzz/plist/seeds/") + QString::fromLatin1(relative);
}

class PlistExchange : public KeyTest
{
protected:
    void SetUp() override
    {
        KeyTest::SetUp();
        ASSERT_TRUE(m_files.isValid());
    }
    QString file(const QString &name) const { return m_files.filePath(name); }

    void exportAs(const QString &path, int filter)
    {
        TRFileDialog::setNextFileName(path, filter);
        trigger("actionExportDomainAsPropertyList");
        settle();
    }
    // Import Property List as Domain with the name typed into the name sheet (code 0: cancelled).
    void import(const QString &path, const QString &name, int code = 1)
    {
        TRFileDialog::setNextFileName(path);
        answerName(name, code);
        trigger("actionImportPropertyListAsDomain");
        settle();
    }
    static void answerName(const QString &name, int code = 1)
    {
        TRSheetRunner::setNextAnswer(code, [name](QDialog *sheet) {
            auto *field = sheet->findChild<QLineEdit *>(QStringLiteral("nameEdit"));
            if (!name.isNull())
                field->setText(name);
        });
    }

    QTemporaryDir m_files;
};

} // namespace

TEST_F(PlistExchange, ExportIsReadByPlistlibInBothFormats)
{
    startShowing(kDomain, sample());
    // An unsaved change goes into the file; nothing in memory changes.
    selectKey({QStringLiteral("name")});
    deleteSelectedKey();
    TRAlert::resetScript();
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    for (const int filter : {0, 1}) {
        SCOPED_TRACE(filter);
        const QString path = file(QStringLiteral("out%1").arg(filter));
        exportAs(path, filter);
        EXPECT_TRUE(alertTitles().isEmpty());
        // The default suffix is added to a name typed without one.
        const QByteArray bytes = testsupport::readFile(path + QStringLiteral(".plist"));
        EXPECT_EQ(bytes.startsWith("bplist00"), filter == 1);
        EXPECT_EQ(bytes.startsWith("<?xml"), filter == 0);
        EXPECT_TRUE(domain(kDomain)->modified());
        if (python.isEmpty())
            continue;
        QProcess process;
        process.start(python, {QStringLiteral("-c"), QStringLiteral(R"(
import datetime, plistlib, sys
d = plistlib.load(open(sys.argv[1], "rb"))
expected = {"list": [3, 2.5, True, {"when": datetime.datetime(2020, 1, 6, 10, 40), "blob": b"\x00\xff"}]}
sys.exit(0 if d == expected and list(d["list"][3]) == ["when", "blob"] else print(d) or 1)
)"),
                               path + QStringLiteral(".plist")});
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 0)
            << process.readAllStandardOutput().toStdString() << process.readAllStandardError().toStdString();
    }
}

TEST_F(PlistExchange, ExportRefusesXmlForTextXmlCannotCarry)
{
    TRDictionary top;
    top.insert(QStringLiteral("bell"), TRValue::fromString(QStringLiteral("\a")));
    startShowing(kDomain, TRValue::fromDictionary(std::move(top)));
    exportAs(file(QStringLiteral("xml.plist")), 0);
    EXPECT_EQ(alertTitles(), QStringList{QStringLiteral("Export error")});
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("xml.plist"))));
    exportAs(file(QStringLiteral("binary.plist")), 1);
    EXPECT_EQ(alertTitles().size(), 1);
    EXPECT_TRUE(QFile::exists(file(QStringLiteral("binary.plist"))));
}

TEST_F(PlistExchange, ImportsEveryFormatOfTheCorpusAsAModifiedDomain)
{
    start();
    const struct
    {
        const char *file;
        QString name;
    } cases[] = {
        {"xml/3breadt__test1.plist", QStringLiteral("from.xml")},
        {"binary/3breadt__test1-binary.plist", QStringLiteral("from.binary")},
        {"openstep/3breadt__test1-ascii.plist", QStringLiteral("from.openstep")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        TRValue expected;
        QString error;
        ASSERT_TRUE(TRPropertyList::read(testsupport::readFile(corpus(c.file)), &expected, nullptr, &error))
            << error.toStdString();
        import(corpus(c.file), c.name);
        EXPECT_TRUE(alertTitles().isEmpty());
        ASSERT_NE(domain(c.name), nullptr);
        EXPECT_EQ(domain(c.name)->databaseRepresentation(), expected);
        EXPECT_TRUE(domain(c.name)->modified());
        EXPECT_EQ(m_controller->currentDomain(), domain(c.name));
        EXPECT_FALSE(storeHas(c.name));
    }
    // The name sheet offers the file's name without its extension.
    import(corpus("xml/3breadt__test1.plist"), QString(), 0);
    EXPECT_EQ(mainWindow()->findChild<QLineEdit *>(QStringLiteral("nameEdit"))->text(),
              QStringLiteral("3breadt__test1"));
    EXPECT_EQ(domainNames().size(), 3);
}

TEST_F(PlistExchange, RefusesWhatIsNoDomainAndAsksBeforeReplacingChanges)
{
    const QString garbage = file(QStringLiteral("garbage.plist"));
    const QString array = file(QStringLiteral("array.plist"));
    for (const auto &[path, bytes] :
         {std::pair{garbage, QByteArray("not a property list {")}, std::pair{array, QByteArray("(1, 2)")}}) {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
    }
    startShowing(kDomain, sample());
    selectKey({QStringLiteral("name")});
    deleteSelectedKey();
    const TRValue edited = rootValue();
    const struct
    {
        QString path;
        QString name;
        int answer; // to the question, when there is one
        QStringList alerts;
    } cases[] = {
        {garbage, QStringLiteral("x"), TRAlert::kDefault, {QStringLiteral("Import error")}},
        {array, QStringLiteral("x"), TRAlert::kDefault, {QStringLiteral("Import error")}},
        {file(QStringLiteral("missing.plist")),
         QStringLiteral("x"),
         TRAlert::kDefault,
         {QStringLiteral("Import error")}},
        {corpus("xml/3breadt__test1.plist"),
         QString(),
         TRAlert::kDefault,
         {QStringLiteral("Empty domain name")}},
        {corpus("xml/3breadt__test1.plist"),
         QStringLiteral("a/b"),
         TRAlert::kDefault,
         {QStringLiteral("Invalid domain name")}},
        // The loaded domain of that name has unsaved changes: Cancel keeps them.
        {corpus("xml/3breadt__test1.plist"),
         kDomain,
         TRAlert::kDefault,
         {QStringLiteral("About to discard unsaved changes")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.toStdString() + " as " + c.name.toStdString());
        TRAlert::resetScript();
        TRAlert::setNextAnswer(c.answer);
        TRFileDialog::setNextFileName(c.path);
        TRSheetRunner::setNextAnswer(1, [name = c.name](QDialog *sheet) {
            sheet->findChild<QLineEdit *>(QStringLiteral("nameEdit"))->setText(name);
        });
        trigger("actionImportPropertyListAsDomain");
        settle();
        TRSheetRunner::resetScript();
        EXPECT_EQ(alertTitles(), c.alerts);
        EXPECT_EQ(domainNames(), QStringList{kDomain});
        EXPECT_EQ(domain(kDomain)->databaseRepresentation(), edited);
        EXPECT_FALSE(undoNames().isEmpty());
    }
    // Import replaces it; the undo history starts afresh.
    TRAlert::setNextAnswer(TRAlert::kAlternate);
    import(corpus("xml/3breadt__test1.plist"), kDomain);
    EXPECT_EQ(keysOf(domain(kDomain)->databaseRepresentation()).first(), QStringLiteral("keyA"));
    EXPECT_TRUE(undoNames().isEmpty());
}

TEST_F(PlistExchange, DroppedFilesAreImportedByTheirKind)
{
    start();
    QWidget *window = m_interface->mainWindow();
    const auto drop = [window](const QString &path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &dropped);
        EXPECT_TRUE(dropped.isAccepted());
        settle();
    };
    answerName(QStringLiteral("dropped"));
    drop(corpus("binary/3breadt__test1-binary.plist"));
    ASSERT_NE(domain(QStringLiteral("dropped")), nullptr);
    EXPECT_TRUE(alertTitles().isEmpty());

    // Not a property list: a clear message, nothing changes.
    const QString text = file(QStringLiteral("notes.plist"));
    QFile out(text);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write("<html>") == 6);
    out.close();
    drop(text);
    EXPECT_EQ(alertTitles(), QStringList{QStringLiteral("Import error")});
    EXPECT_FALSE(TRAlert::shownAlerts().first().detailedText.isEmpty());
    EXPECT_EQ(domainNames(), QStringList{QStringLiteral("dropped")});

    // An exchange file goes to the exchange import.
    const QString exchange = file(QStringLiteral("one.tamdom"));
    TRFileDialog::setNextFileName(exchange);
    trigger("actionExportDomain");
    TRAlert::resetScript();
    TRAlert::setNextAnswer(TRAlert::kAlternate);
    trigger("actionDeleteDomain");
    settle();
    ASSERT_TRUE(domainNames().isEmpty());
    drop(exchange);
    EXPECT_EQ(domainNames(), QStringList{QStringLiteral("dropped")});
    EXPECT_EQ(alertTitles(), QStringList{QStringLiteral("About to delete a domain")});
}
