// The tray icon on a real X display with a real notification area (run by
// with-tray-desktop.sh): the icon docks into the area and leaves it again, and a right click
// on it opens the tray menu, whose default item is the command it sends.
#include "NotificationIconService.h"
#include "SystemTray.h"
#include "XDesktop.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

#include <vector>

namespace {

constexpr int kTrayMenu = 131;
constexpr int kRestore = 32008;
constexpr int kTimeoutMs = CXDesktop::TimeoutMs;

QRect DockedIcon()
{
    return CXDesktop::DockedIcon(QCoreApplication::applicationName());
}

} // namespace

class SystemTrayDesktopTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void iconDocksAndLeavesTheNotificationArea();
    void rightClickOpensTheMenuWithItsDefaultItem();

private:
    QIcon m_icon;
};

void SystemTrayDesktopTest::initTestCase()
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        QSKIP("needs an X display with a notification area: run through with-tray-desktop.sh");
    QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), kTimeoutMs);
    QPixmap picture(16, 16);
    picture.fill(Qt::darkBlue);
    m_icon = QIcon(picture);
}

void SystemTrayDesktopTest::iconDocksAndLeavesTheNotificationArea()
{
    CSystemTray tray({});
    QVERIFY(DockedIcon().isEmpty());
    QVERIFY(tray.Create(0x40A, QStringLiteral("Korvane"), m_icon, kTrayMenu));
    QTRY_VERIFY_WITH_TIMEOUT(!DockedIcon().isEmpty(), kTimeoutMs);
    tray.HideTrayIcon();
    QTRY_VERIFY_WITH_TIMEOUT(DockedIcon().isEmpty(), kTimeoutMs);
    tray.ShowTrayIcon();
    QTRY_VERIFY_WITH_TIMEOUT(!DockedIcon().isEmpty(), kTimeoutMs);
    tray.RemoveTrayIcon();
    QTRY_VERIFY_WITH_TIMEOUT(DockedIcon().isEmpty(), kTimeoutMs);
}

void SystemTrayDesktopTest::rightClickOpensTheMenuWithItsDefaultItem()
{
    std::vector<int> commands;
    CSystemTray tray([&commands](int id) { commands.push_back(id); });
    QVERIFY(tray.Create(0x40A, QStringLiteral("Korvane"), m_icon, kTrayMenu));
    QVERIFY(tray.SetDefaultMenuItem(4, true));
    QTRY_VERIFY_WITH_TIMEOUT(!DockedIcon().isEmpty(), kTimeoutMs);

    // The menu runs its own loop: a timer looks at it and chooses its default item.
    QString defaultText;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &poll, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu || !menu->defaultAction())
            return;
        poll.stop();
        defaultText = menu->defaultAction()->text();
        menu->setActiveAction(menu->defaultAction());
        QTest::keyClick(menu, Qt::Key_Return);
    });
    poll.start(50);
    CXDesktop::Click(DockedIcon().center(), 3);
    QTRY_VERIFY_WITH_TIMEOUT(!commands.empty(), kTimeoutMs);
    poll.stop();
    QCOMPARE(defaultText, QStringLiteral("KRV"));
    QCOMPARE(commands, std::vector<int>{kRestore});
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("korvane-tray-test"));
    SystemTrayDesktopTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "SystemTrayDesktopTest.moc"
