// A progress bar without text of its own, put in the place of a dialog's hidden
// placeholder static, from which it takes the control id.
#pragma once

#include <QProgressBar>

class CSmoothProgressBar : public QProgressBar
{
public:
    // Creates the bar over the placeholder with that id and shows it; nullptr when the
    // dialog has no such control.
    static CSmoothProgressBar* ReplacePlaceholder(QWidget* dialog, int id);

private:
    explicit CSmoothProgressBar(QWidget* parent);
};
