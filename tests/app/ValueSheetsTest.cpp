// The value sheets: a value confirmed unchanged comes back bit for bit, dates are shown in the local time
// zone and stored as instants.
#include "KeyTestSupport.h"
#include "TRDateEditor.h"
#include "TRDateTime.h"
#include "plist/TRPropertyList.h"

#include <QDateTimeEdit>
#include <QFile>
#include <QLabel>
#include <cstdlib>
#include <ctime>

namespace {

const QString kDomain = QStringLiteral("org.example.sheets");

double utc(qint64 year, int month, int day, int hour, int minute, int second, double fraction = 0)
{
    return trDateFromCivil(TRCivilTime{year, month, day, hour, minute, second, fraction});
}

// Sets the process time zone for the life of the object.
class TimeZone
{
public:
    explicit TimeZone(const char *zone) : m_old(qgetenv("TZ")), m_hadOld(qEnvironmentVariableIsSet("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~TimeZone()
    {
        if (m_hadOld)
            qputenv("TZ", m_old);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    QByteArray m_old;
    bool m_hadOld;
};

} // namespace

TEST_F(KeyTest, EveryLeafConfirmedUnchangedIsWrittenBackBitForBit)
{
    QString text = QStringLiteral("line\nbreak\r\n\ttab \u00a0nbsp \u2028 \u2029 ") + QChar(0) +
                   QStringLiteral("nul ") + QString::fromUcs4(U"\U0001F600 astral");
    text += QString(40000, QLatin1Char('x'));
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(char(b));
    TRDictionary contents;
    contents.insert(QStringLiteral("string"), TRValue::fromString(text));
    contents.insert(QStringLiteral("empty"), TRValue::fromString(QString()));
    contents.insert(QStringLiteral("integer"), TRValue::fromInteger(-5));
    contents.insert(QStringLiteral("unsigned"), TRValue::fromUnsigned(~quint64(0)));
    contents.insert(QStringLiteral("real"), TRValue::fromReal(0.1));
    contents.insert(QStringLiteral("huge"), TRValue::fromReal(-1e300));
    contents.insert(QStringLiteral("boolean"), TRValue::fromBool(false));
    contents.insert(QStringLiteral("date"), TRValue::fromDate(utc(2024, 2, 29, 23, 59, 59, 0.123456789)));
    contents.insert(QStringLiteral("future"), TRValue::fromDate(utc(50000, 1, 1, 0, 0, 0, 0.5)));
    contents.insert(QStringLiteral("past"), TRValue::fromDate(utc(-300, 6, 1, 12, 0, 0)));
    contents.insert(QStringLiteral("data"), TRValue::fromData(bytes));
    const TRValue original = TRValue::fromDictionary(contents);
    // Written in binary, as another program would: XML could not carry U+0000 or the fractions.
    QByteArray file;
    ASSERT_TRUE(TRPropertyList::writeBinary(original, &file));
    {
        QFile out(domainFile(kDomain));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(file);
    }

    for (const char *zone : {"UTC", "Asia/Kolkata"}) {
        const TimeZone inZone(zone);
        start();
        selectDomain(kDomain);
        for (const QString &name : keysOf(original)) {
            selectKey({name});
            TRSheetRunner::setNextAnswer(1);
            trigger("actionEditKey");
        }
        EXPECT_EQ(undoNames().size(), contents.size()) << zone;
        EXPECT_TRUE(domain(kDomain)->modified());
        trigger("actionSaveDomain");
        EXPECT_FALSE(domain(kDomain)->modified()) << zone;
        QFile in(domainFile(kDomain));
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        TRValue read;
        ASSERT_TRUE(TRPropertyList::read(in.readAll(), &read));
        for (const QString &name : keysOf(original))
            EXPECT_EQ(read.toDictionary().value(name), contents.value(name))
                << name.toStdString() << " in " << zone;
        stop();
    }
}

TEST_F(KeyTest, DatesAreShownInTheLocalZoneNamedAndStoredAsInstants)
{
    struct Case
    {
        const char *zone;
        QString shown;      // 2024-01-02 03:04:05 UTC as the sheet shows it
        double julyNoonUtc; // what 2024-07-01 12:00:00 typed on the sheet stands for
    };
    const Case cases[] = {
        {"UTC", QStringLiteral("2024-01-02 03:04:05"), utc(2024, 7, 1, 12, 0, 0)},
        {"Asia/Kolkata", QStringLiteral("2024-01-02 08:34:05"), utc(2024, 7, 1, 6, 30, 0)},
        {"America/St_Johns", QStringLiteral("2024-01-01 23:34:05"), utc(2024, 7, 1, 14, 30, 0)},
    };
    for (const Case &c : cases) {
        const TimeZone inZone(c.zone);
        TRDictionary contents;
        contents.insert(QStringLiteral("when"), TRValue::fromDate(utc(2024, 1, 2, 3, 4, 5)));
        startShowing(kDomain, TRValue::fromDictionary(contents));
        selectKey({QStringLiteral("when")});
        TRSheetRunner::setNextAnswer(1, [&c](QDialog *sheet) {
            auto *field = sheet->findChild<QDateTimeEdit *>(QStringLiteral("dateValueField"));
            EXPECT_EQ(field->text(), c.shown) << c.zone;
            EXPECT_TRUE(sheet->findChild<QLabel *>(QStringLiteral("dateZoneLabel"))
                            ->text()
                            .contains(QLatin1String(c.zone)))
                << c.zone;
            field->setDateTime(QDateTime(QDate(2024, 7, 1), QTime(12, 0)));
        });
        trigger("actionEditKey");
        EXPECT_EQ(rootValue().toDictionary().value(QStringLiteral("when")), TRValue::fromDate(c.julyNoonUtc))
            << c.zone;
        EXPECT_EQ(m_controller->selectedKey()->typeName(), QStringLiteral("Date"));
        stop();
    }
}
