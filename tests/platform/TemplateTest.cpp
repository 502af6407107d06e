#include "DialogTemplate.h"
#include "MenuTemplate.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const ControlTemplate* FindControl(const DialogTemplate& tpl, int id)
{
    const auto it = std::find_if(tpl.controls.cbegin(), tpl.controls.cend(),
                                 [id](const ControlTemplate& c) { return c.id == id; });
    return it == tpl.controls.cend() ? nullptr : &*it;
}

QList<int> ControlIds(const DialogTemplate& tpl)
{
    QList<int> ids;
    for (const ControlTemplate& control : tpl.controls)
        ids << control.id;
    return ids;
}

TEST(Templates, AllDialogsAndMenusLoad)
{
    for (int id : {100, 102, 130, 206}) {
        const DialogTemplate tpl = DialogTemplate::Load(id);
        EXPECT_TRUE(tpl.IsValid()) << "dialog " << id;
        EXPECT_EQ(tpl.id, id);
        EXPECT_EQ(tpl.pointSize, 8);
        EXPECT_FALSE(tpl.controls.isEmpty());
    }
    for (int id : {131, 202}) {
        const MenuTemplate menu = MenuTemplate::Load(id);
        EXPECT_TRUE(menu.IsValid()) << "menu " << id;
        EXPECT_EQ(menu.id, id);
    }
}

TEST(Templates, UnknownIdsGiveInvalidTemplates)
{
    EXPECT_FALSE(DialogTemplate::Load(999).IsValid());
    EXPECT_FALSE(DialogTemplate::Load(202).IsValid());
    EXPECT_FALSE(MenuTemplate::Load(102).IsValid());
}

TEST(Templates, MainWindowDialog)
{
    const DialogTemplate tpl = DialogTemplate::Load(102);
    EXPECT_EQ(tpl.title, QStringLiteral("Korvane "));
    EXPECT_EQ(tpl.dlu, QSize(319, 170));
    EXPECT_EQ(tpl.menuId, 202);
    EXPECT_TRUE(tpl.Has(DialogStyle::Caption));
    EXPECT_TRUE(tpl.Has(DialogStyle::SysMenu));
    EXPECT_TRUE(tpl.Has(DialogStyle::MinimizeBox));
    EXPECT_EQ(ControlIds(tpl), (QList<int>{-1, 1021, -1, 1022, -1, 1027, -1, 1029, -1, 1024, 1025,
                                           1007, -1, 1023, 1005, 1012, 1010}));
    EXPECT_EQ(tpl.controls[0].kind, QStringLiteral("groupbox"));
    EXPECT_EQ(tpl.controls[0].caption, QStringLiteral("Bank in memory "));
    EXPECT_EQ(tpl.controls[12].caption, QStringLiteral("Midi file "));

    struct Expected
    {
        int id;
        const char* kind;
        QRect dlu;
        QStringList styles;
    };
    const Expected expected[] = {
        {1021, ControlKind::Static, QRect(13, 18, 156, 99), {ControlStyle::Border}},
        {1022,
         ControlKind::Static,
         QRect(183, 25, 122, 12),
         {ControlStyle::Border, ControlStyle::Hidden}},
        {1027, ControlKind::Static, QRect(261, 46, 45, 8), {ControlStyle::Right}},
        {1007, ControlKind::Button, QRect(178, 110, 134, 15), {ControlStyle::Center}},
        {1023, ControlKind::Static, QRect(15, 139, 235, 8), {ControlStyle::NoWrap}},
        {1010, ControlKind::Button, QRect(292, 136, 14, 14), {ControlStyle::TabStop}},
    };
    for (const Expected& e : expected) {
        const ControlTemplate* control = FindControl(tpl, e.id);
        ASSERT_NE(control, nullptr) << e.id;
        EXPECT_EQ(control->kind, QString::fromLatin1(e.kind)) << e.id;
        EXPECT_EQ(control->dlu, e.dlu) << e.id;
        for (const QString& style : e.styles)
            EXPECT_TRUE(control->Has(style)) << e.id << " " << style.toStdString();
    }
    EXPECT_EQ(FindControl(tpl, 1007)->caption, QStringLiteral("Midi Mapping"));
    EXPECT_FALSE(FindControl(tpl, 1021)->Has(ControlStyle::Hidden));
}

// A valid dialog with one control whose fields are given.
QByteArray DialogWithControl(const char* control)
{
    return QByteArray(R"({"id": 7, "font": {"family": "F", "pointSize": 8}, "size": [10, 10],)"
                      R"( "controls": [{"id": 1, "kind": "static", "rect": [0, 0, 5, 5]}, )") +
           control + "]}";
}

TEST(DialogTemplateErrors, GiveAnInvalidTemplateAndSayWhy)
{
    const std::pair<QByteArray, const char*> cases[] = {
        {"{\"id\": 7", "invalid JSON"},
        {R"({"id": 7, "size": [10, 10], "controls": []})", "\"font\""},
        {DialogWithControl(R"({"id": 2, "kind": "slider", "rect": [0, 0, 1, 1]})"),
         "control 1: unknown kind \"slider\""},
        {DialogWithControl(
             R"({"id": 2, "kind": "edit", "styles": ["bold"], "rect": [0, 0, 1, 1]})"),
         "control 1: \"styles\": unknown \"bold\""},
        {DialogWithControl(R"({"id": 2, "kind": "edit", "rect": [0, 0, 1]})"),
         "\"rect\" must be an array of 4 integers"},
        {DialogWithControl(R"({"id": 2.5, "kind": "edit", "rect": [0, 0, 1, 1]})"),
         "\"id\" must be an integer"},
        {DialogWithControl(R"({"id": 2, "kind": "bitmap", "rect": [0, 0, 1, 1]})"),
         "\"bitmap\" must be an integer"},
    };
    for (const auto& [json, expected] : cases) {
        QString error;
        const DialogTemplate tpl = DialogTemplate::FromJson(json, error);
        EXPECT_FALSE(tpl.IsValid());
        EXPECT_TRUE(tpl.controls.isEmpty());
        EXPECT_TRUE(error.contains(QString::fromLatin1(expected))) << error.toStdString();
    }
}

TEST(MenuTemplateErrors, GiveAnInvalidMenuAndSayWhy)
{
    const std::pair<QByteArray, QString> cases[] = {
        {R"({"id": 5, "popups": []})", QStringLiteral("needs an id above 0 and a pop-up")},
        {R"({"id": 5, "popups": {}})", QStringLiteral("\"popups\" must be an array")},
        {R"({"id": 5, "popups": [{"text": "A", "items": [{"separator": true}, {"text": "B"}]}]})",
         QStringLiteral("pop-up 0, item 1: \"command\" must be an integer")},
    };
    for (const auto& [json, expected] : cases) {
        QString error;
        EXPECT_FALSE(MenuTemplate::FromJson(json, error).IsValid());
        EXPECT_TRUE(error.contains(expected)) << error.toStdString();
    }
}

} // namespace
