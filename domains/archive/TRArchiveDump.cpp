#include "TRArchiveDump.h"

#include "TRDateTime.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace {

struct Checks
{
    qint64 nodes = 0;
    bool parentLinks = true;
    bool domainsConsistent = true;
};

void appendString(QByteArray &out, QStringView text)
{
    out += '"';
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (u == '"' || u == '\\') {
            out += '\\';
            out += char(u);
        } else if (u == '\n') {
            out += "\\n";
        } else if (u == '\t') {
            out += "\\t";
        } else if (u < 0x20 || (c.isSurrogate() && !(c.isHighSurrogate() && i + 1 < text.size() &&
                                                     text.at(i + 1).isLowSurrogate()))) {
            // Control characters and unpaired surrogates (which UTF-8 cannot carry) as escapes.
            out += "\\u" + QByteArray::number(u, 16).rightJustified(4, '0');
        } else if (c.isHighSurrogate()) {
            out += QStringView(text).mid(i, 2).toUtf8();
            ++i;
        } else {
            out += QStringView(text).mid(i, 1).toUtf8();
        }
    }
    out += '"';
}

void appendDouble(QByteArray &out, double number)
{
    if (std::isnan(number)) {
        out += "\"nan\"";
        return;
    }
    if (std::isinf(number)) {
        out += number > 0 ? "\"inf\"" : "\"-inf\"";
        return;
    }
    QByteArray text = QByteArray::number(number, 'g', QLocale::FloatingPointShortest);
    if (!text.contains('.') && !text.contains('e'))
        text += ".0"; // stays a real, and -0.0 keeps its sign
    out += text;
}

void appendNumberName(QByteArray &out, const TRValue &name)
{
    if (name.isBoolean())
        out += name.toBool() ? "true" : "false";
    else if (name.isReal())
        appendDouble(out, name.toReal());
    else if (name.isUnsignedInteger())
        out += QByteArray::number(name.toUnsigned());
    else
        out += QByteArray::number(name.toInteger());
}

QByteArray isoText(double seconds)
{
    const std::optional<TRCivilTime> civil = trCivilFromDate(seconds);
    if (!civil)
        return {};
    return QStringLiteral("%1-%2-%3T%4:%5:%6Z")
        .arg(civil->year, 4, 10, QLatin1Char('0'))
        .arg(civil->month, 2, 10, QLatin1Char('0'))
        .arg(civil->day, 2, 10, QLatin1Char('0'))
        .arg(civil->hour, 2, 10, QLatin1Char('0'))
        .arg(civil->minute, 2, 10, QLatin1Char('0'))
        .arg(civil->second, 2, 10, QLatin1Char('0'))
        .toUtf8();
}

void appendLeaf(QByteArray &out, const TRValue &value)
{
    // The boolean test comes first: a boolean is also a number.
    if (value.isBoolean()) {
        out += "\"kind\": \"boolean\", \"value\": ";
        out += value.toBool() ? "true" : "false";
    } else if (value.isInteger()) {
        out += "\"kind\": \"integer\", \"value\": ";
        out += value.isUnsignedInteger() ? QByteArray::number(value.toUnsigned())
                                         : QByteArray::number(value.toInteger());
    } else if (value.isReal()) {
        out += "\"kind\": \"real\", \"value\": ";
        appendDouble(out, value.toReal());
    } else if (value.isDate()) {
        out += "\"kind\": \"date\", \"value\": ";
        appendDouble(out, value.toDate());
        const QByteArray iso = isoText(value.toDate());
        if (!iso.isEmpty())
            out += ", \"iso\": \"" + iso + '"';
    } else if (value.isData()) {
        out += "\"kind\": \"data\", \"value\": \"" + value.toData().toHex() + '"';
    } else if (value.isString()) {
        out += "\"kind\": \"string\", \"value\": ";
        appendString(out, value.stringView());
    } else {
        out += "\"kind\": \"none\"";
    }
}

void appendNode(QByteArray &out, const TRKey &node, const QString *key, const QString &rootDomain,
                bool isRoot, int indent, Checks &checks)
{
    ++checks.nodes;
    if (node.domain() != rootDomain)
        checks.domainsConsistent = false;
    out += QByteArray(indent, ' ') + '{';
    if (key) {
        out += "\"key\": ";
        appendString(out, *key);
        out += ", ";
    }
    out += "\"name\": ";
    const TRValue &name = node.name();
    if (name.isNone())
        out += "null";
    else if (name.isString())
        appendString(out, name.toString());
    else
        appendNumberName(out, name);
    if (isRoot || node.domain() != rootDomain) {
        out += ", \"domain\": ";
        appendString(out, node.domain());
    }
    out += ", ";
    if (!node.isCompound()) {
        appendLeaf(out, node.value());
        out += '}';
        return;
    }
    out += node.isArray() ? "\"kind\": \"array\"" : "\"kind\": \"dict\"";
    out += ", \"count\": " + QByteArray::number(node.count()) + ", \"children\": [";
    const std::vector<TRKeyPtr> &children = node.children();
    std::vector<std::size_t> order(children.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::vector<QList<uint>> codePoints;
    if (node.isDictionary()) {
        // Dictionary entries by key, in code-point order.
        codePoints.reserve(children.size());
        for (std::size_t i = 0; i < children.size(); ++i)
            codePoints.push_back(node.keyAtIndex(int(i)).toUcs4());
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return codePoints[a] < codePoints[b]; });
    }
    for (std::size_t i = 0; i < order.size(); ++i) {
        const TRKey &child = *children[order[i]];
        if (child.parent().get() != &node)
            checks.parentLinks = false;
        out += i ? ",\n" : "\n";
        if (node.isDictionary()) {
            const QString childKey = node.keyAtIndex(int(order[i]));
            appendNode(out, child, &childKey, rootDomain, false, indent + 2, checks);
        } else {
            appendNode(out, child, nullptr, rootDomain, false, indent + 2, checks);
        }
    }
    if (!order.empty())
        out += '\n' + QByteArray(indent, ' ');
    out += "]}";
}

} // namespace

QByteArray TRArchiveDump::dump(const TRArchiveContents &contents)
{
    Checks checks;
    QByteArray out = contents.isList ? "{\"file\": \"multi\", " : "{\"file\": \"single\", ";
    if (contents.isList)
        out += contents.mutableList ? "\"mutable_list\": true, " : "\"mutable_list\": false, ";
    out += "\"domains\": [";
    bool first = true;
    for (const TRDomainControllerPtr &domain : contents.domains) {
        out += first ? "\n" : ",\n";
        first = false;
        out += "  {\"name\": ";
        appendString(out, domain->name());
        out += ", \"modified\": ";
        out += domain->modified() ? "true" : "false";
        out += ", \"root\":\n";
        const TRKeyPtr &root = domain->rootKey();
        if (!root) {
            out += "    null}";
            continue;
        }
        if (root->parent())
            checks.parentLinks = false;
        appendNode(out, *root, nullptr, root->domain(), true, 4, checks);
        out += '}';
    }
    out += first ? "],\n" : "\n],\n";
    out += " \"checks\": {\"nodes\": " + QByteArray::number(checks.nodes) +
           ", \"parent_links\": " + (checks.parentLinks ? "true" : "false") +
           ", \"domains_consistent\": " + (checks.domainsConsistent ? "true" : "false") + "}}\n";
    return out;
}
