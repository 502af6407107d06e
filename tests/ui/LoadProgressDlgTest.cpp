#include "LoadProgressDlgTest.h"

#include "DialogBuilder.h"
#include "LoadProgressDlg.h"

#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTest>
#include <QWindow>

namespace {

constexpr int IDC_LEGEND = 1013;
constexpr int IDC_PERCENT = 1015;
constexpr int IDC_PROGRESS = 1018;

QLabel* Static(const QWidget* dialog, int id)
{
    return qobject_cast<QLabel*>(CDialogBuilder::GetDlgItem(dialog, id));
}

QProgressBar* Bar(const QWidget* dialog)
{
    return qobject_cast<QProgressBar*>(CDialogBuilder::GetDlgItem(dialog, IDC_PROGRESS));
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

void TestLoadProgressDlg::opensCentredEmptyAndWithoutCloseBox()
{
    QWidget owner;
    CLoadProgressDlg dialog(&owner);
    QVERIFY(dialog.isVisible());
    QVERIFY(dialog.isWindow());
    QCOMPARE(dialog.parentWidget(), nullptr);
    QCOMPARE(dialog.Owner(), &owner);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Load in progress"));
    QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    // Centred to within the window frame, which the desktop adds around it.
    const QPoint offCentre =
        dialog.geometry().center() - dialog.screen()->availableGeometry().center();
    QVERIFY(qAbs(offCentre.x()) <= 4 && qAbs(offCentre.y()) <= 4);

    QCOMPARE(Static(&dialog, IDC_LEGEND)->text(), QString());
    QCOMPARE(Static(&dialog, IDC_PERCENT)->text(), QString());
    QProgressBar* bar = Bar(&dialog);
    QVERIFY(bar);
    QVERIFY(bar->isVisible());
    QVERIFY(!bar->isTextVisible());
    const QList<QLabel*> hidden = dialog.findChildren<QLabel*>();
    const auto placeholder = std::find_if(hidden.begin(), hidden.end(),
                                          [](const QLabel* label) { return !label->isVisible(); });
    QVERIFY(placeholder != hidden.end());
    QCOMPARE(bar->geometry(), (*placeholder)->geometry());

    dialog.SetLegend(QStringLiteral("Bank: /banks/piano.94b"));
    QCOMPARE(Static(&dialog, IDC_LEGEND)->text(), QStringLiteral("Bank: /banks/piano.94b"));
}

void TestLoadProgressDlg::percentageIsTruncatedAndFollowsTheClampedBar_data()
{
    QTest::addColumn<uint>("max");
    QTest::addColumn<uint>("position");
    QTest::addColumn<QString>("percent");
    QTest::addColumn<int>("barPerMille");
    QTest::newRow("quarter") << 1024u << 256u << QStringLiteral("25 %") << 250;
    QTest::newRow("just under a quarter") << 1024u << 255u << QStringLiteral("24 %") << 249;
    QTest::newRow("full") << 1024u << 1024u << QStringLiteral("100 %") << 1000;
    QTest::newRow("beyond the range") << 1024u << 5000u << QStringLiteral("100 %") << 1000;
    // (100.0 / 97) * 97 is a hair below 100 in floating point.
    QTest::newRow("full, 97 units") << 97u << 97u << QStringLiteral("100 %") << 1000;
    QTest::newRow("card of 4 GiB") << 0xFFFFFFFFu << 0x80000000u << QStringLiteral("50 %") << 500;
    QTest::newRow("empty range") << 0u << 0u << QStringLiteral("100 %") << 1000;
}

void TestLoadProgressDlg::percentageIsTruncatedAndFollowsTheClampedBar()
{
    QFETCH(uint, max);
    QFETCH(uint, position);
    QFETCH(QString, percent);
    QFETCH(int, barPerMille);
    CLoadProgressDlg dialog(nullptr);
    dialog.SetRange(max);
    QCOMPARE(dialog.SetPos(7), 0u);
    const uint32_t previous = std::min<uint32_t>(7, max);
    QCOMPARE(dialog.SetPos(position), previous);
    QCOMPARE(Static(&dialog, IDC_PERCENT)->text(), percent);
    const QProgressBar* bar = Bar(&dialog);
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(int(int64_t{bar->value()} * 1000 / bar->maximum()), barPerMille);
    // The previous position, as the range clamped it.
    QCOMPARE(dialog.SetPos(0), std::min(position, max));
}

void TestLoadProgressDlg::changesArePaintedWithoutAnEventLoop()
{
    CLoadProgressDlg dialog(nullptr);
    // The window is on screen as soon as it is constructed: the load that follows
    // handles no events.
    QVERIFY(dialog.windowHandle() && dialog.windowHandle()->isExposed());
    dialog.SetRange(100);
    PaintCounter legend(Static(&dialog, IDC_LEGEND));
    PaintCounter percent(Static(&dialog, IDC_PERCENT));
    PaintCounter bar(Bar(&dialog));
    dialog.SetLegend(QStringLiteral("Bank: /a.94b"));
    dialog.SetPos(40);
    // No event has been processed since the calls: the paints came with them.
    QVERIFY(legend.paints > 0);
    QVERIFY(percent.paints > 0);
    QVERIFY(bar.paints > 0);
}

void TestLoadProgressDlg::longBankPathKeepsItsFileNameInTheLegend_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("shown");
    const QString folders = QStringLiteral("/home/someone/Music/Sound-banks/Orchestral-collection-"
                                           "2024/Strings-and-brass/Second-violins-section/"
                                           "Sustained-and-legato-articulation/");
    QTest::newRow("short") << QStringLiteral("/banks/PIANO.94b") << QString();
    QTest::newRow("146 characters")
        << folders + QStringLiteral("LONGBANK.94b") << QStringLiteral("/LONGBANK.94b");
    // A name too long for the whole legend keeps its start and its end.
    QTest::newRow("long name") << QStringLiteral("/b/") + QString(300, u'n') +
                                      QStringLiteral(".94b")
                               << QStringLiteral("nn.94b");
}

// The legend shows as much of the path as its lines hold, never the folders alone; the
// whole legend is its tooltip.
void TestLoadProgressDlg::longBankPathKeepsItsFileNameInTheLegend()
{
    QFETCH(QString, path);
    QFETCH(QString, shown);
    CLoadProgressDlg dialog(nullptr);
    const QString legend = QStringLiteral("Bank: ") + path;
    dialog.SetLegend(legend);
    const QLabel* label = Static(&dialog, IDC_LEGEND);
    QCOMPARE(label->toolTip(), legend);
    if (shown.isEmpty()) {
        QCOMPARE(label->text(), legend);
        return;
    }
    QVERIFY2(label->text().endsWith(shown), qPrintable(label->text()));
    QVERIFY(label->text().contains(QChar(0x2026)));
    const QRect used = label->fontMetrics().boundingRect(
        QRect(QPoint(), label->contentsRect().size()), Qt::TextWordWrap, label->text());
    QVERIFY2(used.height() <= label->contentsRect().height(), qPrintable(label->text()));
}
