#include "TRArchiveDescription.h"

#include "TRLimits.h"
#include "TRText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <limits>

namespace {

class Builder
{
public:
    QString error;

    TRDomainControllerPtr domain(const QJsonValue &description)
    {
        const QJsonObject object = description.toObject();
        const QJsonValue name = object.value(QLatin1String("domain"));
        if (!description.isObject() || !name.isString() || !object.value(QLatin1String("root")).isObject()) {
            fail(trText("A domain is described as {\"domain\": name, \"root\": {\"dict\": ...}}."));
            return nullptr;
        }
        m_domain = name.toString();
        const TRKeyPtr root = node(object.value(QLatin1String("root")), TRValue(), 0);
        if (!root)
            return nullptr;
        if (!root->isDictionary()) {
            fail(trFormat(trText("The root of the domain %@ is not a dictionary."), {m_domain}));
            return nullptr;
        }
        return std::make_shared<TRDomainController>(m_domain, root);
    }

private:
    QString m_domain;

    void fail(const QString &message)
    {
        if (error.isEmpty())
            error = message;
    }

    bool integer(const QJsonValue &json, TRValue *value)
    {
        if (json.isString()) {
            bool ok = false;
            const QString text = json.toString();
            const qint64 signedNumber = text.toLongLong(&ok);
            if (ok) {
                *value = TRValue::fromInteger(signedNumber);
                return true;
            }
            const quint64 unsignedNumber = text.toULongLong(&ok);
            if (ok)
                *value = TRValue::fromUnsigned(unsignedNumber);
            return ok;
        }
        // A whole number (Qt keeps every digit of one that fits in 64 bits).
        if (!json.isDouble() || json.toInteger(0) != json.toInteger(1))
            return false;
        *value = TRValue::fromInteger(json.toInteger());
        return true;
    }

    static bool real(const QJsonValue &json, double *number)
    {
        if (json.isDouble()) {
            *number = json.toDouble();
            return true;
        }
        const QString text = json.toString();
        if (text == QLatin1String("nan"))
            *number = std::numeric_limits<double>::quiet_NaN();
        else if (text == QLatin1String("inf"))
            *number = std::numeric_limits<double>::infinity();
        else if (text == QLatin1String("-inf"))
            *number = -std::numeric_limits<double>::infinity();
        else
            return false;
        return true;
    }

    bool leaf(const QString &kind, const QJsonValue &json, TRValue *value)
    {
        double number = 0;
        if (kind == QLatin1String("string") && json.isString()) {
            *value = TRValue::fromString(json.toString());
        } else if (kind == QLatin1String("integer")) {
            return integer(json, value);
        } else if (kind == QLatin1String("real") && real(json, &number)) {
            *value = TRValue::fromReal(number);
        } else if (kind == QLatin1String("boolean") && json.isBool()) {
            *value = TRValue::fromBool(json.toBool());
        } else if (kind == QLatin1String("date") && real(json, &number)) {
            *value = TRValue::fromDate(number);
        } else if (kind == QLatin1String("data") && json.isString()) {
            const QByteArray hex = json.toString().toLatin1();
            const QByteArray bytes = QByteArray::fromHex(hex);
            if (bytes.size() * 2 != hex.size())
                return false;
            *value = TRValue::fromData(bytes);
        } else if (kind == QLatin1String("none") && json.isNull()) {
            *value = TRValue();
        } else {
            return false;
        }
        return true;
    }

    TRKeyPtr node(const QJsonValue &description, const TRValue &defaultName, int depth)
    {
        if (!error.isEmpty())
            return nullptr;
        QJsonObject object = description.toObject();
        TRValue name = defaultName;
        if (object.size() == 2 && object.contains(QLatin1String("node")) &&
            object.contains(QLatin1String("name"))) {
            const QJsonValue given = object.value(QLatin1String("name"));
            if (given.isString())
                name = TRValue::fromString(given.toString());
            else if (given.isNull())
                name = TRValue();
            else if (!integer(given, &name)) {
                fail(trText("A child's name is a whole number, a text or null."));
                return nullptr;
            }
            object = object.value(QLatin1String("node")).toObject();
        }
        if (object.size() != 1) {
            fail(
                trText("A value is described as an object with one member, such as {\"string\": \"text\"}."));
            return nullptr;
        }
        const QString kind = object.begin().key();
        const QJsonValue json = object.begin().value();
        const bool isArray = kind == QLatin1String("array");
        if (!isArray && kind != QLatin1String("dict")) {
            TRValue value;
            if (!leaf(kind, json, &value)) {
                fail(trFormat(trText("The value {\"%@\": ...} is not valid."), {kind}));
                return nullptr;
            }
            return TRKey::create(name, value, nullptr, m_domain);
        }
        if (depth >= kTRMaxNestingDepth) {
            fail(trFormat(trText("The values are nested deeper than %@ levels."),
                          {QString::number(kTRMaxNestingDepth)}));
            return nullptr;
        }
        TRKeyPtr result;
        if (isArray) {
            if (!json.isArray()) {
                fail(trText("An array is described as {\"array\": [...]}."));
                return nullptr;
            }
            const QJsonArray elements = json.toArray();
            std::vector<TRKeyPtr> children;
            children.reserve(std::size_t(elements.size()));
            for (qsizetype i = 0; i < elements.size(); ++i) {
                TRKeyPtr child = node(elements.at(i), TRValue::fromInteger(i), depth + 1);
                if (!child)
                    return nullptr;
                children.push_back(std::move(child));
            }
            result = TRKey::createList(name, m_domain, std::move(children));
        } else {
            if (!json.isObject()) {
                fail(trText("A dictionary is described as {\"dict\": {...}}."));
                return nullptr;
            }
            const QJsonObject entries = json.toObject();
            std::vector<std::pair<QString, TRKeyPtr>> children;
            children.reserve(std::size_t(entries.size()));
            for (auto it = entries.begin(); it != entries.end(); ++it) {
                TRKeyPtr child = node(it.value(), TRValue::fromString(it.key()), depth + 1);
                if (!child)
                    return nullptr;
                children.emplace_back(it.key(), std::move(child));
            }
            result = TRKey::createDictionary(name, m_domain, std::move(children));
        }
        result->performForAll([](TRKey &child, const TRKeyPtr &parent) { child.setParent(parent); }, result);
        return result;
    }
};

} // namespace

bool TRArchiveDescription::read(const QByteArray &json, TRArchiveContents *contents, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (document.isNull()) {
        if (error)
            *error = trFormat(trText("Not a JSON text (at offset %@): %@"),
                              {QString::number(parseError.offset), parseError.errorString()});
        return false;
    }
    const QJsonObject top = document.object();
    Builder builder;
    TRArchiveContents result;
    if (top.contains(QLatin1String("domains"))) {
        if (!top.value(QLatin1String("domains")).isArray()) {
            if (error)
                *error = trText("\"domains\" must be a list of domains.");
            return false;
        }
        result.isList = true;
        for (const QJsonValue &domain : top.value(QLatin1String("domains")).toArray()) {
            TRDomainControllerPtr controller = builder.domain(domain);
            if (!controller)
                break;
            result.domains.push_back(std::move(controller));
        }
    } else if (TRDomainControllerPtr controller = builder.domain(top)) {
        result.domains.push_back(std::move(controller));
    }
    if (!builder.error.isEmpty()) {
        if (error)
            *error = builder.error;
        return false;
    }
    *contents = std::move(result);
    return true;
}
