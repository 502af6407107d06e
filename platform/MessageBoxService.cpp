#include "MessageBoxService.h"

#include "QtMessageBox.h"

namespace {
CMessageBoxService* installed = nullptr;
} // namespace

CMessageBoxService::~CMessageBoxService() = default;

CMessageBoxService& CMessageBoxService::Current()
{
    static CQtMessageBox qtMessageBox;
    return installed ? *installed : qtMessageBox;
}

void CMessageBoxService::Install(CMessageBoxService* service)
{
    installed = service;
}

int CMessageBoxService::DismissAnswer(unsigned type)
{
    switch (type & Mb::ButtonMask) {
    case Mb::OkCancel:
    case Mb::YesNoCancel:
        return Id::Cancel;
    case Mb::YesNo:
        return Id::No;
    default:
        return Id::Ok;
    }
}
