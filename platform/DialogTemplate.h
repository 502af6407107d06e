#pragma once

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

// Control kinds of a dialog template.
namespace ControlKind {
constexpr char Button[] = "button";
constexpr char DefPushButton[] = "defpushbutton";
constexpr char CheckBox[] = "checkbox";
constexpr char RadioButton[] = "radiobutton";
constexpr char GroupBox[] = "groupbox";
constexpr char Static[] = "static";
constexpr char Bitmap[] = "bitmap";
constexpr char Edit[] = "edit";
constexpr char Progress[] = "progress";
} // namespace ControlKind

// Styles of a control in a dialog template.
namespace ControlStyle {
constexpr char Border[] = "border";
constexpr char Hidden[] = "hidden";
constexpr char Disabled[] = "disabled";
constexpr char Left[] = "left";
constexpr char Right[] = "right";
constexpr char Center[] = "center";
constexpr char VCenter[] = "vcenter";
constexpr char NoWrap[] = "nowrap";
constexpr char ReadOnly[] = "readonly";
constexpr char AutoHScroll[] = "autohscroll";
constexpr char TabStop[] = "tabstop";
constexpr char Group[] = "group";
} // namespace ControlStyle

// Styles of a dialog template.
namespace DialogStyle {
constexpr char Popup[] = "popup";
constexpr char Visible[] = "visible";
constexpr char Caption[] = "caption";
constexpr char SysMenu[] = "sysmenu";
constexpr char MinimizeBox[] = "minimizebox";
constexpr char ModalFrame[] = "modalframe";
constexpr char AppWindow[] = "appwindow";
constexpr char SetFont[] = "setfont";
} // namespace DialogStyle

// One control of a dialog template; id -1 when the control has none.
struct ControlTemplate
{
    int id = -1;
    QString kind;
    QString caption;
    QStringList styles;
    QRect dlu;
    // The picture of a bitmap control; 0 for other kinds.
    int bitmapId = 0;

    bool Has(const QString& style) const { return styles.contains(style); }
};

// A dialog as laid out in its template: size and rectangles in dialog units, controls in
// tab order. Loaded from the resource text/dialog<id>.json.
struct DialogTemplate
{
    int id = 0;
    QString title;
    QString fontFamily;
    int pointSize = 0;
    QSize dlu;
    QStringList styles;
    // The menu bar's menu id; 0 for none.
    int menuId = 0;
    QList<ControlTemplate> controls;

    // The template with that id; an invalid one (with a warning logged) when there is
    // none or it is malformed.
    static DialogTemplate Load(int id);
    // Parses the JSON form; on failure returns an invalid template and describes why.
    static DialogTemplate FromJson(const QByteArray& json, QString& error);

    bool IsValid() const;
    bool Has(const QString& style) const { return styles.contains(style); }
};
