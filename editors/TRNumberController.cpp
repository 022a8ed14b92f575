#include "TRNumberController.h"

#include "TRNumberText.h"
#include "TRNumberValidator.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLineEdit>
#include <QTabWidget>

namespace {

constexpr int kYesId = 0;
constexpr int kNoId = 1;

} // namespace

TRNumberController::TRNumberController(QTabWidget *typeTabs, QLineEdit *integerValue, QLineEdit *realValue,
                                       QButtonGroup *booleanValue, QObject *parent)
    : QObject(parent), m_typeTabs(typeTabs), m_integerValue(integerValue), m_realValue(realValue),
      m_booleanValue(booleanValue)
{
    // The validators belong to their fields.
    m_integerValue->setValidator(new TRNumberValidator(TRNumberValidator::Form::Whole, m_integerValue));
    m_realValue->setValidator(new TRNumberValidator(TRNumberValidator::Form::Real, m_realValue));
    m_booleanValue->setExclusive(true);
}

TRNumberController::~TRNumberController() = default;

void TRNumberController::setValue(const TRValue &number)
{
    if (QAbstractButton *button = m_booleanValue->button(number.boolValue() ? kYesId : kNoId))
        button->setChecked(true);
    m_integerValue->setText(trWholePart(number).description());
    m_realValue->setText(number.isBoolean() ? (number.toBool() ? QStringLiteral("1") : QStringLiteral("0"))
                                            : trShortestRealText(number.toReal()));
    selectTab(tabForValue(number));
    m_filledValue = number;
    m_filledTab = selectedTab();
    m_filledInteger = m_integerValue->text();
    m_filledReal = m_realValue->text();
    m_filledTruth = m_booleanValue->checkedId();
}

void TRNumberController::beginEditing()
{
    const QString tab = selectedTab();
    QLineEdit *field = tab == u"1" ? m_integerValue.data() : tab == u"2" ? m_realValue.data() : nullptr;
    if (field) {
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
    } else if (QAbstractButton *checked = m_booleanValue->checkedButton()) {
        checked->setFocus(Qt::OtherFocusReason);
    }
}

TRValue TRNumberController::value() const
{
    const QString tab = selectedTab();
    if (!m_filledTab.isEmpty() && tab == m_filledTab && m_integerValue->text() == m_filledInteger &&
        m_realValue->text() == m_filledReal && m_booleanValue->checkedId() == m_filledTruth)
        return m_filledValue;
    if (tab == u"1")
        return trLeadingWholeNumber(m_integerValue->text());
    if (tab == u"2")
        return TRValue::fromReal(trLeadingReal(m_realValue->text()));
    return TRValue::fromBool(m_booleanValue->checkedId() == kYesId);
}

QString TRNumberController::tabForValue(const TRValue &number)
{
    if (number.isBoolean())
        return QStringLiteral("3");
    if (number.isInteger() || trFitsWholeNumber(number.toReal()))
        return QStringLiteral("1");
    return QStringLiteral("2");
}

QString TRNumberController::selectedTab() const
{
    const QWidget *page = m_typeTabs->currentWidget();
    return page ? page->property(kTabIdentifierProperty).toString() : QString();
}

bool TRNumberController::selectTab(const QString &identifier)
{
    for (int i = 0; i < m_typeTabs->count(); ++i) {
        if (m_typeTabs->widget(i)->property(kTabIdentifierProperty).toString() == identifier) {
            m_typeTabs->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}
