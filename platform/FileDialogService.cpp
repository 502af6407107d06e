#include "FileDialogService.h"

#include "QtFileDialog.h"

#include <QFileInfo>
#include <QStringList>

namespace {
CFileDialogService* installed = nullptr;
} // namespace

CFileDialogService::~CFileDialogService() = default;

CFileDialogService& CFileDialogService::Current()
{
    static CQtFileDialog qtFileDialog;
    return installed ? *installed : qtFileDialog;
}

void CFileDialogService::Install(CFileDialogService* service)
{
    installed = service;
}

QString CFileDialogService::ToQtFilter(const QString& windowsFilter)
{
    const QStringList parts = windowsFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size() && !parts[i].isEmpty(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            pattern = pattern.trimmed();
        patterns.removeAll(QString());
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(u' '));
    }
    return filters.join(QStringLiteral(";;"));
}

QString CFileDialogService::BareExtension(const QString& defaultExt)
{
    const qsizetype dot = defaultExt.lastIndexOf(u'.');
    return dot < 0 ? defaultExt : defaultExt.mid(dot + 1);
}

QString CFileDialogService::WithDefaultExtension(const QString& path, const QString& defaultExt)
{
    const QString extension = BareExtension(defaultExt);
    const QString name = QFileInfo(path).fileName();
    if (extension.isEmpty() || name.isEmpty() || name.contains(u'.'))
        return path;
    return path + u'.' + extension;
}
