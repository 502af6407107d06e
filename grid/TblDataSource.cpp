#include "TblDataSource.h"

CTblDataSource::~CTblDataSource() = default;

int CTblDataSource::AddRowBefore(long)
{
    return -1;
}

int CTblDataSource::AddColumnBefore(int)
{
    return -1;
}

int CTblDataSource::RemoveRow(long)
{
    return -1;
}

int CTblDataSource::RemoveColumn(int)
{
    return -1;
}

int CTblDataSource::RemoveCell(int, long)
{
    return -1;
}

int CTblDataSource::RemoveAll()
{
    return -1;
}

int CTblDataSource::FetchCell(int, long, CTblCell&)
{
    return -1;
}

int CTblDataSource::StoreCell(int, long, const CTblCell&)
{
    return -1;
}

int CTblDataSource::FindFrom(const QString&, int&, long&, int)
{
    return -1;
}

int CTblDataSource::FindAfter(const QString&, int&, long&, int)
{
    return -1;
}

int CTblDataSource::SortRows(const int*, int, int)
{
    return -1;
}

int CTblDataSource::SortRowsBy(int, int)
{
    return -1;
}

int CTblDataSource::ExtendRows(long, long, long& added)
{
    added = 0;
    return -1;
}

void CTblDataSource::RowChanged(long, long) {}

void CTblDataSource::ColumnChanged(int, int) {}

int CTblDataSource::AllowMove(int, long, int, long)
{
    return 1;
}

bool CTblDataSource::AllowEditBegin(int, long, QWidget**)
{
    return true;
}

int CTblDataSource::AllowEditEnd(int, long, QWidget*, const QString&, int)
{
    return 1;
}

int CTblDataSource::AllowEditNext(int, long, int*, long*)
{
    return 1;
}

int CTblDataSource::PrevFilledColumn(int&, long)
{
    return -1;
}
