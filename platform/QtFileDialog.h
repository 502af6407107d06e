#pragma once

#include "FileDialogService.h"

class QFileDialog;

// The file dialog service on QFileDialog.
class CQtFileDialog : public CFileDialogService
{
public:
    QString Run(const FileDialogRequest& request) override;

private:
    static void AddDescription(QFileDialog& dialog,
                               const std::function<QString(const QString&)>& describe);
};
