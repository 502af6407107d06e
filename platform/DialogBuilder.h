#pragma once

#include "DialogTemplate.h"

#include <QFont>

#include <functional>

class QWidget;

// Creates a dialog's controls from its template and finds them again by control id.
class CDialogBuilder
{
public:
    // Creates the widget for a control; returns nullptr to get the default widget.
    using Factory = std::function<QWidget*(const ControlTemplate&, QWidget* parent)>;

    // Dynamic property holding a built widget's control id.
    static constexpr char ControlIdProperty[] = "controlId";
    // Dynamic property holding a bitmap control's picture id; its owner sets the picture.
    static constexpr char BitmapIdProperty[] = "bitmapId";

    // Gives dialog its DialogFont, title, window decorations and fixed client size,
    // and one child widget per control in template order, placed from its rectangle in
    // dialog units and moved down by topOffset pixels (room for a menu bar, which also
    // adds to the client height). Buttons 1 and 2 accept and reject a QDialog. Call it
    // before the dialog is shown. An invalid template leaves the dialog as it is.
    static void Build(QWidget* dialog, const DialogTemplate& tpl, const Factory& factory = {},
                      int topOffset = 0);

    // The platform's general font (the template's family is a Windows font) at the
    // template's size, grown in proportion where the desktop's general font is larger than
    // usual.
    static QFont DialogFont(const DialogTemplate& tpl);

    // The first descendant of dialog with that control id, or nullptr.
    static QWidget* GetDlgItem(const QWidget* dialog, int id);
};
