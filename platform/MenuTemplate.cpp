#include "MenuTemplate.h"

#include "TemplateReader.h"

namespace {
MenuItemTemplate ReadItem(CTemplateReader& reader, const QJsonObject& object)
{
    MenuItemTemplate item;
    item.separator = object.value(QStringLiteral("separator")).toBool();
    if (item.separator)
        return item;
    item.text = reader.String(object, QStringLiteral("text"));
    item.commandId = reader.Int(object, QStringLiteral("command"));
    item.shortcut = object.value(QStringLiteral("shortcut")).toString();
    if (!reader.Failed() && (item.text.isEmpty() || item.commandId <= 0))
        reader.Fail(QStringLiteral("an item needs a text and a command id above 0"));
    return item;
}

MenuPopupTemplate ReadPopup(CTemplateReader& reader, const QJsonObject& object, qsizetype index)
{
    MenuPopupTemplate popup;
    popup.text = reader.String(object, QStringLiteral("text"));
    const QList<QJsonObject> items = reader.Objects(object, QStringLiteral("items"));
    for (qsizetype i = 0; i < items.size() && !reader.Failed(); ++i) {
        reader.SetContext(QStringLiteral("pop-up %1, item %2").arg(index).arg(i));
        popup.items << ReadItem(reader, items[i]);
    }
    return popup;
}
} // namespace

MenuTemplate MenuTemplate::Load(int id)
{
    return CTemplateReader::Load<MenuTemplate>(QStringLiteral("menu"), id);
}

MenuTemplate MenuTemplate::FromJson(const QByteArray& json, QString& error)
{
    CTemplateReader reader;
    const QJsonObject object = reader.Document(json);
    MenuTemplate menu;
    menu.id = reader.Int(object, QStringLiteral("id"));
    const QList<QJsonObject> popups = reader.Objects(object, QStringLiteral("popups"));
    for (qsizetype i = 0; i < popups.size() && !reader.Failed(); ++i)
        menu.popups << ReadPopup(reader, popups[i], i);
    reader.SetContext({});
    if (!reader.Failed() && !menu.IsValid())
        reader.Fail(QStringLiteral("the menu needs an id above 0 and a pop-up"));
    error = reader.Error();
    return reader.Failed() ? MenuTemplate() : menu;
}

bool MenuTemplate::IsValid() const
{
    return id > 0 && !popups.isEmpty();
}
