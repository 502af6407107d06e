#pragma once

#include "MessageBoxService.h"

// The message box service on QMessageBox.
class CQtMessageBox : public CMessageBoxService
{
public:
    int Show(QWidget* owner, const QString& text, const QString& caption, unsigned type) override;
};
