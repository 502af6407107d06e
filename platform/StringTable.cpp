#include "StringTable.h"

#include "ResourceFile.h"

#include <QRegularExpression>
#include <QtDebug>

#include <optional>

namespace {
const QString TablePath = QStringLiteral(":/text/strings.txt");

// The text between the quotes with its escapes resolved; nothing when an escape is
// unknown or the closing quote is missing or not last.
std::optional<QString> Unquote(QStringView quoted)
{
    QString text;
    for (qsizetype i = 0; i < quoted.size(); ++i) {
        const QChar c = quoted[i];
        if (c == u'"')
            return i == quoted.size() - 1 ? std::optional<QString>(text) : std::nullopt;
        if (c != u'\\') {
            text += c;
            continue;
        }
        if (++i == quoted.size())
            return std::nullopt;
        switch (quoted[i].unicode()) {
        case u'"':
            text += u'"';
            break;
        case u'\\':
            text += u'\\';
            break;
        case u'n':
            text += u'\n';
            break;
        case u'r':
            text += u'\r';
            break;
        case u't':
            text += u'\t';
            break;
        default:
            return std::nullopt;
        }
    }
    return std::nullopt;
}
} // namespace

QString CStringTable::Load(int id)
{
    return Table().value(id);
}

QHash<int, QString> CStringTable::Parse(const QString& text, QStringList& errors)
{
    // The id, its name when code uses one (see ResourceIds.h), the quoted text.
    static const QRegularExpression entry(QStringLiteral("^(\\d+) (?:[A-Z][A-Z0-9_]* )?\"(.*)$"));
    QHash<int, QString> table;
    const QStringList lines = text.split(u'\n');
    for (qsizetype number = 0; number < lines.size(); ++number) {
        const QString line =
            lines[number].endsWith(u'\r') ? lines[number].chopped(1) : lines[number];
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        const QRegularExpressionMatch match = entry.match(line);
        bool idOk = false;
        const int id = match.hasMatch() ? match.captured(1).toInt(&idOk) : 0;
        const std::optional<QString> value =
            idOk && id > 0 ? Unquote(match.capturedView(2)) : std::nullopt;
        const QString where = QStringLiteral("line %1").arg(number + 1);
        if (!value)
            errors << where + QStringLiteral(": expected <id> [<NAME>] \"<text>\": ") + line;
        else if (table.contains(id))
            errors << where + QStringLiteral(": id %1 defined twice").arg(id);
        else
            table.insert(id, *value);
    }
    return table;
}

const QHash<int, QString>& CStringTable::Table()
{
    static const QHash<int, QString> table = [] {
        QString error;
        const QByteArray data = CResourceFile::Read(TablePath, error);
        QStringList errors;
        if (!error.isEmpty())
            errors << error;
        QHash<int, QString> parsed = Parse(QString::fromUtf8(data), errors);
        for (const QString& message : errors)
            qWarning().noquote() << "string table:" << message;
        return parsed;
    }();
    return table;
}
