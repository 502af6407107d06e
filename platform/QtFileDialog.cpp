#include "QtFileDialog.h"

#include <QFileDialog>

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
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return WithDefaultExtension(dialog.selectedFiles().constFirst(), request.defaultExt);
}
