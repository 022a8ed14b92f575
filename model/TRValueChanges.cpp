#include "TRValueChanges.h"

#include <algorithm>

namespace {

QString quoted(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\')
            out += u'\\';
        if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out + u'"';
}

QString string(const QString &text, TROpenStepQuoting quoting)
{
    const bool plain =
        quoting == TROpenStepQuoting::WhereNeeded && !text.isEmpty() &&
        std::ranges::all_of(text, [](QChar c) { return c.unicode() < 128 && (c.isLetterOrNumber()); });
    return plain ? text : quoted(text);
}

void collect(const TRValue &older, const TRValue &newer, QStringList &names, QList<TRValueChange> *changes)
{
    using Kind = TRValueChange::Kind;
    if (older.isSameObject(newer))
        return;
    if (older.isDictionary() && newer.isDictionary()) {
        const TRDictionary &before = older.toDictionary();
        for (const auto &[key, value] : newer.toDictionary()) {
            names.append(key);
            const qsizetype at = before.indexOf(key);
            if (at < 0)
                changes->append({Kind::Added, names, TRValue(), value});
            else
                collect(before.valueAt(at), value, names, changes);
            names.removeLast();
        }
        for (const auto &[key, value] : before) {
            if (!newer.toDictionary().contains(key))
                changes->append({Kind::Removed, names + QStringList{key}, value, TRValue()});
        }
        return;
    }
    if (older.isArray() && newer.isArray()) {
        const TRArray &before = older.toArray();
        const TRArray &after = newer.toArray();
        for (qsizetype at = 0; at < std::max(before.size(), after.size()); ++at) {
            names.append(QString::number(at));
            if (at >= before.size())
                changes->append({Kind::Added, names, TRValue(), after.at(at)});
            else if (at >= after.size())
                changes->append({Kind::Removed, names, before.at(at), TRValue()});
            else
                collect(before.at(at), after.at(at), names, changes);
            names.removeLast();
        }
        return;
    }
    if (older != newer)
        changes->append({Kind::Changed, names, older, newer});
}

} // namespace

QList<TRValueChange> trValueChanges(const TRValue &older, const TRValue &newer)
{
    QList<TRValueChange> changes;
    QStringList names;
    collect(older, newer, names, &changes);
    return changes;
}

QString trOpenStepText(const TRValue &value, TROpenStepQuoting quoting)
{
    if (value.isString())
        return string(value.toString(), quoting);
    if (value.isBoolean())
        return value.toBool() ? QStringLiteral("<*BY>") : QStringLiteral("<*BN>");
    if (value.isInteger())
        return QStringLiteral("<*I%1>").arg(value.description());
    if (value.isReal())
        return QStringLiteral("<*R%1>").arg(value.description());
    if (value.isDate())
        return QStringLiteral("<*D%1>").arg(value.description());
    if (value.isData())
        return u'<' + QString::fromLatin1(value.toData().toHex()) + u'>';
    if (value.isArray()) {
        QStringList elements;
        for (const TRValue &element : value.toArray())
            elements.append(trOpenStepText(element, quoting));
        return u'(' + elements.join(QStringLiteral(", ")) + u')';
    }
    if (value.isDictionary()) {
        QString out = QStringLiteral("{");
        for (const auto &[key, element] : value.toDictionary())
            out += string(key, quoting) + QStringLiteral(" = ") + trOpenStepText(element, quoting) +
                   QStringLiteral("; ");
        return out + u'}';
    }
    return value.description();
}
