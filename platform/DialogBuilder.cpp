#include "DialogBuilder.h"

#include "DialogUnits.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtDebug>

#include <algorithm>

namespace {
// Button ids that close a dialog, as the platform's dialogs have always had them.
constexpr int IdOk = 1;
constexpr int IdCancel = 2;

Qt::Alignment StaticAlignment(const ControlTemplate& control)
{
    Qt::Alignment alignment = Qt::AlignLeft;
    if (control.Has(ControlStyle::Right))
        alignment = Qt::AlignRight;
    else if (control.Has(ControlStyle::Center))
        alignment = Qt::AlignHCenter;
    return alignment | (control.Has(ControlStyle::VCenter) ? Qt::AlignVCenter : Qt::AlignTop);
}

QWidget* CreateStatic(const ControlTemplate& control, QWidget* parent)
{
    // Template texts break lines with CR LF; a label breaks them at the LF alone.
    auto* label = new QLabel(
        QString(control.caption).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(StaticAlignment(control));
    // Statics wrap their words unless told otherwise or centred vertically on one line.
    label->setWordWrap(!control.Has(ControlStyle::NoWrap) && !control.Has(ControlStyle::VCenter));
    if (control.Has(ControlStyle::Border))
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
    return label;
}

QWidget* CreateBitmap(const ControlTemplate& control, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setProperty(CDialogBuilder::BitmapIdProperty, control.bitmapId);
    return label;
}

QWidget* CreateGroupBox(const ControlTemplate& control, QWidget* parent)
{
    auto* box = new QGroupBox(control.caption, parent);
    // A frame drawn around its siblings: clicks inside it belong to them.
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    // The template's rectangle holds the title too: the frame's top line runs through the
    // middle of the title, as the templates were laid out for, rather than below it, where
    // it would cut through the controls at the top of the group.
    box->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 0.5em; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"));
    return box;
}

QWidget* CreateEdit(const ControlTemplate& control, QWidget* parent)
{
    auto* edit = new QLineEdit(control.caption, parent);
    edit->setReadOnly(control.Has(ControlStyle::ReadOnly));
    edit->setFrame(control.Has(ControlStyle::Border));
    edit->setAlignment(StaticAlignment(control) & Qt::AlignHorizontal_Mask);
    return edit;
}

QWidget* CreateProgress(QWidget* parent)
{
    auto* bar = new QProgressBar(parent);
    bar->setTextVisible(false);
    return bar;
}

QWidget* CreatePushButton(const ControlTemplate& control, QWidget* parent)
{
    auto* button = new QPushButton(control.caption, parent);
    button->setDefault(control.kind == ControlKind::DefPushButton);
    return button;
}

QWidget* CreateDefault(const ControlTemplate& control, QWidget* parent)
{
    if (control.kind == ControlKind::Button || control.kind == ControlKind::DefPushButton)
        return CreatePushButton(control, parent);
    if (control.kind == ControlKind::CheckBox)
        return new QCheckBox(control.caption, parent);
    if (control.kind == ControlKind::RadioButton)
        return new QRadioButton(control.caption, parent);
    if (control.kind == ControlKind::GroupBox)
        return CreateGroupBox(control, parent);
    if (control.kind == ControlKind::Bitmap)
        return CreateBitmap(control, parent);
    if (control.kind == ControlKind::Edit)
        return CreateEdit(control, parent);
    if (control.kind == ControlKind::Progress)
        return CreateProgress(parent);
    return CreateStatic(control, parent);
}

// Controls the user tabs to only when they carry the tab stop style; radio buttons keep
// Qt's own focus handling, which moves within a group with the arrow keys.
void ApplyTabStop(const ControlTemplate& control, QWidget* widget)
{
    const bool takesFocus =
        control.kind == ControlKind::Button || control.kind == ControlKind::DefPushButton ||
        control.kind == ControlKind::CheckBox || control.kind == ControlKind::Edit;
    if (takesFocus && !control.Has(ControlStyle::TabStop))
        widget->setFocusPolicy(Qt::ClickFocus);
}

void ConnectCloseButton(int id, QWidget* widget, QWidget* dialog)
{
    auto* button = qobject_cast<QAbstractButton*>(widget);
    auto* qDialog = qobject_cast<QDialog*>(dialog);
    if (!button || !qDialog)
        return;
    if (id == IdOk)
        QObject::connect(button, &QAbstractButton::clicked, qDialog, &QDialog::accept);
    else if (id == IdCancel)
        QObject::connect(button, &QAbstractButton::clicked, qDialog, &QDialog::reject);
}

// Radio buttons form exclusive groups that start at a control with the group style, as
// in the platform's dialogs, rather than one group per parent widget.
class CRadioGroups
{
public:
    explicit CRadioGroups(QWidget* dialog) : m_dialog(dialog) {}

    void Add(const ControlTemplate& control, QWidget* widget)
    {
        if (control.Has(ControlStyle::Group))
            m_current = nullptr;
        auto* radio = qobject_cast<QRadioButton*>(widget);
        if (!radio)
            return;
        if (!m_current)
            m_current = new QButtonGroup(m_dialog);
        m_current->addButton(radio);
    }

private:
    QWidget* m_dialog;
    QButtonGroup* m_current = nullptr;
};

// A static just before an edit in the template is the edit's label, as in the platform's
// dialogs: it becomes the label's buddy, so that screen readers name the field after it.
void LabelEdit(QLabel*& label, const ControlTemplate& control, QWidget* widget)
{
    if (label && control.kind == ControlKind::Edit)
        label->setBuddy(widget);
    label = control.kind == ControlKind::Static ? qobject_cast<QLabel*>(widget) : nullptr;
}

void ApplyWindowStyles(QWidget* dialog, const DialogTemplate& tpl)
{
    if (!dialog->isWindow())
        return;
    Qt::WindowFlags flags = dialog->windowFlags() & Qt::WindowType_Mask;
    if (!tpl.Has(DialogStyle::Caption)) {
        flags |= Qt::FramelessWindowHint;
    } else {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        // The close box comes with the system menu.
        if (tpl.Has(DialogStyle::SysMenu))
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (tpl.Has(DialogStyle::MinimizeBox))
            flags |= Qt::WindowMinimizeButtonHint;
    }
    dialog->setWindowFlags(flags);
}
} // namespace

void CDialogBuilder::Build(QWidget* dialog, const DialogTemplate& tpl, const Factory& factory,
                           int topOffset)
{
    // The template's loader has said what is wrong with it; the dialog stays empty.
    if (!tpl.IsValid()) {
        qWarning("dialog builder: invalid template %d, no controls created", tpl.id);
        return;
    }
    const QFont font = DialogFont(tpl);
    dialog->setFont(font);
    dialog->setWindowTitle(tpl.title);
    ApplyWindowStyles(dialog, tpl);

    const CDialogUnits units(font);
    CRadioGroups radioGroups(dialog);
    QLabel* label = nullptr;
    for (const ControlTemplate& control : tpl.controls) {
        QWidget* widget = factory ? factory(control, dialog) : nullptr;
        if (!widget) {
            widget = CreateDefault(control, dialog);
            ApplyTabStop(control, widget);
        }
        if (widget->parentWidget() != dialog)
            widget->setParent(dialog);
        widget->setProperty(ControlIdProperty, control.id);
        widget->setGeometry(units.ToPixels(control.dlu).translated(0, topOffset));
        widget->setEnabled(!control.Has(ControlStyle::Disabled));
        widget->setVisible(!control.Has(ControlStyle::Hidden));
        radioGroups.Add(control, widget);
        LabelEdit(label, control, widget);
        ConnectCloseButton(control.id, widget, dialog);
    }
    dialog->setFixedSize(units.ToPixels(tpl.dlu) + QSize(0, topOffset));
}

// The templates' size stands for the general font size that Qt gives a desktop naming none
// of its own. A desktop whose general font is larger asks for larger text: the dialog font
// grows in proportion, and the dialog units, measured in it, grow with it.
QFont CDialogBuilder::DialogFont(const DialogTemplate& tpl)
{
    constexpr qreal kUsualDesktopPointSize = 9;
    QFont font = QApplication::font();
    const qreal scale = std::max<qreal>(1, font.pointSizeF() / kUsualDesktopPointSize);
    font.setPointSizeF(tpl.pointSize * scale);
    return font;
}

QWidget* CDialogBuilder::GetDlgItem(const QWidget* dialog, int id)
{
    const QList<QWidget*> children = dialog->findChildren<QWidget*>();
    for (QWidget* child : children) {
        const QVariant controlId = child->property(ControlIdProperty);
        if (controlId.isValid() && controlId.toInt() == id)
            return child;
    }
    return nullptr;
}
