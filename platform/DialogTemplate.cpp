#include "DialogTemplate.h"

#include "TemplateReader.h"

namespace {
const QStringList Kinds = {
    ControlKind::Button,      ControlKind::DefPushButton, ControlKind::CheckBox,
    ControlKind::RadioButton, ControlKind::GroupBox,      ControlKind::Static,
    ControlKind::Bitmap,      ControlKind::Edit,          ControlKind::Progress};

const QStringList ControlStyles = {
    ControlStyle::Border,   ControlStyle::Hidden,      ControlStyle::Disabled, ControlStyle::Left,
    ControlStyle::Right,    ControlStyle::Center,      ControlStyle::VCenter,  ControlStyle::NoWrap,
    ControlStyle::ReadOnly, ControlStyle::AutoHScroll, ControlStyle::TabStop,  ControlStyle::Group};

const QStringList DialogStyles = {DialogStyle::Popup,       DialogStyle::Visible,
                                  DialogStyle::Caption,     DialogStyle::SysMenu,
                                  DialogStyle::MinimizeBox, DialogStyle::ModalFrame,
                                  DialogStyle::AppWindow,   DialogStyle::SetFont};

ControlTemplate ReadControl(CTemplateReader& reader, const QJsonObject& object)
{
    ControlTemplate control;
    control.id = reader.Int(object, QStringLiteral("id"));
    control.kind = reader.String(object, QStringLiteral("kind"));
    if (!reader.Failed() && !Kinds.contains(control.kind))
        reader.Fail(QStringLiteral("unknown kind \"%1\"").arg(control.kind));
    control.caption = reader.String(object, QStringLiteral("caption"));
    control.styles = reader.Words(object, QStringLiteral("styles"), ControlStyles);
    control.dlu = reader.Rect(object, QStringLiteral("rect"));
    const bool isBitmap = control.kind == ControlKind::Bitmap;
    control.bitmapId =
        reader.Int(object, QStringLiteral("bitmap"), isBitmap ? std::nullopt : std::optional(0));
    if (isBitmap && control.bitmapId <= 0)
        reader.Fail(QStringLiteral("a bitmap control needs a bitmap id above 0"));
    return control;
}
} // namespace

DialogTemplate DialogTemplate::Load(int id)
{
    return CTemplateReader::Load<DialogTemplate>(QStringLiteral("dialog"), id);
}

DialogTemplate DialogTemplate::FromJson(const QByteArray& json, QString& error)
{
    CTemplateReader reader;
    const QJsonObject object = reader.Document(json);
    DialogTemplate tpl;
    tpl.id = reader.Int(object, QStringLiteral("id"));
    tpl.title = reader.String(object, QStringLiteral("title"));
    const QJsonObject font = reader.Object(object, QStringLiteral("font"));
    tpl.fontFamily = reader.String(font, QStringLiteral("family"));
    tpl.pointSize = reader.Int(font, QStringLiteral("pointSize"));
    tpl.dlu = reader.Size(object, QStringLiteral("size"));
    tpl.styles = reader.Words(object, QStringLiteral("styles"), DialogStyles);
    tpl.menuId = reader.Int(object, QStringLiteral("menu"), 0);
    const QList<QJsonObject> controls = reader.Objects(object, QStringLiteral("controls"));
    for (qsizetype i = 0; i < controls.size() && !reader.Failed(); ++i) {
        reader.SetContext(QStringLiteral("control %1").arg(i));
        tpl.controls << ReadControl(reader, controls[i]);
    }
    reader.SetContext({});
    if (!reader.Failed() && !tpl.IsValid())
        reader.Fail(QStringLiteral("the dialog needs an id and a point size above 0"));
    error = reader.Error();
    return reader.Failed() ? DialogTemplate() : tpl;
}

bool DialogTemplate::IsValid() const
{
    return id > 0 && pointSize > 0 && dlu.isValid() && !dlu.isEmpty();
}
