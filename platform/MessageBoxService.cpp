#include "MessageBoxService.h"

#include <QtDebug>

namespace {

CMessageBoxService* installed = nullptr;

// Without a service installed (no window, and no console of a command) a box goes to Qt's
// message log and is dismissed: nothing here may need the window's libraries.
class CLoggedMessageBox final : public CMessageBoxService
{
public:
    int Show(QWidget*, const QString& text, const QString& caption, unsigned type) override
    {
        qWarning().noquote() << caption + QStringLiteral(": ") + text;
        return DismissAnswer(type);
    }
};

} // namespace

CMessageBoxService::~CMessageBoxService() = default;

CMessageBoxService& CMessageBoxService::Current()
{
    static CLoggedMessageBox logged;
    return installed ? *installed : logged;
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
