#pragma once

#include <QByteArray>
#include <QString>

// Makes the text of a settings file in the INI form that QSettings reads, so that such a
// file can be written whole through CWholeFile (QSettings writes its files itself, and
// leaves its temporary file behind when it is killed). Values are text, kept exactly.
class CIniWriter
{
public:
    // Starts a section; group is a plain name (letters, digits, '_').
    void BeginGroup(const QString& group);
    // key is a plain name, as for a group.
    void SetValue(const QString& key, const QString& value);

    const QByteArray& Text() const { return m_text; }

private:
    QByteArray m_text;
};
