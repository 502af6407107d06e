#include "NotificationIconService.h"

#include "NotificationIconSystemTray.h"

namespace {
CNotificationIconService* installed = nullptr;
} // namespace

CNotificationIconService::~CNotificationIconService() = default;

CNotificationIconService& CNotificationIconService::Current()
{
    static CNotificationIconSystemTray systemTray;
    return installed ? *installed : systemTray;
}

void CNotificationIconService::Install(CNotificationIconService* service)
{
    installed = service;
}
