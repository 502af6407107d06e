#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

// Reads the fields of a dialog or menu template's JSON form, keeping the first error:
// after a failure every read returns an empty value, so a parser can read on and check
// once at the end.
class CTemplateReader
{
public:
    // The template of that kind ("dialog", "menu") and id from the resource
    // ":/text/<kind><id>.json"; an invalid one, with a warning logged, when there is none,
    // it is malformed or it holds another id.
    template <class Template> static Template Load(const QString& kind, int id)
    {
        QString error;
        const QByteArray json = ReadResource(kind, id, error);
        Template tpl = error.isEmpty() ? Template::FromJson(json, error) : Template();
        if (error.isEmpty() && tpl.id != id)
            error = QStringLiteral("the resource holds id %1").arg(tpl.id);
        if (error.isEmpty())
            return tpl;
        Warn(kind, id, error);
        return Template();
    }

    QJsonObject Document(const QByteArray& json);
    // A required number, or fallback when the key is missing and a fallback is given.
    int Int(const QJsonObject& object, const QString& key,
            std::optional<int> fallback = std::nullopt);
    // An optional text, "" when missing.
    QString String(const QJsonObject& object, const QString& key);
    // An optional list of words, each of which must be one of allowed.
    QStringList Words(const QJsonObject& object, const QString& key, const QStringList& allowed);
    // A required array of objects.
    QList<QJsonObject> Objects(const QJsonObject& object, const QString& key);
    QJsonObject Object(const QJsonObject& object, const QString& key);
    // [x, y, width, height] with a size of 0 or more.
    QRect Rect(const QJsonObject& object, const QString& key);
    // [width, height] with both above 0.
    QSize Size(const QJsonObject& object, const QString& key);

    // Names where the next errors happen, e.g. "control 3".
    void SetContext(const QString& context) { m_context = context; }
    void Fail(const QString& message);
    bool Failed() const { return !m_error.isEmpty(); }
    QString Error() const { return m_error; }

private:
    static QByteArray ReadResource(const QString& kind, int id, QString& error);
    static void Warn(const QString& kind, int id, const QString& error);

    std::optional<QList<int>> Ints(const QJsonObject& object, const QString& key, int count);

    QString m_context;
    QString m_error;
};
