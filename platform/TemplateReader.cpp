#include "TemplateReader.h"

#include "ResourceFile.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QtDebug>

#include <climits>
#include <cmath>

namespace {
// Integral numbers within int's range only: 1.5 or 1e12 are errors, not rounded.
std::optional<int> IntOf(const QJsonValue& value)
{
    const double number = value.toDouble();
    if (!value.isDouble() || number < INT_MIN || number > INT_MAX || std::trunc(number) != number)
        return std::nullopt;
    return static_cast<int>(number);
}
} // namespace

QByteArray CTemplateReader::ReadResource(const QString& kind, int id, QString& error)
{
    return CResourceFile::Read(QStringLiteral(":/text/%1%2.json").arg(kind).arg(id), error);
}

void CTemplateReader::Warn(const QString& kind, int id, const QString& error)
{
    qWarning().noquote() << QStringLiteral("%1 template %2:").arg(kind).arg(id) << error;
}

QJsonObject CTemplateReader::Document(const QByteArray& json)
{
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        Fail(QStringLiteral("invalid JSON at offset %1: %2")
                 .arg(parseError.offset)
                 .arg(parseError.errorString()));
    else if (!document.isObject())
        Fail(QStringLiteral("the document is not an object"));
    return Failed() ? QJsonObject() : document.object();
}

int CTemplateReader::Int(const QJsonObject& object, const QString& key, std::optional<int> fallback)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() && fallback)
        return *fallback;
    const std::optional<int> number = IntOf(value);
    if (!number)
        Fail(QStringLiteral("\"%1\" must be an integer").arg(key));
    return Failed() ? 0 : *number;
}

QString CTemplateReader::String(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    if (!value.isUndefined() && !value.isString())
        Fail(QStringLiteral("\"%1\" must be a string").arg(key));
    return Failed() ? QString() : value.toString();
}

QStringList CTemplateReader::Words(const QJsonObject& object, const QString& key,
                                   const QStringList& allowed)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined())
        return {};
    QStringList words;
    for (const QJsonValue item : value.toArray())
        words << item.toString();
    if (!value.isArray() || words.contains(QString()))
        Fail(QStringLiteral("\"%1\" must be an array of strings").arg(key));
    for (const QString& word : std::as_const(words)) {
        if (!Failed() && !allowed.contains(word))
            Fail(QStringLiteral("\"%1\": unknown \"%2\"").arg(key, word));
    }
    return Failed() ? QStringList() : words;
}

QList<QJsonObject> CTemplateReader::Objects(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    QList<QJsonObject> objects;
    for (const QJsonValue item : value.toArray()) {
        if (!item.isObject())
            Fail(QStringLiteral("\"%1\" must hold objects only").arg(key));
        objects << item.toObject();
    }
    if (!value.isArray())
        Fail(QStringLiteral("\"%1\" must be an array").arg(key));
    return Failed() ? QList<QJsonObject>() : objects;
}

QJsonObject CTemplateReader::Object(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    if (!value.isObject())
        Fail(QStringLiteral("\"%1\" must be an object").arg(key));
    return Failed() ? QJsonObject() : value.toObject();
}

QRect CTemplateReader::Rect(const QJsonObject& object, const QString& key)
{
    const std::optional<QList<int>> values = Ints(object, key, 4);
    if (values && ((*values)[2] < 0 || (*values)[3] < 0))
        Fail(QStringLiteral("\"%1\" must not have a negative size").arg(key));
    return Failed() ? QRect() : QRect((*values)[0], (*values)[1], (*values)[2], (*values)[3]);
}

QSize CTemplateReader::Size(const QJsonObject& object, const QString& key)
{
    const std::optional<QList<int>> values = Ints(object, key, 2);
    if (values && ((*values)[0] <= 0 || (*values)[1] <= 0))
        Fail(QStringLiteral("\"%1\" must be above 0").arg(key));
    return Failed() ? QSize() : QSize((*values)[0], (*values)[1]);
}

void CTemplateReader::Fail(const QString& message)
{
    if (!Failed())
        m_error = m_context.isEmpty() ? message : m_context + QStringLiteral(": ") + message;
}

std::optional<QList<int>> CTemplateReader::Ints(const QJsonObject& object, const QString& key,
                                                int count)
{
    const QJsonValue value = object.value(key);
    QList<int> values;
    for (const QJsonValue item : value.toArray()) {
        if (const std::optional<int> number = IntOf(item))
            values << *number;
    }
    if (!value.isArray() || value.toArray().size() != count || values.size() != count)
        Fail(QStringLiteral("\"%1\" must be an array of %2 integers").arg(key).arg(count));
    return Failed() ? std::nullopt : std::optional(values);
}
