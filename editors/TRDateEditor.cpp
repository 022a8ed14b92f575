#include "TRDateEditor.h"

#include "TRText.h"

#include <QDateTimeEdit>
#include <QLabel>
#include <QTimeZone>
#include <QVBoxLayout>
#include <cmath>

namespace {

// Milliseconds from 1970-01-01 to 2001-01-01 (UTC).
constexpr qint64 kMsecsFrom1970To2001 = 978307200000LL;

QDateTime firstShown()
{
    return QDateTime(QDate(100, 1, 1), QTime(0, 0));
}

QDateTime lastShown()
{
    return QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59, 999));
}

} // namespace

TRDateEditor::TRDateEditor(QWidget *parent)
    : QWidget(parent), m_field(new QDateTimeEdit(this)), m_zoneLabel(new QLabel(this))
{
    m_field->setObjectName(QStringLiteral("dateValueField"));
    m_field->setCalendarPopup(true);
    m_field->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    m_field->setDateTimeRange(firstShown(), lastShown());
    m_field->setAccessibleName(trText("Date and time"));
    m_zoneLabel->setObjectName(QStringLiteral("dateZoneLabel"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_field);
    layout->addWidget(m_zoneLabel);
    setFocusProxy(m_field);
    connect(m_field, &QDateTimeEdit::dateTimeChanged, this, &TRDateEditor::updateZoneLabel);
    updateZoneLabel();
}

TRDateEditor::~TRDateEditor() = default;

QDateTime TRDateEditor::dateTimeFromDate(double secondsSince2001)
{
    if (std::isnan(secondsSince2001))
        return firstShown();
    const double msecs = secondsSince2001 * 1000.0 + double(kMsecsFrom1970To2001);
    const double first = double(firstShown().toMSecsSinceEpoch());
    const double last = double(lastShown().toMSecsSinceEpoch());
    if (!(msecs > first))
        return firstShown();
    if (!(msecs < last))
        return lastShown();
    return QDateTime::fromMSecsSinceEpoch(qint64(std::floor(msecs)));
}

double TRDateEditor::dateFromDateTime(const QDateTime &dateTime)
{
    return double(dateTime.toMSecsSinceEpoch() - kMsecsFrom1970To2001) / 1000.0;
}

void TRDateEditor::setDateValue(const TRValue &date)
{
    m_filledValue = date;
    m_field->setDateTime(dateTimeFromDate(date.isDate() ? date.toDate() : 0.0));
    m_filledDateTime = m_field->dateTime();
    updateZoneLabel();
}

void TRDateEditor::beginEditing()
{
    m_field->setFocus(Qt::OtherFocusReason);
    m_field->selectAll();
}

TRValue TRDateEditor::dateValue() const
{
    const QDateTime shown = m_field->dateTime();
    if (m_filledValue.isDate() && shown == m_filledDateTime)
        return m_filledValue;
    return TRValue::fromDate(dateFromDateTime(shown));
}

void TRDateEditor::updateZoneLabel()
{
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const QDateTime at = m_field->dateTime();
    const QString id = QString::fromUtf8(zone.id());
    const QString abbreviation = zone.abbreviation(at);
    const QString offset = zone.displayName(at, QTimeZone::OffsetName);
    QString name = id;
    if (!abbreviation.isEmpty() && abbreviation != id)
        name += QStringLiteral(" (%1, %2)").arg(abbreviation, offset);
    else if (!offset.isEmpty() && offset != id)
        name += QStringLiteral(" (%1)").arg(offset);
    m_zoneLabel->setText(trFormat(trText("Local time, %@"), {name}));
}
