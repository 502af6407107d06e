#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The program's string table: user-visible texts looked up by their numeric id.
class CStringTable
{
public:
    // The text with that id, or "" when the table has none.
    static QString Load(int id);

    // Parses the table's text form (see res/text/strings.txt); every malformed line is
    // skipped and described in errors.
    static QHash<int, QString> Parse(const QString& text, QStringList& errors);

private:
    static const QHash<int, QString>& Table();
};
