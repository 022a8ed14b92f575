// Rename key, Copy key path and the key status through the real main window.
#include "KeyTestSupport.h"
#include "TRMainWindow.h"
#include "TRUndoManager.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QStatusBar>

using namespace Qt::StringLiterals;

namespace {

const QString kDomain = QStringLiteral("org.example.rename");

TRValue sample()
{
    TRDictionary inner;
    inner.insert(QStringLiteral("x"), TRValue::fromInteger(1));
    inner.insert(QStringLiteral("a/b"), TRValue::fromData(QByteArray("abc")));
    TRDictionary top;
    top.insert(QStringLiteral("a"), TRValue::fromString(QStringLiteral("first")));
    top.insert(QStringLiteral("d"), TRValue::fromDictionary(std::move(inner)));
    top.insert(QStringLiteral("l"), TRValue::fromArray({TRValue::fromString(QStringLiteral("l0")),
                                                        TRValue::fromString(QStringLiteral("zwei"))}));
    return TRValue::fromDictionary(std::move(top));
}

class RenameKey : public KeyTest
{
protected:
    void SetUp() override
    {
        KeyTest::SetUp();
        startShowing(kDomain, sample());
    }

    void rename(const QString &name, int code = 1)
    {
        TRSheetRunner::setNextAnswer(code, [name](QDialog *sheet) {
            sheet->findChild<QLineEdit *>(QStringLiteral("nameEdit"))->setText(name);
        });
        trigger("actionRenameKey");
    }
    QString status() const
    {
        return m_interface->mainWindow()->findChild<QLabel *>(QStringLiteral("keyStatusLabel"))->text();
    }
};

} // namespace

TEST_F(RenameKey, RenamesInPlaceAsOneUndoStep)
{
    selectKey({QStringLiteral("d")});
    EXPECT_EQ(action("actionRenameKey")->shortcut(), QKeySequence(Qt::Key_F2));
    rename(QStringLiteral("renamed"));
    // Same place, same contents, and the row stays selected.
    EXPECT_EQ(keysOf(rootValue()), (QStringList{u"a"_s, u"renamed"_s, u"l"_s}));
    EXPECT_EQ(rootValue().toDictionary().value(QStringLiteral("renamed")),
              sample().toDictionary().value(u"d"_s));
    EXPECT_EQ(m_controller->selectedKey()->nameDescription(), QStringLiteral("renamed"));
    EXPECT_TRUE(domain(kDomain)->modified());
    EXPECT_EQ(undoNames(), QStringList{QStringLiteral("Rename key")});

    trigger("actionUndo");
    EXPECT_EQ(rootValue(), sample());
    EXPECT_EQ(redoNames(), QStringList{QStringLiteral("Rename key")});
    trigger("actionRedo");
    EXPECT_EQ(keysOf(rootValue()), (QStringList{u"a"_s, u"renamed"_s, u"l"_s}));
    EXPECT_EQ(undoNames(), QStringList{QStringLiteral("Rename key")});
}

TEST_F(RenameKey, RefusesEmptyAndTakenNamesAndListElements)
{
    selectKey({QStringLiteral("a")});
    const struct
    {
        QString name;
        int code;
        QStringList alerts;
    } cases[] = {
        {QString(), 1, {QStringLiteral("Empty key name")}},
        {QStringLiteral("d"), 1, {QStringLiteral("Key exists")}},
        // The same name, or a cancel: nothing at all.
        {QStringLiteral("a"), 1, {}},
        {QStringLiteral("other"), 0, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        TRAlert::resetScript();
        rename(c.name, c.code);
        settle();
        EXPECT_EQ(alertTitles(), c.alerts);
        EXPECT_EQ(rootValue(), sample());
        EXPECT_FALSE(domain(kDomain)->modified());
        EXPECT_TRUE(undoNames().isEmpty());
    }
    // Names compare exactly: "A" beside "a" is another name.
    rename(QStringLiteral("A"));
    EXPECT_EQ(keysOf(rootValue()), (QStringList{u"A"_s, u"d"_s, u"l"_s}));

    // A list element has no name of its own to change.
    selectKey({QStringLiteral("l"), QStringLiteral("Item #1")});
    EXPECT_FALSE(action("actionRenameKey")->isEnabled());
    const int pending = TRSheetRunner::pendingAnswers();
    m_controller->renameKey();
    EXPECT_EQ(TRSheetRunner::pendingAnswers(), pending);
    EXPECT_EQ(rootValue().toDictionary().value(u"l"_s), sample().toDictionary().value(u"l"_s));
}

TEST_F(RenameKey, KeyPathIsCopiedAndShownWithKindAndSize)
{
    const struct
    {
        QStringList rows;
        QString path;
        QString status;
    } cases[] = {
        {{u"a"_s}, u"a"_s, QString::fromUtf8("a \u00b7 String \u00b7 5 characters")},
        {{u"d"_s}, u"d"_s, QString::fromUtf8("d \u00b7 Dictionary \u00b7 2 sub-items")},
        {{u"d"_s, u"a/b"_s}, u"d/a\\/b"_s, QString::fromUtf8("d/a\\/b \u00b7 Binary \u00b7 3 bytes")},
        {{u"d"_s, u"x"_s}, u"d/x"_s, QString::fromUtf8("d/x \u00b7 Number")},
        {{u"l"_s, u"Item #1"_s}, u"l/1"_s, QString::fromUtf8("l/1 \u00b7 String \u00b7 4 characters")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        selectKey(c.rows);
        trigger("actionCopyKeyPath");
        EXPECT_EQ(QApplication::clipboard()->text(), c.path);
        EXPECT_EQ(status(), c.status);
    }
    outline()->selectionModel()->clearSelection();
    settle();
    EXPECT_EQ(status(), QString());
    EXPECT_FALSE(action("actionCopyKeyPath")->isEnabled());
}
