#include "TblCheckBoxType.h"

CTblCheckBoxType::CTblCheckBoxType()
{
    m_bEditable = 0;
    m_bOverflow = 0;
}

QString CTblCheckBoxType::TypeName() const
{
    return QStringLiteral("Standard CheckBox Type");
}

QUuid CTblCheckBoxType::TypeIdentifier() const
{
    static const QUuid id(QStringLiteral("{d52f11f9-1e6f-4015-84fb-7bbee6aa1e65}"));
    return id;
}
