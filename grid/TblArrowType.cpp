#include "TblArrowType.h"

CTblArrowType::CTblArrowType()
{
    m_bEditable = 0;
}
