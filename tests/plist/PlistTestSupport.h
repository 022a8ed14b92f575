#pragma once

#include "TRValue.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Helpers shared by the property-list tests.
namespace plisttest {

// A binary property list assembled object by object, with every trailer field open to damage.
struct BinaryFile
{
    QList<QByteArray> objects;
    int offsetSize = 1;
    int referenceSize = 1;
    qint64 objectCount = -1; // the number of objects unless set
    quint64 top = 0;
    qint64 tableOffset = -1; // where the table is written unless set
    QByteArray build() const;
};

// Reads bytes that must be refused; answers the error (empty, with a test failure, when accepted).
QString refusal(const QByteArray &bytes);

// Fails the test unless scanning the bytes (TRPropertyList::readShape) says what reading them and then
// checking the expansion bound says: the same verdict, the same message, and the shape of the value; and
// that readWithinBound() says the same.
// refusal() and accepted() check it on every input they are given.
void expectShapeAgrees(const QByteArray &bytes);

// Reads bytes that must be accepted.
TRValue accepted(const QByteArray &bytes);

// A dictionary value from (key, value) pairs in order.
TRValue dict(std::initializer_list<std::pair<QString, TRValue>> entries);

// Arrays nested `levels` deep around an empty array, in the given text form: "xml", "openstep".
QByteArray nestedText(const char *form, int levels);

} // namespace plisttest
