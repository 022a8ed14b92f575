// Cut, Copy, Paste and Duplicate of keys through the real main window: every kind of value through the
// clipboard's XML text, fragments other programs write, the naming of pasted keys, where pasted keys go,
// one undo step per command, a clipboard without a property list, and the keys only in the outline.
#include "KeyTestSupport.h"
#include "TRKeyPlistFragment.h"
#include "TRMainWindow.h"
#include "TRUndoManager.h"
#include "plist/TRPropertyList.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>

namespace {

const QString kSource = QStringLiteral("org.example.source");
const QString kTarget = QStringLiteral("org.example.target");

// One key of every kind the store holds.
TRValue everyKind()
{
    TRDictionary inner;
    inner.insert(QStringLiteral("deep"),
                 TRValue::fromArray({TRValue::fromInteger(1), str(QStringLiteral("x"))}));
    TRDictionary all;
    all.insert(QStringLiteral("string"), str(QStringLiteral("caf\u00e9 <&> ]]> \"q\"")));
    all.insert(QStringLiteral("empty"), str(QString()));
    all.insert(QStringLiteral("integer"), TRValue::fromInteger(-42));
    all.insert(QStringLiteral("unsigned"), TRValue::fromUnsigned(18446744073709551615ULL));
    all.insert(QStringLiteral("real"), TRValue::fromReal(0.1));
    all.insert(QStringLiteral("true"), TRValue::fromBool(true));
    all.insert(QStringLiteral("false"), TRValue::fromBool(false));
    all.insert(QStringLiteral("date"), TRValue::fromDate(725943845.0));
    all.insert(QStringLiteral("data"), TRValue::fromData(QByteArray("\x00\x01\xff", 3)));
    all.insert(QStringLiteral("array"),
               TRValue::fromArray({str(QStringLiteral("a")), TRValue::fromArray({})}));
    all.insert(QStringLiteral("dictionary"), TRValue::fromDictionary(std::move(inner)));
    all.insert(QStringLiteral("name\twith <markup>"), TRValue::fromDictionary({}));
    return TRValue::fromDictionary(std::move(all));
}

QClipboard *clipboard()
{
    return QGuiApplication::clipboard();
}

void setClipboardText(const QString &text)
{
    auto *data = new QMimeData;
    data->setText(text);
    clipboard()->setMimeData(data);
}

// Only the plain text of what is on the clipboard, as a text editor would pass it on.
void keepClipboardTextOnly()
{
    setClipboardText(clipboard()->mimeData()->text());
}

class Clipboard : public KeyTest
{
protected:
    void SetUp() override
    {
        KeyTest::SetUp();
        clipboard()->clear();
    }
    void selectTopLevel(const QStringList &names)
    {
        outline()->selectionModel()->clear();
        for (const QString &name : names)
            outline()->selectionModel()->select(indexOf({name}),
                                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
        outline()->selectionModel()->setCurrentIndex(indexOf({names.first()}), QItemSelectionModel::NoUpdate);
        settle();
    }
};

} // namespace

TEST_F(Clipboard, EveryKindSurvivesTheXmlTextAndThePrivateForm)
{
    storeDomain(kSource, everyKind());
    start();
    newDomain(kTarget);
    const TRValue kinds = everyKind();
    const TRDictionary &all = kinds.toDictionary();
    for (const bool textOnly : {true, false}) {
        for (const TRDictionary::Entry &entry : all) {
            SCOPED_TRACE(entry.first.toStdString() + (textOnly ? " as text" : " as copied"));
            selectDomain(kSource);
            selectKey({entry.first});
            trigger("actionCopyKeys");
            const QMimeData *copied = clipboard()->mimeData();
            ASSERT_TRUE(copied->hasFormat(QStringLiteral("application/x-plist")));
            EXPECT_EQ(copied->data(QStringLiteral("application/x-plist")), copied->text().toUtf8());
            if (textOnly)
                keepClipboardTextOnly();
            selectDomain(kTarget);
            outline()->selectionModel()->clear();
            trigger("actionPasteKeys");
            EXPECT_EQ(contents(kTarget).toDictionary().value(entry.first), entry.second);
            trigger("actionUndo");
            EXPECT_TRUE(contents(kTarget).toDictionary().isEmpty());
        }
    }
    // Several keys at once, into the domain they came from: copies beside them.
    selectDomain(kSource);
    selectTopLevel({QStringLiteral("data"), QStringLiteral("string")});
    trigger("actionCopyKeys");
    keepClipboardTextOnly();
    trigger("actionPasteKeys");
    EXPECT_EQ(contents(kSource).toDictionary().value(QStringLiteral("string copy")),
              all.value(QStringLiteral("string")));
    EXPECT_EQ(contents(kSource).toDictionary().value(QStringLiteral("data copy")),
              all.value(QStringLiteral("data")));
    EXPECT_EQ(undoNames().first(), QStringLiteral("Paste"));
    // The pasted keys are selected.
    EXPECT_EQ(m_controller->selectedKeys().size(), 2U);
}

TEST_F(Clipboard, FragmentsOfOtherProgramsPaste)
{
    startShowing(kTarget, TRValue::fromDictionary({}));

    // A whole document written by python3's plistlib.
    QFile file(QStringLiteral(TAMRIX_TEST_DATA_DIR "/clipboard/plistlib-fragment.plist"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    setClipboardText(QString::fromUtf8(file.readAll()));
    trigger("actionPasteKeys");
    const TRDictionary pasted = contents(kTarget).toDictionary();
    EXPECT_EQ(keysOf(contents(kTarget)),
              (QStringList{QStringLiteral("text"), QStringLiteral("empty"), QStringLiteral("integer"),
                           QStringLiteral("big"), QStringLiteral("real"), QStringLiteral("yes"),
                           QStringLiteral("no"), QStringLiteral("date"), QStringLiteral("data"),
                           QStringLiteral("list"), QStringLiteral("nested")}));
    EXPECT_EQ(pasted.value(QStringLiteral("text")), str(QStringLiteral("caf\u00e9 <&> \"q\"")));
    EXPECT_EQ(pasted.value(QStringLiteral("big")), TRValue::fromInteger(9223372036854775807LL));
    EXPECT_EQ(pasted.value(QStringLiteral("yes")), TRValue::fromBool(true));
    EXPECT_EQ(pasted.value(QStringLiteral("date")).description(),
              QStringLiteral("2024-01-02 03:04:05 +0000"));
    EXPECT_EQ(pasted.value(QStringLiteral("data")).toData(), QByteArray::fromHex("000162696e617279ff"));
    EXPECT_EQ(pasted.value(QStringLiteral("list")).toArray().at(2).toArray().at(0), TRValue::fromReal(3.0));
    EXPECT_EQ(pasted.value(QStringLiteral("nested")).toDictionary().value(QStringLiteral("inner")),
              TRValue::fromDictionary([] {
                  TRDictionary deep;
                  deep.insert(QStringLiteral("deep"), str(QStringLiteral("x")));
                  return deep;
              }()));
    EXPECT_EQ(undoNames(), QStringList{QStringLiteral("Paste")});

    // Pieces cut out of a document, and OpenStep text: what each adds at the top level.
    const struct
    {
        const char *text;
        QStringList names;
        TRValue last;
    } pieces[] = {
        {"<string>one value</string>", {QStringLiteral("new key")}, str(QStringLiteral("one value"))},
        {"\n\t<key>k</key>\n\t<integer>7</integer>\n\t<key>m</key><true/>\n",
         {QStringLiteral("k"), QStringLiteral("m")},
         TRValue::fromBool(true)},
        {"<integer>1</integer><integer>2</integer>",
         {QStringLiteral("new key copy"), QStringLiteral("new key copy 2")},
         TRValue::fromInteger(2)},
        {"<array><integer>1</integer></array>",
         {QStringLiteral("new key copy 3")},
         TRValue::fromArray({TRValue::fromInteger(1)})},
        {"{ o = \"open step\"; }", {QStringLiteral("o")}, str(QStringLiteral("open step"))},
    };
    for (const auto &piece : pieces) {
        SCOPED_TRACE(piece.text);
        const QStringList before = keysOf(contents(kTarget));
        setClipboardText(QString::fromUtf8(piece.text));
        trigger("actionPasteKeys");
        const QStringList after = keysOf(contents(kTarget));
        EXPECT_EQ(after.mid(before.size()), piece.names);
        EXPECT_EQ(contents(kTarget).toDictionary().value(after.last()), piece.last);
    }
}

TEST_F(Clipboard, PastedNamesNeverReplaceAKey)
{
    // Existing keys, the names on the clipboard, the names the pasted keys get.
    const struct
    {
        QStringList existing;
        QStringList pasted;
        QStringList expected;
    } rows[] = {
        {{}, {QStringLiteral("a")}, {QStringLiteral("a")}},
        {{QStringLiteral("a")}, {QStringLiteral("a")}, {QStringLiteral("a copy")}},
        {{QStringLiteral("a"), QStringLiteral("a copy")},
         {QStringLiteral("a")},
         {QStringLiteral("a copy 2")}},
        {{QStringLiteral("a"), QStringLiteral("a copy"), QStringLiteral("a copy 2")},
         {QStringLiteral("a"), QStringLiteral("a copy")},
         {QStringLiteral("a copy 3"), QStringLiteral("a copy copy")}},
        {{QStringLiteral("A")}, {QStringLiteral("a")}, {QStringLiteral("a")}},
        {{QStringLiteral("")}, {QStringLiteral("")}, {QStringLiteral(" copy")}},
    };
    start();
    for (const auto &row : rows) {
        SCOPED_TRACE(row.existing.join(QLatin1Char(',')).toStdString());
        TRDictionary existing;
        for (const QString &name : row.existing)
            existing.insert(name, TRValue::fromInteger(0));
        TRDictionary pasted;
        for (const QString &name : row.pasted)
            pasted.insert(name, TRValue::fromInteger(1));
        const QString name = QStringLiteral("d%1").arg(domainNames().size());
        newDomain(name);
        selectDomain(name);
        TRKeyPlistFragment fragment;
        for (const TRDictionary::Entry &entry : existing)
            fragment.items.push_back({true, entry.first, entry.second});
        m_controller->insertFragment(domain(name)->rootKey(), -1, fragment, QStringLiteral("setup"));
        QByteArray xml;
        ASSERT_TRUE(TRPropertyList::writeXml(TRValue::fromDictionary(std::move(pasted)), &xml));
        setClipboardText(QString::fromUtf8(xml));
        trigger("actionPasteKeys");
        EXPECT_EQ(keysOf(contents(name)), row.existing + row.expected);
    }
}

TEST_F(Clipboard, PasteGoesWhereNewKeyGoesAndAfterTheSelectedElement)
{
    TRDictionary top;
    top.insert(QStringLiteral("d"), TRValue::fromDictionary({}));
    top.insert(QStringLiteral("l"),
               TRValue::fromArray({str(QStringLiteral("l0")), str(QStringLiteral("l1"))}));
    startShowing(kSource, TRValue::fromDictionary(std::move(top)));
    auto list = [this] { return contents(kSource).toDictionary().value(QStringLiteral("l")).toArray(); };

    setClipboardText(QStringLiteral("<string>p</string>"));
    // A collapsed dictionary: beside it. Expanded: into it.
    selectKey({QStringLiteral("d")});
    trigger("actionPasteKeys");
    EXPECT_TRUE(contents(kSource).toDictionary().contains(QStringLiteral("new key")));
    outline()->expand(indexOf({QStringLiteral("d")}));
    selectKey({QStringLiteral("d")});
    trigger("actionPasteKeys");
    EXPECT_EQ(contents(kSource)
                  .toDictionary()
                  .value(QStringLiteral("d"))
                  .toDictionary()
                  .value(QStringLiteral("new key")),
              str(QStringLiteral("p")));

    // In a list: after the selected element, then at the end of the expanded list; positions renumbered.
    outline()->expand(indexOf({QStringLiteral("l")}));
    selectKey({QStringLiteral("l"), QStringLiteral("Item #0")});
    setClipboardText(QStringLiteral("<string>a</string><string>b</string>"));
    trigger("actionPasteKeys");
    EXPECT_EQ(list(), (TRArray{str(QStringLiteral("l0")), str(QStringLiteral("a")), str(QStringLiteral("b")),
                               str(QStringLiteral("l1"))}));
    EXPECT_EQ(model()->rowCount(indexOf({QStringLiteral("l")})), 4);
    EXPECT_EQ(model()->index(3, 0, indexOf({QStringLiteral("l")})).data().toString(),
              QStringLiteral("Item #3"));
    selectKey({QStringLiteral("l")});
    setClipboardText(QStringLiteral("<dict><key>named</key><integer>9</integer></dict>"));
    trigger("actionPasteKeys");
    EXPECT_EQ(list().last(), TRValue::fromInteger(9));

    // Each paste is one step; undo gives the list back in its order.
    trigger("actionUndo");
    trigger("actionUndo");
    EXPECT_EQ(list(), (TRArray{str(QStringLiteral("l0")), str(QStringLiteral("l1"))}));
    EXPECT_EQ(undoNames(), (QStringList{QStringLiteral("Paste"), QStringLiteral("Paste")}));
    trigger("actionRedo");
    EXPECT_EQ(list().size(), 4);
    EXPECT_EQ(redoNames(), QStringList{QStringLiteral("Paste")});
}

TEST_F(Clipboard, CutAndDuplicateAreOneStepEach)
{
    TRDictionary top;
    top.insert(QStringLiteral("a"), str(QStringLiteral("x")));
    top.insert(QStringLiteral("b"), TRValue::fromDictionary({}));
    top.insert(QStringLiteral("l"), TRValue::fromArray({str(QStringLiteral("l0")), str(QStringLiteral("l1")),
                                                        str(QStringLiteral("l2"))}));
    startShowing(kSource, TRValue::fromDictionary(std::move(top)));
    const TRValue before = contents(kSource);

    selectTopLevel({QStringLiteral("a"), QStringLiteral("b")});
    trigger("actionDuplicateKeys");
    EXPECT_EQ(keysOf(contents(kSource)),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("l"),
                           QStringLiteral("a copy"), QStringLiteral("b copy")}));
    outline()->expand(indexOf({QStringLiteral("l")}));
    selectKey({QStringLiteral("l"), QStringLiteral("Item #1")});
    trigger("actionDuplicateKeys");
    EXPECT_EQ(contents(kSource).toDictionary().value(QStringLiteral("l")).toArray(),
              (TRArray{str(QStringLiteral("l0")), str(QStringLiteral("l1")), str(QStringLiteral("l1")),
                       str(QStringLiteral("l2"))}));

    // Cut of the first and the last element: the others keep their order, and undo puts all back.
    outline()->selectionModel()->clear();
    const QModelIndex list = indexOf({QStringLiteral("l")});
    for (const int row : {0, 3})
        outline()->selectionModel()->select(model()->index(row, 0, list),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    trigger("actionCutKeys");
    EXPECT_EQ(contents(kSource).toDictionary().value(QStringLiteral("l")).toArray(),
              (TRArray{str(QStringLiteral("l1")), str(QStringLiteral("l1"))}));
    EXPECT_EQ(undoNames(),
              (QStringList{QStringLiteral("Cut"), QStringLiteral("Duplicate"), QStringLiteral("Duplicate")}));
    // What was cut is on the clipboard, as a list of the two values.
    TRValue cut;
    ASSERT_TRUE(TRPropertyList::read(clipboard()->mimeData()->text().toUtf8(), &cut));
    EXPECT_EQ(cut, TRValue::fromArray({str(QStringLiteral("l0")), str(QStringLiteral("l2"))}));

    for (int i = 0; i < 3; ++i)
        trigger("actionUndo");
    EXPECT_EQ(contents(kSource), before);
    EXPECT_EQ(redoNames(),
              (QStringList{QStringLiteral("Duplicate"), QStringLiteral("Duplicate"), QStringLiteral("Cut")}));
    for (int i = 0; i < 3; ++i)
        trigger("actionRedo");
    EXPECT_EQ(keysOf(contents(kSource)).size(), 5);
    EXPECT_EQ(contents(kSource).toDictionary().value(QStringLiteral("l")).toArray().size(), 2);
}

TEST_F(Clipboard, WhatIsNoPropertyListChangesNothing)
{
    startShowing(kSource, dictionaryOf(2));
    const QList<QByteArray> bad = {"just words",        "",       "<dict><key>a</key>",
                                   "<string>a</strin>", "{ a = ", "bplist00 broken"};
    for (const QByteArray &text : bad) {
        SCOPED_TRACE(text.toStdString());
        TRAlert::resetScript();
        setClipboardText(QString::fromUtf8(text));
        trigger("actionPasteKeys");
        ASSERT_EQ(alertTitles(), QStringList{QStringLiteral("Cannot paste")});
        EXPECT_FALSE(TRAlert::shownAlerts().first().detailedText.isEmpty());
    }
    clipboard()->clear();
    trigger("actionPasteKeys");
    EXPECT_EQ(contents(kSource), dictionaryOf(2));
    EXPECT_FALSE(domain(kSource)->modified());
    EXPECT_TRUE(undoNames().isEmpty());
}

TEST_F(Clipboard, AValueXmlCannotCarryTravelsAsBinaryAndTheDomainSavesAsBinary)
{
    TRDictionary top;
    top.insert(QStringLiteral("control"), str(QStringLiteral("bell\u0007")));
    storeDomain(kSource, TRValue::fromDictionary(std::move(top)));
    start();
    newDomain(kTarget);
    selectDomain(kSource);
    selectKey({QStringLiteral("control")});
    trigger("actionCopyKeys");
    EXPECT_FALSE(clipboard()->mimeData()->hasText());
    EXPECT_TRUE(clipboard()->mimeData()->data(QStringLiteral("application/x-plist")).startsWith("bplist00"));
    // Without the private form too.
    auto *plistOnly = new QMimeData;
    plistOnly->setData(QStringLiteral("application/x-plist"),
                       clipboard()->mimeData()->data(QStringLiteral("application/x-plist")));
    clipboard()->setMimeData(plistOnly);
    selectDomain(kTarget);
    trigger("actionPasteKeys");
    trigger("actionSaveDomain");
    QFile saved(domainFile(kTarget));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().startsWith("bplist00"));
    EXPECT_EQ(storedDomain(kTarget).toDictionary().value(QStringLiteral("control")),
              str(QStringLiteral("bell\u0007")));
}

TEST_F(Clipboard, TheKeysActOnKeysOnlyInTheOutline)
{
    startShowing(kSource, dictionaryOf(2));
    m_interface->mainWindow()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_interface->mainWindow()));
    selectKey({QStringLiteral("k0")});

    QLineEdit *field = windowPart<QLineEdit>("keySearchField");
    field->setFocus();
    field->setText(QStringLiteral("typed"));
    field->selectAll();
    QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard()->text(), QStringLiteral("typed"));
    QTest::keyClick(field, Qt::Key_D, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    settle();
    EXPECT_EQ(contents(kSource), dictionaryOf(2));

    outline()->setFocus();
    QTest::keyClick(outline(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(clipboard()->mimeData()->hasFormat(QStringLiteral("application/x-plist")));
    QTest::keyClick(outline(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(outline(), Qt::Key_D, Qt::ControlModifier);
    settle();
    EXPECT_EQ(keysOf(contents(kSource)),
              (QStringList{QStringLiteral("k0"), QStringLiteral("k1"), QStringLiteral("k0 copy"),
                           QStringLiteral("k0 copy copy")}));
}
