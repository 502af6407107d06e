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
