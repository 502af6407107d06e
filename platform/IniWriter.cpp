#include "IniWriter.h"

namespace {

bool IsHexDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// The value quoted, so that commas and semicolons are text; inside, a backslash escapes
// quotes and backslashes, and \x gives control characters and lone surrogates by their
// code. The reader takes every hex digit after \x, so a digit right after one is escaped
// too. A leading '@' is doubled: QSettings reads "@..." as a typed value.
QByteArray Quoted(const QString& value)
{
    QByteArray text = "\"";
    if (value.startsWith(u'@'))
        text += '@';
    bool afterHexEscape = false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        const char16_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate()) {
            text += value.sliced(i++, 2).toUtf8();
            afterHexEscape = false;
        } else if (code < 0x20 || code == 0x7F || c.isSurrogate() ||
                   (afterHexEscape && IsHexDigit(code))) {
            text += "\\x" + QByteArray::number(code, 16);
            afterHexEscape = true;
        } else {
            if (code == u'"' || code == u'\\')
                text += '\\';
            text += QStringView(&c, 1).toUtf8();
            afterHexEscape = false;
        }
    }
    return text + '"';
}

} // namespace

void CIniWriter::BeginGroup(const QString& group)
{
    m_text += '[' + group.toLatin1() + "]\n";
}

void CIniWriter::SetValue(const QString& key, const QString& value)
{
    m_text += key.toLatin1() + '=' + Quoted(value) + '\n';
}
