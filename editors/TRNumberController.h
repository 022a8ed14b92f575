#pragma once

#include "TRValue.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QButtonGroup;
class QLineEdit;
class QTabWidget;

// The editor of number and boolean values: the same value as a whole number, a real number and a truth
// value, one form per tab. Filling it selects the tab that fits the value; reading it back gives a value
// of the kind of the tab selected then, so the user can also change a number's kind.
//
// The controls belong to the number sheet. The tabs are told apart by the "identifier" property of
// their page widgets: "1" whole number, "2" real number, "3" truth value. The truth value is a group of
// two exclusive buttons with the ids 0 (yes) and 1 (no). In Qt Designer, give each tab page a string
// property "identifier"; the button ids are set when the buttons are added to the group in code.
//
// Opening any value and confirming it unchanged (the same tab, the same texts, the same button) gives back
// the very value it was filled with, kind included: a whole-valued real (3.0, -0.0) opens on the
// whole-number tab but stays a real unless the user edits it. The whole-number field holds -2^63 to
// 2^64-1; the real field holds a double and shows the shortest text that reads back to it.
class TRNumberController final : public QObject
{
    Q_OBJECT

public:
    // The property of a tab page that holds its identifier.
    static constexpr const char *kTabIdentifierProperty = "identifier";

    // The controls must outlive their use through the controller; the controller installs validators on
    // the two text fields and makes the button group exclusive.
    TRNumberController(QTabWidget *typeTabs, QLineEdit *integerValue, QLineEdit *realValue,
                       QButtonGroup *booleanValue, QObject *parent = nullptr);
    ~TRNumberController() override;

    // Fills all three forms from the number (a boolean counts as a number) and selects its tab.
    void setValue(const TRValue &number);
    // Gives the keyboard focus to the selected tab's control, a field's text selected, so that typing
    // replaces the value.
    void beginEditing();
    // A new value of the selected tab's kind: an integer ("1"), a real ("2") or a boolean (otherwise, yes
    // when the button with id 0 is checked). Text that is not wholly a number reads as its leading
    // number, 0 when there is none.
    TRValue value() const;

    // The identifier of the tab that fits the value: "3" for a boolean, "1" for an integer and for a
    // whole-valued real in the whole-number range, "2" for any other real (nan and the infinities too).
    static QString tabForValue(const TRValue &number);

    // The selected tab's identifier, empty when there is none.
    QString selectedTab() const;
    // Selects the tab with the identifier; answers false when there is none.
    bool selectTab(const QString &identifier);

private:
    QPointer<QTabWidget> m_typeTabs;
    QPointer<QLineEdit> m_integerValue;
    QPointer<QLineEdit> m_realValue;
    QPointer<QButtonGroup> m_booleanValue;
    // What setValue showed, to tell an unchanged form from an edited one.
    TRValue m_filledValue;
    QString m_filledTab;
    QString m_filledInteger;
    QString m_filledReal;
    int m_filledTruth = -1;
};
