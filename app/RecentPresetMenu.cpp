#include "RecentPresetMenu.h"

#include "Commands.h"
#include "MenuBuilder.h"
#include "NativePath.h"
#include "RecentPresets.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QMenu>
#include <QMenuBar>

namespace {

// A long path keeps its start and its file name, and the menu its width.
constexpr int kPathWidthInCharacters = 48;

QString MenuText(const QString& path)
{
    const QFontMetrics metrics(QApplication::font("QMenu"));
    const QString shown = metrics.elidedText(CNativePath::Display(path), Qt::ElideMiddle,
                                             kPathWidthInCharacters * metrics.averageCharWidth());
    // A "&" in the path is a character, not an access key.
    return QString(shown).replace(u'&', QStringLiteral("&&"));
}

} // namespace

void CRecentPresetMenu::Attach(QMenuBar* menuBar, PathList recentPresets)
{
    for (qsizetype place = 0; place < CRecentPresets::MAX_PRESETS; ++place) {
        QAction* item =
            CMenuBuilder::FindCommand(menuBar, Command::RecentPreset1 + static_cast<int>(place));
        if (!item)
            return;
        m_items << item;
        m_keys << item->text();
    }
    Show({});
    const QList<QObject*> menus = m_items.constFirst()->associatedObjects();
    for (QObject* object : menus) {
        if (auto* menu = qobject_cast<QMenu*>(object))
            QObject::connect(menu, &QMenu::aboutToShow, menu,
                             [this, recentPresets] { Show(recentPresets()); });
    }
}

void CRecentPresetMenu::Show(const QStringList& paths)
{
    for (qsizetype place = 0; place < m_items.size(); ++place) {
        QAction* item = m_items[place];
        item->setVisible(place < paths.size());
        if (place < paths.size())
            item->setText(m_keys[place] + QLatin1Char(' ') + MenuText(paths[place]));
    }
}

qsizetype CRecentPresetMenu::PlaceOf(int commandId)
{
    const qsizetype place = commandId - Command::RecentPreset1;
    return place >= 0 && place < CRecentPresets::MAX_PRESETS ? place : -1;
}
