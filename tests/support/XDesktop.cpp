#include "XDesktop.h"

#include <QRegularExpression>

namespace {
// The notification area's window, as the area names it.
const QString kAreaName = QStringLiteral("panel");
} // namespace

CXDesktop::~CXDesktop()
{
    StopNotificationArea();
}

QString CXDesktop::Run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(TimeoutMs))
        return QString();
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QRect CXDesktop::DockedIcon(const QString& applicationName)
{
    const QString tree = Run(QStringLiteral("xwininfo"), {"-name", kAreaName, "-tree"});
    // A line of the tree: id "name": ("instance" "class")  WxH+x+y  +absX+absY
    const QRegularExpression line(
        QStringLiteral(R"(\([^)]*"%1"[^)]*\)\s+(\d+)x(\d+)\S*\s+\+(-?\d+)\+(-?\d+))")
            .arg(QRegularExpression::escape(applicationName)));
    const QRegularExpressionMatch match = line.match(tree);
    if (!match.hasMatch())
        return {};
    return {match.captured(3).toInt(), match.captured(4).toInt(), match.captured(1).toInt(),
            match.captured(2).toInt()};
}

void CXDesktop::Click(const QPoint& at, int button, int count)
{
    Run(QStringLiteral("xdotool"),
        {"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "--repeat",
         QString::number(count), "--delay", "100", QString::number(button)});
}

void CXDesktop::Key(const QString& key)
{
    Run(QStringLiteral("xdotool"), {"key", key});
}

bool CXDesktop::IsViewable(quintptr window)
{
    return Run(QStringLiteral("xwininfo"), {"-id", QString::number(window)})
        .contains(QStringLiteral("IsViewable"));
}

void CXDesktop::Minimize(quintptr window)
{
    Run(QStringLiteral("xdotool"), {"windowminimize", QString::number(window)});
}

void CXDesktop::StartNotificationArea()
{
    m_area = std::make_unique<QProcess>();
    m_area->start(QStringLiteral("trayer"), {"--edge", "top", "--align", "right", "--widthtype",
                                             "pixel", "--width", "120", "--height", "24"});
    m_area->waitForStarted(TimeoutMs);
}

void CXDesktop::StopNotificationArea()
{
    if (!m_area)
        return;
    m_area->terminate();
    m_area->waitForFinished(TimeoutMs);
    m_area.reset();
}
