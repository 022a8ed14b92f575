// Changes of one key by its path, as the command line makes them: a table over paths (escapes, list
// positions, missing parents, through a leaf, the append position) and each kind of edit.
#include "TRKeyPathEdit.h"

#include "TRKeyPath.h"
#include "TRValueChanges.h"

#include <gtest/gtest.h>

namespace {

const QString kDomain = QStringLiteral("org.x");

TRValue sample()
{
    TRDictionary slashed;
    slashed.insert(QStringLiteral("in"), TRValue::fromInteger(1));
    TRDictionary top;
    top.insert(QStringLiteral("a"), TRValue::fromInteger(1));
    top.insert(QStringLiteral("list"), TRValue::fromArray({TRValue::fromString(QStringLiteral("x")),
                                                           TRValue::fromString(QStringLiteral("y"))}));
    top.insert(QStringLiteral("a/b"), TRValue::fromDictionary(std::move(slashed)));
    top.insert(QStringLiteral("z"), TRValue::fromBool(true));
    return TRValue::fromDictionary(std::move(top));
}

} // namespace

TEST(TRKeyPathEdit, EditsByPathChangeExactlyTheKeyOrNothing)
{
    using Kind = TRKeyPathEdit::Kind;
    const auto integer = [](qint64 n) { return TRValue::fromInteger(n); };
    struct Case
    {
        const char *label;
        Kind kind;
        const char *path;
        TRValue value;
        const char *newName;
        // The whole result as OpenStep text, or the error.
        const char *expected;
    } cases[] = {
        {"replace in place", Kind::Write, "a", integer(2), "",
         R"({a = <*I2>; list = (x, y); "a/b" = {in = <*I1>; }; z = <*BY>; })"},
        {"escaped slash", Kind::Write, "a\\/b/in", integer(5), "",
         R"({a = <*I1>; list = (x, y); "a/b" = {in = <*I5>; }; z = <*BY>; })"},
        {"missing parents made", Kind::Write, "new/deep/k", integer(3), "",
         R"({a = <*I1>; list = (x, y); "a/b" = {in = <*I1>; }; z = <*BY>; new = {deep = {k = <*I3>; }; }; })"},
        {"list position", Kind::Write, "list/1", integer(9), "",
         R"({a = <*I1>; list = (x, <*I9>); "a/b" = {in = <*I1>; }; z = <*BY>; })"},
        {"append position", Kind::Write, "list/2", integer(9), "",
         R"({a = <*I1>; list = (x, y, <*I9>); "a/b" = {in = <*I1>; }; z = <*BY>; })"},
        {"past the end", Kind::Write, "list/3", integer(9), "", "No key list/3 in org.x"},
        {"not a position", Kind::Write, "list/01", integer(9), "", "No key list/01 in org.x"},
        {"through a leaf", Kind::Write, "a/b", integer(9), "",
         "a in org.x is neither a list nor a dictionary"},
        {"delete",
         Kind::Delete,
         "list/0",
         {},
         "",
         R"({a = <*I1>; list = (y); "a/b" = {in = <*I1>; }; z = <*BY>; })"},
        {"delete missing", Kind::Delete, "nope/x", {}, "", "No key nope in org.x"},
        {"rename keeps the place",
         Kind::Rename,
         "a",
         {},
         "b",
         R"({b = <*I1>; list = (x, y); "a/b" = {in = <*I1>; }; z = <*BY>; })"},
        {"rename onto another", Kind::Rename, "a", {}, "z", "Key exists: z"},
        {"rename a list element",
         Kind::Rename,
         "list/0",
         {},
         "q",
         "list/0 in org.x is a list element: it has a position, not a name"},
        {"array add", Kind::ArrayAdd, "list",
         TRValue::fromArray({integer(3), TRValue::fromString(QStringLiteral("s"))}), "",
         R"({a = <*I1>; list = (x, y, <*I3>, s); "a/b" = {in = <*I1>; }; z = <*BY>; })"},
        {"array add makes the list", Kind::ArrayAdd, "fresh", TRValue::fromArray({integer(3)}), "",
         R"({a = <*I1>; list = (x, y); "a/b" = {in = <*I1>; }; z = <*BY>; fresh = (<*I3>); })"},
        {"array add to a leaf", Kind::ArrayAdd, "a", TRValue::fromArray({integer(3)}), "",
         "a in org.x is not a list"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        TRKeyPathEdit edit;
        edit.kind = c.kind;
        edit.names = trNamesInKeyPath(QString::fromUtf8(c.path));
        edit.value = c.value;
        edit.newName = QString::fromUtf8(c.newName);
        TRValue result;
        QString error;
        const bool done = trApplyKeyPathEdit(kDomain, sample(), edit, &result, &error);
        EXPECT_EQ((done ? trOpenStepText(result, TROpenStepQuoting::WhereNeeded) : error).toStdString(),
                  c.expected);
    }
}
