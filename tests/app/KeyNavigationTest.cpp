// Moving among keys: key paths read back, Go to Key, Back and Forward, each domain's view kept and
// restored at start-up, and the columns sized to what they show.
#include "KeyTestSupport.h"
#include "TRKey.h"
#include "TRKeyNavigation.h"
#include "TRKeyPath.h"
#include "TRMainView.h"
#include "TRTranslations.h"
#include "store/TRPreferences.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTableView>

namespace {

using Place = TRKeyNavigation::Place;

TRValue dict(std::initializer_list<std::pair<const char *, TRValue>> entries)
{
    TRDictionary dictionary;
    for (const auto &[name, value] : entries)
        dictionary.insert(QString::fromUtf8(name), value);
    return TRValue::fromDictionary(std::move(dictionary));
}

TRValue list(std::initializer_list<TRValue> elements)
{
    return TRValue::fromArray(TRArray(elements));
}

// com.x: Dict = {a = (x, y); "s/l" = 1; "b\c" = 2}; Top = 3. org.y: Other = {deep = {k = 4}}.
class KeyNavigation : public KeyTest
{
protected:
    void SetUp() override
    {
        KeyTest::SetUp();
        storeDomain(QStringLiteral("com.x"), dict({{"Dict", dict({{"a", list({str("x"), str("y")})},
                                                                  {"s/l", TRValue::fromInteger(1)},
                                                                  {"b\\c", TRValue::fromInteger(2)}})},
                                                   {"Top", TRValue::fromInteger(3)}}));
        storeDomain(QStringLiteral("org.y"),
                    dict({{"Other", dict({{"deep", dict({{"k", TRValue::fromInteger(4)}})}})}}));
        start();
    }
    // Where the window is: the shown domain and the selected key's path.
    Place place() const
    {
        const TRDomainController *shown = m_controller->currentDomain();
        const TRKeyPtr key = m_controller->selectedKey();
        return {shown ? shown->name() : QString(), key ? TRAppController::keyPath(*key) : QString()};
    }
    QLineEdit *goToField() const { return windowPart<QLineEdit>("goToKeyField"); }
    // Types the path into the Go to Key field and presses Return.
    void typeGoTo(const QString &path)
    {
        trigger("actionGoToKey");
        goToField()->setText(path);
        emit goToField()->returnPressed();
        settle();
    }
};

} // namespace

TEST(KeyPaths, ReadBackWhatCopyKeyPathWrites)
{
    const QList<QStringList> cases = {
        {QStringLiteral("Dict"), QStringLiteral("a"), QStringLiteral("0")},
        {QStringLiteral("a/b"), QStringLiteral("c\\d"), QStringLiteral("\\")},
        {QString(), QStringLiteral("x"), QString()},
        {QStringLiteral("/"), QStringLiteral("//\\/")},
    };
    for (const QStringList &names : cases) {
        const QString path = TRAppController::keyPath(names);
        EXPECT_EQ(trNamesInKeyPath(path), names) << path.toStdString();
    }
    EXPECT_TRUE(trNamesInKeyPath(QString()).isEmpty());
    // A backslash at the very end escapes nothing and stays itself.
    EXPECT_EQ(trNamesInKeyPath(QStringLiteral("a\\")), QStringList{QStringLiteral("a\\")});
}

TEST(KeyPaths, ReachTheDeepestKeyThere)
{
    const TRKeyPtr root =
        TRKey::create(TRValue(), dict({{"L", list({str("p"), str("q")})}}), nullptr, QString());
    const struct
    {
        QStringList names;
        QString reached; // the reached key's value or name
        bool all;
    } cases[] = {
        {{QStringLiteral("L"), QStringLiteral("1")}, QStringLiteral("q"), true},
        {{QStringLiteral("L"), QStringLiteral("01")}, QStringLiteral("L"), false},
        {{QStringLiteral("L"), QStringLiteral("2")}, QStringLiteral("L"), false},
        {{QStringLiteral("L"), QStringLiteral("0"), QStringLiteral("z")}, QStringLiteral("p"), false},
        {{QStringLiteral("M")}, QString(), false},
    };
    for (const auto &test : cases) {
        bool all = !test.all;
        const TRKeyPtr key = TRKeyNavigation::keyAt(root, test.names, &all);
        EXPECT_EQ(all, test.all) << test.names.join(u'/').toStdString();
        const QString reached = !key                      ? QString()
                                : key->value().isString() ? key->value().toString()
                                                          : key->name().toString();
        EXPECT_EQ(reached, test.reached) << test.names.join(u'/').toStdString();
    }
}

