#pragma once

#include "FileDialogService.h"

// The file dialog service on QFileDialog.
class CQtFileDialog : public CFileDialogService
{
public:
    QString Run(const FileDialogRequest& request) override;
};
