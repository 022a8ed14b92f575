#pragma once

#include "TRValue.h"

#include <QDateTime>
#include <QWidget>

class QDateTimeEdit;
class QLabel;

// The editor of date values: a date and time field with a calendar pop-up, to the second, in the
// desktop's local time zone, which a label beneath names. Dates are stored as an instant (UTC).
//
// A date read back while the field still shows what filling it showed is the very value it was filled
// with, fractions of a second and years beyond the field's range included.
class TRDateEditor final : public QWidget
{
    Q_OBJECT

public:
    explicit TRDateEditor(QWidget *parent = nullptr);
    ~TRDateEditor() override;

    // setDateValue: / dateValue.
    void setDateValue(const TRValue &date);
    TRValue dateValue() const;
    // Gives the keyboard focus to the field with its text selected.
    void beginEditing();

    QDateTimeEdit *field() const { return m_field; }
    // The instant a property-list date stands for, clamped to the field's range; and back.
    static QDateTime dateTimeFromDate(double secondsSince2001);
    static double dateFromDateTime(const QDateTime &dateTime);

private:
    void updateZoneLabel();

    QDateTimeEdit *m_field;
    QLabel *m_zoneLabel;
    TRValue m_filledValue;
    QDateTime m_filledDateTime;
};
