#include "AppTestFixture.h"
#include "TRMainWindow.h"
#include "TRUndoManager.h"
#include "store/TRDefaultsStore.h"
#include "store/TRPreferences.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>

using MainWindow = AppTest;

namespace {

TRDomainEnvelopePtr envelope(const QString &name, const TRValue &contents)
{
    return std::make_shared<TRDomainEnvelope>(name, contents);
}

} // namespace

TEST_F(MainWindow, EmptyStoreShowsNothingAndQuitsWithoutAsking)
{
    start();
    EXPECT_TRUE(domainNames().isEmpty());
    EXPECT_FALSE(outlineHasModel());
    EXPECT_TRUE(m_interface->mainWindow()->isVisible());
    EXPECT_TRUE(m_interface->mainWindow()->windowTitle().contains(QStringLiteral("Tamrix")));
    trigger("actionQuit");
    EXPECT_TRUE(alertTitles().isEmpty());
    EXPECT_TRUE(m_controller->hasTerminated());
    EXPECT_FALSE(m_interface->mainWindow()->isVisible());
}

TEST_F(MainWindow, SelectionChoosesTheOutlinedDomain)
{
    storeDomain(QStringLiteral("a"), dictionaryOf(2));
    storeDomain(QStringLiteral("b"), dictionaryOf(3));
    start();
    ASSERT_EQ(domainNames(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    // Nothing is selected at start: the outline shows no domain.
    EXPECT_EQ(m_controller->currentDomain(), nullptr);
    selectRow(1);
    ASSERT_NE(m_controller->currentDomain(), nullptr);
    EXPECT_EQ(m_controller->currentDomain()->name(), QStringLiteral("b"));
    EXPECT_EQ(outlineRows(), (QStringList{QStringLiteral("k0"), QStringLiteral("k1"), QStringLiteral("k2")}));
    selectRow(0);
    EXPECT_EQ(outlineRows(), (QStringList{QStringLiteral("k0"), QStringLiteral("k1")}));
    windowPart<QTableView>("domainListView")->clearSelection();
    settle();
    EXPECT_FALSE(outlineHasModel());
    EXPECT_EQ(m_controller->currentDomain(), nullptr);
}

TEST_F(MainWindow, RepeatedAwakeChangesNothing)
{
    storeDomain(QStringLiteral("a"), dictionaryOf(1));
    start();
    QDialog *sheet = m_controller->sheets().newDomainSheet;
    ASSERT_NE(sheet, nullptr);
    ASSERT_NE(m_controller->sheets().preferencesWindow, nullptr);
    storeDomain(QStringLiteral("b"), dictionaryOf(1));
    m_controller->awakeFromNib();
    EXPECT_EQ(domainNames(), QStringList{QStringLiteral("a")});
    EXPECT_EQ(m_controller->sheets().newDomainSheet, sheet);
}

TEST_F(MainWindow, HeldKeysSurviveBeingSetAgain)
{
    start();
    TRKeyPtr key = TRKey::create(TRValue::fromString(QStringLiteral("n")), TRValue::fromInteger(4), nullptr,
                                 QStringLiteral("d"));
    m_controller->setCurrentKey(key);
    m_controller->setEditedKey(key);
    key.reset();
    m_controller->setCurrentKey(m_controller->currentKey());
    m_controller->setEditedKey(m_controller->editedKey());
    ASSERT_NE(m_controller->currentKey(), nullptr);
    EXPECT_EQ(m_controller->currentKey()->value().toInteger(), 4);
    m_controller->setCurrentKey(nullptr);
    EXPECT_NE(m_controller->editedKey(), nullptr);
}

TEST_F(MainWindow, RealSheetAnswersByItsButtonsAndIsHiddenAfterwards)
{
    start();
    TRAlert::setScripted(false);
    QDialog *sheet = m_controller->sheets().newDomainSheet;
    auto *buttons = sheet->findChild<QDialogButtonBox *>();
    ASSERT_NE(buttons, nullptr);
    m_controller->setCurrentSheet(sheet);
    for (const auto &[button, expected] :
         {std::pair{QDialogButtonBox::Ok, 1}, std::pair{QDialogButtonBox::Cancel, 0}}) {
        QTimer::singleShot(0, buttons->button(button), &QPushButton::click);
        EXPECT_EQ(m_controller->showCurrentSheet(), expected);
        EXPECT_FALSE(sheet->isVisible());
    }
    TRAlert::setScripted(true);
}

TEST_F(MainWindow, QuitAlertAnswers)
{
    storeDomain(QStringLiteral("kept"), dictionaryOf(1));
    const auto prepare = [this] {
        start();
        m_controller->addDomain(envelope(QStringLiteral("with.keys"), dictionaryOf(2)));
        m_controller->addDomain(std::make_shared<TRDomainEnvelope>(QStringLiteral("empty")));
        ASSERT_TRUE(m_controller->modifiedDomainExists());
        EXPECT_TRUE(m_interface->mainWindow()->isWindowModified());
    };

    // "Don't Quit": everything stays as it was.
    prepare();
    TRAlert::setNextAnswer(TRAlert::kAlternate);
    trigger("actionQuit");
    ASSERT_EQ(TRAlert::shownAlerts().size(), 1);
    EXPECT_EQ(TRAlert::shownAlerts()[0].title, QStringLiteral("About to quit Tamrix"));
    EXPECT_EQ(TRAlert::shownAlerts()[0].buttons,
              (QStringList{QStringLiteral("Save and Quit"), QStringLiteral("Don't Quit"),
                           QStringLiteral("Don't Save")}));
    EXPECT_TRUE(TRAlert::shownAlerts()[0].modal);
    EXPECT_FALSE(m_controller->hasTerminated());
    EXPECT_TRUE(m_interface->mainWindow()->isVisible());
    EXPECT_TRUE(domain(QStringLiteral("with.keys"))->modified());
    EXPECT_EQ(domainNames().size(), 3);

    // "Don't Save": ends, writes nothing.
    TRAlert::resetScript();
    TRAlert::setNextAnswer(TRAlert::kOther);
    trigger("actionQuit");
    EXPECT_TRUE(m_controller->hasTerminated());
    EXPECT_FALSE(storeHas(QStringLiteral("with.keys")));
    EXPECT_FALSE(storeHas(QStringLiteral("empty")));
    stop();

    // "Save and Quit": the domain with keys is written, the empty one skipped without an alert.
    TRAlert::resetScript();
    prepare();
    TRAlert::setNextAnswer(TRAlert::kDefault);
    trigger("actionQuit");
    EXPECT_EQ(alertTitles(), QStringList{QStringLiteral("About to quit Tamrix")});
    EXPECT_TRUE(m_controller->hasTerminated());
    EXPECT_EQ(storedDomain(QStringLiteral("with.keys")), dictionaryOf(2));
    EXPECT_FALSE(storeHas(QStringLiteral("empty")));
}

TEST_F(MainWindow, ClosingTheWindowAsksOnceAndHiddenWindowQuitsSilently)
{
    start();
    m_controller->addDomain(envelope(QStringLiteral("with.keys"), dictionaryOf(1)));
    TRAlert::setNextAnswer(TRAlert::kAlternate);
    EXPECT_FALSE(m_interface->mainWindow()->close());
    EXPECT_TRUE(m_interface->mainWindow()->isVisible());

    TRAlert::setNextAnswer(TRAlert::kOther);
    EXPECT_TRUE(m_interface->mainWindow()->close());
    EXPECT_TRUE(m_controller->hasTerminated());
    EXPECT_EQ(TRAlert::shownAlerts().size(), 2);
    // The termination after the close finds the window gone and asks nothing more.
    EXPECT_EQ(m_controller->applicationShouldTerminate(), 1);
    trigger("actionQuit");
    EXPECT_EQ(TRAlert::shownAlerts().size(), 2);
    EXPECT_FALSE(storeHas(QStringLiteral("with.keys")));
}

TEST_F(MainWindow, EndOfSessionAsksLikeQuittingAndNeverLosesChangesSilently)
{
    start();
    // Nothing unsaved (an empty new domain does not count): the session ends without a question.
    newDomain(QStringLiteral("empty"));
    EXPECT_FALSE(m_controller->sessionShouldCancel(true));
    EXPECT_FALSE(m_controller->sessionShouldCancel(false));
    EXPECT_TRUE(alertTitles().isEmpty());

    m_controller->addDomain(envelope(QStringLiteral("with.keys"), dictionaryOf(2)));
    // "Don't Quit" cancels the end of the session and keeps everything.
    TRAlert::setNextAnswer(TRAlert::kAlternate);
    EXPECT_TRUE(m_controller->sessionShouldCancel(true));
    ASSERT_EQ(alertTitles(), QStringList{QStringLiteral("About to quit Tamrix")});
    EXPECT_TRUE(TRAlert::shownAlerts()[0].modal);
    EXPECT_TRUE(domain(QStringLiteral("with.keys"))->modified());
    EXPECT_TRUE(m_interface->mainWindow()->isVisible());

    // "Don't Save" lets it end; the session's closing of the window does not ask a second time...
    TRAlert::setNextAnswer(TRAlert::kOther);
    EXPECT_FALSE(m_controller->sessionShouldCancel(true));
    EXPECT_EQ(alertTitles().size(), 2);
    // ...unless the user went on working (another program cancelled the end of the session).
    ASSERT_EQ(selectedRow(), 0);
    selectRow(1);
    TRAlert::setNextAnswer(TRAlert::kAlternate);
    EXPECT_FALSE(m_interface->mainWindow()->close());
    EXPECT_EQ(alertTitles().size(), 3);
    TRAlert::setNextAnswer(TRAlert::kOther);
    EXPECT_FALSE(m_controller->sessionShouldCancel(true));
    EXPECT_TRUE(m_interface->mainWindow()->close());
    EXPECT_EQ(alertTitles().size(), 4);
    EXPECT_TRUE(m_controller->hasTerminated());
    EXPECT_FALSE(storeHas(QStringLiteral("with.keys")));
    EXPECT_FALSE(storeHas(QStringLiteral("empty")));
}

TEST_F(MainWindow, EndOfSessionSavesAndCancelsWhenASaveFails)
{
    const auto prepare = [this] {
        stop();
        TRAlert::resetScript();
        QFile::remove(domainFile(QStringLiteral("with.keys")));
        start();
        m_controller->addDomain(envelope(QStringLiteral("with.keys"), dictionaryOf(2)));
        m_controller->addDomain(std::make_shared<TRDomainEnvelope>(QStringLiteral("empty")));
    };
    // "Save and Quit": written, the empty domain skipped without an alert.
    prepare();
    TRAlert::setNextAnswer(TRAlert::kDefault);
    EXPECT_FALSE(m_controller->sessionShouldCancel(true));
    EXPECT_EQ(alertTitles(), QStringList{QStringLiteral("About to quit Tamrix")});
    EXPECT_EQ(storedDomain(QStringLiteral("with.keys")), dictionaryOf(2));
    EXPECT_FALSE(storeHas(QStringLiteral("empty")));

    // No leave to ask: saved without a question rather than lost.
    prepare();
    EXPECT_FALSE(m_controller->sessionShouldCancel(false));
    EXPECT_TRUE(alertTitles().isEmpty());
    EXPECT_EQ(storedDomain(QStringLiteral("with.keys")), dictionaryOf(2));
    EXPECT_FALSE(domain(QStringLiteral("with.keys"))->modified());
    EXPECT_FALSE(storeHas(QStringLiteral("empty")));

    // A save that fails cancels the end of the session, says why, and keeps the changes; asked or not.
    ASSERT_TRUE(QDir(storeFolder()).mkpath(QStringLiteral("blocked.plist/inside")));
    for (const bool interactionAllowed : {true, false}) {
        prepare();
        m_controller->addDomain(envelope(QStringLiteral("blocked"), dictionaryOf(1)));
        TRAlert::setNextAnswer(TRAlert::kDefault);
        EXPECT_TRUE(m_controller->sessionShouldCancel(interactionAllowed));
        ASSERT_FALSE(alertTitles().isEmpty());
        EXPECT_EQ(alertTitles().last(), QStringLiteral("Cannot save domain"));
        EXPECT_TRUE(TRAlert::shownAlerts().last().message.contains(QStringLiteral("blocked")));
        EXPECT_TRUE(domain(QStringLiteral("blocked"))->modified());
        EXPECT_EQ(storedDomain(QStringLiteral("with.keys")), dictionaryOf(2));
        EXPECT_TRUE(m_interface->mainWindow()->isVisible());
        EXPECT_FALSE(m_controller->hasTerminated());
    }
    TRAlert::resetScript();
}

TEST_F(MainWindow, NewEmptyDomainIsNoReasonToAsk)
{
    start();
    newDomain(QStringLiteral("org.example.empty"));
    ASSERT_TRUE(domain(QStringLiteral("org.example.empty"))->modified());
    EXPECT_FALSE(m_controller->modifiedDomainExists());
    trigger("actionQuit");
    EXPECT_TRUE(alertTitles().isEmpty());
    EXPECT_TRUE(m_controller->hasTerminated());
    EXPECT_FALSE(storeHas(QStringLiteral("org.example.empty")));
}

TEST_F(MainWindow, WindowSizeAndSplitterAreRemembered)
{
    start();
    m_interface->mainWindow()->resize(777, 555);
    QSplitter *splitter = windowPart<QSplitter>("splitter");
    splitter->setSizes({250, 500});
    const QList<int> sizes = splitter->sizes();
    trigger("actionQuit");
    const TRValue stored = storedDomain(TRPreferences::shared().domainName());
    ASSERT_TRUE(stored.isDictionary());
    stop();

    start();
    EXPECT_EQ(m_interface->mainWindow()->size(), QSize(777, 555));
    EXPECT_EQ(windowPart<QSplitter>("splitter")->sizes(), sizes);
    // The application's own domain is one of the store's domains.
    EXPECT_TRUE(domainNames().contains(TRPreferences::shared().domainName()));
}

TEST_F(MainWindow, UnreadableDomainFilesAreReported)
{
    storeDomain(QStringLiteral("good"), dictionaryOf(1));
    {
        QFile bad(domainFile(QStringLiteral("broken")));
        ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
        bad.write("this is not a property list <<<");
    }
    TRDefaultsStore::standard().synchronize();
    start();
    EXPECT_EQ(domainNames(), QStringList{QStringLiteral("good")});
    QLabel *label = windowPart<QLabel>("unreadableFilesLabel");
    ASSERT_NE(label, nullptr);
    EXPECT_FALSE(label->isHidden());
    EXPECT_TRUE(label->text().contains(QStringLiteral("broken.plist"))) << label->text().toStdString();
    // File names are shown as they are, never read as markup.
    EXPECT_EQ(label->textFormat(), Qt::PlainText);

    // Gone after Reload all once the file is replaced.
    QFile::remove(domainFile(QStringLiteral("broken")));
    TRAlert::setNextAnswer(TRAlert::kDefault);
    trigger("actionReloadAllDomains");
    EXPECT_TRUE(label->isHidden());
}

TEST_F(MainWindow, RealAlertSheetDoesNotBlockAndMapsItsButtons)
{
    start();
    TRAlert::setScripted(false);
    QMainWindow *window = m_interface->mainWindow();
    TRAlert::Content content;
    content.title = QStringLiteral("About to reload all domains");
    content.message = QStringLiteral("Sure?");
    content.defaultButton = QStringLiteral("Yes");
    content.alternateButton = QStringLiteral("No");
    content.otherButton = QStringLiteral("Later");
    for (const auto &[text, expected] :
         {std::pair{"Yes", TRAlert::kDefault}, std::pair{"No", TRAlert::kAlternate},
          std::pair{"Later", TRAlert::kOther}}) {
        int answer = 99;
        TRAlert::beginSheet(window, content, [&answer](int code) { answer = code; });
        // The call returned at once: the box is open, window-modal, unanswered.
        EXPECT_EQ(answer, 99);
        QMessageBox *box = nullptr;
        for (QMessageBox *candidate : window->findChildren<QMessageBox *>()) {
            if (candidate->isVisible())
                box = candidate;
        }
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowModality(), Qt::WindowModal);
        EXPECT_EQ(box->defaultButton()->text(), QStringLiteral("Yes"));
        for (QAbstractButton *button : box->buttons()) {
            if (button->text() == QLatin1String(text))
                button->click();
        }
        settle();
        EXPECT_EQ(answer, expected) << text;
    }

    // A domain name that looks like markup is shown as typed, in the title and in the message.
    content.title = QStringLiteral("<b>Domain</b> &lt;x&gt;");
    content.message = QStringLiteral("The domain <b>bold</b> &lt;x&gt; is about to be permanently deleted.");
    TRAlert::beginSheet(window, content);
    for (QMessageBox *box : window->findChildren<QMessageBox *>()) {
        if (!box->isVisible())
            continue;
        for (const char *name : {"qt_msgbox_label", "qt_msgbox_informativelabel"}) {
            const QLabel *label = box->findChild<QLabel *>(QString::fromLatin1(name));
            ASSERT_NE(label, nullptr) << name;
            EXPECT_EQ(label->textFormat(), Qt::PlainText) << name;
        }
        box->close();
    }
    settle();
    TRAlert::setScripted(true);
}

TEST_F(MainWindow, ADomainFileThatExpandsBeyondTheBoundIsReportedNotListed)
{
    // 209 bytes standing for 2^41 values once the shared arrays are spelled out.
    storeDomain(QStringLiteral("plain"), dictionaryOf(2));
    ASSERT_TRUE(
        QFile::copy(QStringLiteral(TAMRIX_SOURCE_DIR "/fuzz/store/seeds/shared-arrays-40-levels.plist"),
                    domainFile(QStringLiteral("bomb"))));
    start();
    EXPECT_EQ(domainNames(), QStringList{QStringLiteral("plain")});
    const QLabel *label =
        m_interface->mainWindow()->findChild<QLabel *>(QStringLiteral("unreadableFilesLabel"));
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->text().contains(QStringLiteral("bomb.plist"))) << label->text().toStdString();
    selectRow(0);
    EXPECT_EQ(outlineRows().size(), 2);
}
