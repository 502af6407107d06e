#include "QtMessageBox.h"

#include <QMessageBox>

namespace {
QMessageBox::Icon IconOf(unsigned type)
{
    switch (type & Mb::IconMask) {
    case Mb::IconHand:
        return QMessageBox::Critical;
    case Mb::IconQuestion:
        return QMessageBox::Question;
    case Mb::IconExclamation:
        return QMessageBox::Warning;
    case Mb::IconAsterisk:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// The buttons in their order on the box; the first is the default one. An unknown button
// code gives a plain OK box.
QList<QMessageBox::StandardButton> ButtonsOf(unsigned type)
{
    switch (type & Mb::ButtonMask) {
    case Mb::OkCancel:
        return {QMessageBox::Ok, QMessageBox::Cancel};
    case Mb::YesNoCancel:
        return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case Mb::YesNo:
        return {QMessageBox::Yes, QMessageBox::No};
    default:
        return {QMessageBox::Ok};
    }
}

int IdOf(int button)
{
    switch (button) {
    case QMessageBox::Ok:
        return Id::Ok;
    case QMessageBox::Yes:
        return Id::Yes;
    case QMessageBox::No:
        return Id::No;
    default:
        return Id::Cancel;
    }
}
} // namespace

int CQtMessageBox::Show(QWidget* owner, const QString& text, const QString& caption, unsigned type)
{
    QMessageBox box(IconOf(type), caption, text, QMessageBox::NoButton, owner);
    const QList<QMessageBox::StandardButton> buttons = ButtonsOf(type);
    for (QMessageBox::StandardButton button : buttons)
        box.addButton(button);
    box.setDefaultButton(buttons.first());
    return IdOf(box.exec());
}
