#include "SmoothProgressBar.h"

#include "DialogBuilder.h"

CSmoothProgressBar::CSmoothProgressBar(QWidget* parent) : QProgressBar(parent)
{
    setTextVisible(false);
}

CSmoothProgressBar* CSmoothProgressBar::ReplacePlaceholder(QWidget* dialog, int id)
{
    QWidget* placeholder = CDialogBuilder::GetDlgItem(dialog, id);
    if (!placeholder)
        return nullptr;
    auto* bar = new CSmoothProgressBar(placeholder->parentWidget());
    bar->setGeometry(placeholder->geometry());
    // The bar answers to the id from now on; the hidden placeholder no longer does.
    placeholder->setProperty(CDialogBuilder::ControlIdProperty, QVariant());
    bar->setProperty(CDialogBuilder::ControlIdProperty, id);
    bar->show();
    return bar;
}