TEST(KeyHistory, StepsBackAndForwardAndDropsWhatFollowsANewVisit)
{
    TRKeyNavigation history;
    EXPECT_FALSE(history.goBack());
    for (const char *key : {"a", "b", "b", "c"})
        history.visit({QStringLiteral("d"), QString::fromLatin1(key)});
    EXPECT_EQ(history.goBack()->keyPath, QStringLiteral("b"));
    EXPECT_EQ(history.goBack()->keyPath, QStringLiteral("a"));
    EXPECT_FALSE(history.canGoBack());
    EXPECT_EQ(history.goForward()->keyPath, QStringLiteral("b"));
    history.visit({QStringLiteral("d"), QStringLiteral("e")});
    EXPECT_FALSE(history.canGoForward());
    EXPECT_EQ(history.goBack()->keyPath, QStringLiteral("b"));

    for (int visit = 0; visit < TRKeyNavigation::kPlaceLimit + 10; ++visit)
        history.visit({QStringLiteral("d"), QString::number(visit)});
    int steps = 0;
    while (history.goBack())
        ++steps;
    EXPECT_EQ(steps, TRKeyNavigation::kPlaceLimit - 1);
}

TEST(KeyHistory, KeptViewsSurviveTheirValueAndAnythingElseIsIgnored)
{
    TRKeyNavigation kept;
    for (int domain = 0; domain < TRKeyNavigation::kDomainLimit + 5; ++domain)
        kept.remember(QStringLiteral("d%1").arg(domain), {QStringLiteral("k"), {QStringLiteral("e")}});
    kept.setShownDomain(QStringLiteral("d7"));
    TRKeyNavigation restored;
    restored.restore(kept.toValue());
    EXPECT_EQ(restored.shownDomain(), QStringLiteral("d7"));
    EXPECT_FALSE(restored.viewOf(QStringLiteral("d0"))) << "the oldest views go past the bound";
    const TRKeyNavigation::DomainView newest{QStringLiteral("k"), {QStringLiteral("e")}};
    EXPECT_EQ(restored.viewOf(QStringLiteral("d%1").arg(TRKeyNavigation::kDomainLimit + 4)), newest);
    EXPECT_EQ(restored.toValue(), kept.toValue());

    const TRValue corrupt[] = {
        str("text"),
        dict({{"Domain", TRValue::fromInteger(1)}, {"Domains", str("x")}}),
        dict({{"Domains", dict({{"d", str("not a view")}})}, {"Order", list({str("d")})}}),
        dict({{"Domains", dict({{"d", dict({{"Selected", TRValue::fromInteger(2)}})}})},
              {"Order", list({TRValue::fromInteger(3), str("d")})}}),
    };
    for (const TRValue &value : corrupt) {
        TRKeyNavigation navigation;
        navigation.restore(value);
        EXPECT_TRUE(navigation.shownDomain().isEmpty());
        if (const auto view = navigation.viewOf(QStringLiteral("d"))) {
            EXPECT_EQ(*view, TRKeyNavigation::DomainView{}) << "only what has the right form is taken";
        }
    }
}

