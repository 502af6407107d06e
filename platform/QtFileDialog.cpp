#include "QtFileDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>

// The line goes under the dialog's own controls, which only the dialog Qt draws itself
// has: a desktop's native dialog takes no widget of ours.
void CQtFileDialog::AddDescription(QFileDialog& dialog,
                                   const std::function<QString(const QString&)>& describe)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* layout = qobject_cast<QGridLayout*>(dialog.layout());
    if (!layout)
        return;
    auto* description = new QLabel(&dialog);
    description->setObjectName(QStringLiteral("fileDescription"));
    description->setWordWrap(true);
    layout->addWidget(description, layout->rowCount(), 0, 1, layout->columnCount());
    QObject::connect(&dialog, &QFileDialog::currentChanged, description,
                     [description, describe](const QString& path) {
                         description->setText(QFileInfo(path).isFile() ? describe(path)
                                                                       : QString());
                     });
}

QString CQtFileDialog::Run(const FileDialogRequest& request)
{
    QFileDialog dialog(request.parent);
    dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(request.open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The filter list shows the descriptions alone, the patterns only filter.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilter(ToQtFilter(request.filter));
    // Added before the file is checked, so that opening "name" finds "name.ext" and saving
    // asks before overwriting "name.ext".
    dialog.setDefaultSuffix(BareExtension(request.defaultExt));
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (request.describeFile)
        AddDescription(dialog, request.describeFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return WithDefaultExtension(dialog.selectedFiles().constFirst(), request.defaultExt);
}
