// The value sheets: a value confirmed unchanged comes back bit for bit, dates are shown in the local time
// zone and stored as instants, and every sheet opens ready for typing.
#include "KeyTestSupport.h"
#include "TRDateEditor.h"
#include "TRDateTime.h"
#include "plist/TRPropertyList.h"

#include <QDateTimeEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
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

// Every sheet opens ready for typing: the field a user changes has the focus and its text is selected, so
// that typing replaces the value; the title names the key and its domain.
TEST_F(KeyTest, EverySheetOpensWithTheValueSelectedForTyping)
{
    TRDictionary values;
    values.insert(QStringLiteral("whole"), TRValue::fromInteger(42));
    values.insert(QStringLiteral("real"), TRValue::fromReal(28.5));
    values.insert(QStringLiteral("truth"), TRValue::fromBool(false));
    values.insert(QStringLiteral("text"), str("hello"));
    values.insert(QStringLiteral("date"), TRValue::fromDate(utc(2024, 2, 29, 12, 0, 0)));
    values.insert(QStringLiteral("bytes"), TRValue::fromData(QByteArray("\x01\x02", 2)));
    startShowing(kDomain, TRValue::fromDictionary(values));

    // The selected text of the focused field, whatever kind of field it is.
    const auto selectedText = [](QWidget *focus) -> QString {
        if (auto *line = qobject_cast<QLineEdit *>(focus))
            return line->selectedText();
        if (auto *plain = qobject_cast<QPlainTextEdit *>(focus))
            return plain->textCursor().selectedText();
        return QString();
    };
    const struct
    {
        const char *key;
        const char *focusName; // the focused widget, or the one it belongs to
        const char *selected;  // null: a control without text
    } cases[] = {
        {"whole", "integerValueEdit", "42"},   {"real", "realValueEdit", "28.5"},
        {"truth", "booleanNoButton", nullptr}, {"text", "stringValueEdit", "hello"},
        {"date", "dateValueEdit", nullptr},    {"bytes", "dataValueHexEdit", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.key);
        selectKey({QString::fromLatin1(c.key)});
        bool opened = false;
        TRSheetRunner::setNextAnswer(0, [&](QDialog *sheet) {
            opened = true;
            QWidget *focus = sheet->focusWidget();
            ASSERT_NE(focus, nullptr);
            QWidget *owner = sheet->findChild<QWidget *>(QString::fromLatin1(c.focusName));
            ASSERT_NE(owner, nullptr);
            EXPECT_TRUE(focus == owner || owner->isAncestorOf(focus)) << qPrintable(focus->objectName());
            if (c.selected) {
                EXPECT_EQ(selectedText(focus), QString::fromLatin1(c.selected));
            } else if (auto *line = qobject_cast<QLineEdit *>(focus)) {
                EXPECT_EQ(line->selectedText(), line->text()); // the date's whole text
            }
            EXPECT_EQ(sheet->windowTitle(),
                      QStringLiteral("Edit \u201c%1\u201d in %2").arg(QLatin1String(c.key), kDomain));
        });
        trigger("actionEditKey");
        EXPECT_TRUE(opened);
    }
    // Cancelled: nothing changed.
    EXPECT_EQ(contents(kDomain), TRValue::fromDictionary(values));

    // The new-key and new-domain sheets: the name proposed or kept from the last use selected.
    for (const char *command : {"actionNewKey", "actionNewDomain"}) {
        SCOPED_TRACE(command);
        TRSheetRunner::setNextAnswer(0, [&](QDialog *sheet) {
            auto *name = qobject_cast<QLineEdit *>(sheet->focusWidget());
            ASSERT_NE(name, nullptr);
            EXPECT_EQ(name->selectedText(), name->text());
        });
        trigger(command);
    }
}