TEST_F(KeyNavigation, GoToKeyTakesTheCopiedPathWithOrWithoutItsDomain)
{
    selectDomain(QStringLiteral("org.y"));
    const struct
    {
        const char *typed;
        Place reached;
    } cases[] = {
        {"com.x/Dict/a/1", {QStringLiteral("com.x"), QStringLiteral("Dict/a/1")}},
        {"Dict/s\\/l", {QStringLiteral("com.x"), QStringLiteral("Dict/s\\/l")}},
        {"Dict/b\\\\c", {QStringLiteral("com.x"), QStringLiteral("Dict/b\\\\c")}},
        {"org.y/Other/deep/k", {QStringLiteral("org.y"), QStringLiteral("Other/deep/k")}},
        {"org.y", {QStringLiteral("org.y"), QString()}},
    };
    for (const auto &test : cases) {
        typeGoTo(QString::fromUtf8(test.typed));
        EXPECT_EQ(place(), test.reached) << test.typed;
        EXPECT_EQ(goToField()->text(), QString::fromUtf8(test.typed)) << "the field keeps a path that worked";
        if (const TRKeyPtr key = m_controller->selectedKey()) {
            EXPECT_TRUE(outline()->isExpanded(model()->indexForKey(key->parent().get())) ||
                        key->parent() == m_controller->currentDomain()->rootKey());
        }
    }
    EXPECT_EQ(action("actionGoToKey")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
}

TEST_F(KeyNavigation, APathThatNamesNothingSaysSoInTheFieldAndChangesNothing)
{
    typeGoTo(QStringLiteral("com.x/Top"));
    const struct
    {
        const char *typed, *message;
    } cases[] = {
        {"com.x/Dict/b", "No key Dict/b in com.x"},
        {"Dict/a/5", "No key Dict/a/5 in com.x"},
        {"Top/x", "No key Top/x in com.x"},
    };
    for (const auto &test : cases) {
        typeGoTo(QString::fromUtf8(test.typed));
        EXPECT_EQ(goToField()->text(), QString::fromUtf8(test.message));
        EXPECT_EQ(goToField()->selectedText(), goToField()->text()) << "typing replaces the message";
        EXPECT_EQ(place(), (Place{QStringLiteral("com.x"), QStringLiteral("Top")}));
        goToField()->undo();
        EXPECT_EQ(goToField()->text(), QString::fromUtf8(test.typed)) << "Undo brings the path back";
    }
    EXPECT_TRUE(alertTitles().isEmpty());
}

TEST_F(KeyNavigation, BackAndForwardRetraceTheKeysVisited)
{
    typeGoTo(QStringLiteral("com.x/Top"));
    selectKey({QStringLiteral("Dict")});
    typeGoTo(QStringLiteral("org.y/Other/deep/k"));
    const QList<Place> visited = {{QStringLiteral("com.x"), QStringLiteral("Top")},
                                  {QStringLiteral("com.x"), QStringLiteral("Dict")},
                                  {QStringLiteral("org.y"), QStringLiteral("Other/deep/k")}};
    EXPECT_FALSE(action("actionGoForward")->isEnabled());
    ASSERT_TRUE(action("actionGoBack")->isEnabled());
    trigger("actionGoBack");
    EXPECT_EQ(place(), visited[1]);
    // The mouse's back button does the same anywhere in the window.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::BackButton, Qt::BackButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(outline()->viewport(), &press);
    EXPECT_EQ(place(), visited[0]);
    trigger("actionGoForward");
    trigger("actionGoForward");
    EXPECT_EQ(place(), visited[2]);
    EXPECT_FALSE(action("actionGoForward")->isEnabled());
    EXPECT_EQ(action("actionGoBack")->shortcut(), QKeySequence(QKeySequence::Back));
    EXPECT_EQ(action("actionGoForward")->shortcut(), QKeySequence(QKeySequence::Forward));
}

TEST_F(KeyNavigation, EachDomainsViewComesBackInThisRunAndTheNext)
{
    typeGoTo(QStringLiteral("com.x/Dict/a/1"));
    selectDomain(QStringLiteral("org.y"));
    outline()->expand(indexOf({QStringLiteral("Other")}));
    selectDomain(QStringLiteral("com.x"));
    EXPECT_EQ(place(), (Place{QStringLiteral("com.x"), QStringLiteral("Dict/a/1")}));
    selectDomain(QStringLiteral("org.y"));
    EXPECT_TRUE(outline()->isExpanded(indexOf({QStringLiteral("Other")})));
    typeGoTo(QStringLiteral("com.x/Dict/a/1"));
    trigger("actionQuit");
    stop();

    start();
    EXPECT_EQ(place(), (Place{QStringLiteral("com.x"), QStringLiteral("Dict/a/1")}));
    EXPECT_TRUE(outline()->isExpanded(indexOf({QStringLiteral("Dict"), QStringLiteral("a")})));
    trigger("actionQuit");
    stop();

    // The key went while Tamrix was not running: its nearest parent still there is selected.
    storeDomain(QStringLiteral("com.x"), dict({{"Dict", dict({{"a", list({str("x")})}})}}));
    start();
    EXPECT_EQ(place(), (Place{QStringLiteral("com.x"), QStringLiteral("Dict/a")}));
    selectDomain(QStringLiteral("org.y"));
    EXPECT_TRUE(outline()->isExpanded(indexOf({QStringLiteral("Other")})));
}

TEST_F(KeyNavigation, AGoneOrCorruptSavedViewStartsWithNothingSelected)
{
    const TRValue saved[] = {
        str("corrupt"),
        dict({{"Domain", str("org.gone")}}),
        dict({{"Domain", list({})}, {"Domains", TRValue::fromInteger(7)}}),
    };
    for (const TRValue &value : saved) {
        stop();
        TRPreferences::shared().setValue(QStringLiteral("MainWindowView"), value);
        start();
        EXPECT_EQ(place(), Place{});
        EXPECT_TRUE(alertTitles().isEmpty());
    }
}

TEST_F(KeyNavigation, ColumnsFitWhatTheyShowAndKeepWhatTheUserDragged)
{
    mainWindow()->show();
    const QString longName = QStringLiteral("showAppExposeGestureEnabled");
    storeDomain(QStringLiteral("com.apple.symbolichotkeys"),
                dict({{"showAppExposeGestureEnabled", str("1")}}));
    stop();
    start();
    mainWindow()->show();
    selectDomain(QStringLiteral("com.apple.symbolichotkeys"));
    auto *list = windowPart<QTableView>("domainListView");
    const QHeaderView *listHeader = list->horizontalHeader();
    EXPECT_GE(listHeader->sectionSize(1),
              list->fontMetrics().horizontalAdvance(QStringLiteral("com.apple.symbolichotkeys")));
    EXPECT_EQ(listHeader->sectionSize(0) + listHeader->sectionSize(1) + listHeader->sectionSize(2),
              list->viewport()->width());
    QHeaderView *header = outline()->header();
    EXPECT_GE(header->sectionSize(0), outline()->fontMetrics().horizontalAdvance(longName));

    header->resizeSection(1, 150);
    selectDomain(QStringLiteral("com.x"));
    EXPECT_EQ(header->sectionSize(1), 150);
    trigger("actionQuit");
    stop();
    start();
    selectDomain(QStringLiteral("com.x"));
    EXPECT_EQ(outline()->header()->sectionSize(1), 150);
    // A double click on its edge gives the column back to its contents.
    emit outline()->header()->sectionHandleDoubleClicked(1);
    EXPECT_NE(outline()->header()->sectionSize(1), 150);
    EXPECT_EQ(m_controller->mainView()->keyOutlineColumnWidths(), (QList<int>{0, 0}));
}

TEST_F(KeyNavigation, GermanHeadersAndTypeNamesFit)
{
    stop();
    const TRTranslations german(QLocale(QLocale::German, QLocale::Germany));
    start();
    mainWindow()->show();
    selectDomain(QStringLiteral("com.x"));
    const int margin = 8;
    for (const QHeaderView *header : {windowPart<QTableView>("domainListView")->horizontalHeader(),
                                      static_cast<QHeaderView *>(outline()->header())}) {
        for (int section = 0; section < header->count(); ++section) {
            const QString title = header->model()->headerData(section, Qt::Horizontal).toString();
            EXPECT_GE(header->sectionSize(section), header->fontMetrics().horizontalAdvance(title) + margin)
                << title.toStdString();
        }
    }
    for (const QString &name : TRKey::typeNames())
        EXPECT_GE(outline()->header()->sectionSize(1),
                  outline()->fontMetrics().horizontalAdvance(name) + margin)
            << name.toStdString();
    EXPECT_TRUE(TRKey::typeNames().contains(QStringLiteral("Wahrheitswert")));
    stop();
}
