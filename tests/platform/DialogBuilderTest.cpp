#include "DialogBuilderTest.h"

#include "DialogBuilder.h"
#include "DialogUnits.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

namespace {
QDialog* BuildDialog(int id, int topOffset = 0, const CDialogBuilder::Factory& factory = {})
{
    auto* dialog = new QDialog;
    CDialogBuilder::Build(dialog, DialogTemplate::Load(id), factory, topOffset);
    return dialog;
}

template <class T> T* Item(const QWidget* dialog, int id)
{
    return qobject_cast<T*>(CDialogBuilder::GetDlgItem(dialog, id));
}

// A template with an OK button under a group box that comes later in the tab order, and a
// check box without a tab stop.
const QByteArray OverlapTemplate = R"({
    "id": 9, "font": {"family": "F", "pointSize": 8}, "size": [100, 60],
    "controls": [
        {"id": 1, "kind": "button", "caption": "OK", "styles": ["tabstop"], "rect": [10, 10, 40, 14]},
        {"id": -1, "kind": "groupbox", "caption": "Frame", "rect": [0, 0, 100, 40]},
        {"id": 20, "kind": "checkbox", "caption": "No tab", "rect": [10, 44, 40, 10]},
        {"id": 21, "kind": "edit", "styles": ["tabstop"], "rect": [55, 44, 40, 12]}
    ]})";
} // namespace

void DialogBuilderTest::mainWindowControlsSitWhereTheTemplateSays()
{
    const DialogTemplate tpl = DialogTemplate::Load(102);
    QScopedPointer<QDialog> dialog(BuildDialog(102, 21));
    const CDialogUnits units(dialog->font());

    QCOMPARE(dialog->font().pointSize(), 8);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Korvane "));
    const QSize client = units.ToPixels(QSize(319, 170)) + QSize(0, 21);
    QCOMPARE(dialog->size(), client);
    QCOMPARE(dialog->minimumSize(), client);
    QCOMPARE(dialog->maximumSize(), client);

    for (const ControlTemplate& control : tpl.controls) {
        if (control.id == -1)
            continue;
        QWidget* widget = CDialogBuilder::GetDlgItem(dialog.get(), control.id);
        QVERIFY2(widget, qPrintable(QString::number(control.id)));
        QCOMPARE(widget->geometry(), units.ToPixels(control.dlu).translated(0, 21));
        QCOMPARE(widget->isHidden(), control.id == 1022);
    }
    QVERIFY(qobject_cast<QGroupBox*>(CDialogBuilder::GetDlgItem(dialog.get(), -1)));
    QCOMPARE(CDialogBuilder::GetDlgItem(dialog.get(), 4242), nullptr);

    QCOMPARE(Item<QPushButton>(dialog.get(), 1007)->text(), QStringLiteral("Midi Mapping"));
    QCOMPARE(Item<QLabel>(dialog.get(), 1027)->alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignRight);
    QVERIFY(!Item<QLabel>(dialog.get(), 1023)->wordWrap());
    QCOMPARE(Item<QLabel>(dialog.get(), 1021)->frameShape(), QFrame::Box);

    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    QVERIFY(CDialogBuilder::GetDlgItem(dialog.get(), 1021)->isVisible());
    QVERIFY(!CDialogBuilder::GetDlgItem(dialog.get(), 1022)->isVisible());
}

void DialogBuilderTest::optionsDialogBehaviour()
{
    QScopedPointer<QDialog> dialog(BuildDialog(206));
    QVERIFY(Item<QPushButton>(dialog.get(), 1)->isDefault());
    QVERIFY(!Item<QPushButton>(dialog.get(), 2)->isDefault());
    QVERIFY(Item<QLineEdit>(dialog.get(), 1031)->isReadOnly());
    QVERIFY(Item<QCheckBox>(dialog.get(), 1028));

    // The two radio buttons exclude each other.
    auto* standard = Item<QRadioButton>(dialog.get(), 1005);
    auto* tray = Item<QRadioButton>(dialog.get(), 1002);
    QVERIFY(standard && tray);
    standard->setChecked(true);
    tray->click();
    QVERIFY(tray->isChecked());
    QVERIFY(!standard->isChecked());

    // Button 1 accepts the dialog, button 2 rejects it.
    dialog->setResult(-1);
    Item<QPushButton>(dialog.get(), 1)->click();
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    dialog->setResult(-1);
    Item<QPushButton>(dialog.get(), 2)->click();
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
}

void DialogBuilderTest::factoryReplacesControls()
{
    QList<int> asked;
    QPushButton* custom = nullptr;
    QScopedPointer<QDialog> dialog(
        BuildDialog(206, 0, [&](const ControlTemplate& control, QWidget*) -> QWidget* {
            asked << control.id;
            if (control.id != 3)
                return nullptr;
            custom = new QPushButton(QStringLiteral("custom"));
            return custom;
        }));
    QCOMPARE(asked, (QList<int>{1, 2, -1, 1028, 1031, -1, 1005, 1002, 3, -1, 1050, 1051, -1, 1052,
                                -1, 1053}));
    QCOMPARE(CDialogBuilder::GetDlgItem(dialog.get(), 3), custom);
    QCOMPARE(custom->parentWidget(), dialog.get());
    QCOMPARE(custom->geometry(), CDialogUnits(dialog->font()).ToPixels(QRect(147, 20, 28, 12)));
    QVERIFY(Item<QLineEdit>(dialog.get(), 1031));
}

void DialogBuilderTest::windowDecorationsFollowTheTemplate()
{
    QScopedPointer<QDialog> main(BuildDialog(102));
    QVERIFY(main->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(main->windowFlags() & Qt::WindowCloseButtonHint);

    QScopedPointer<QDialog> progress(BuildDialog(130));
    QVERIFY(progress->windowFlags() & Qt::WindowTitleHint);
    QVERIFY(!(progress->windowFlags() & Qt::WindowCloseButtonHint));
    QCOMPARE(progress->windowTitle(), QStringLiteral("Load in progress"));

    QScopedPointer<QDialog> about(BuildDialog(100));
    QVERIFY(about->windowFlags() & Qt::FramelessWindowHint);
    const QList<QLabel*> labels = about->findChildren<QLabel*>();
    QCOMPARE(labels.size(), 3);
    QCOMPARE(labels[0]->property(CDialogBuilder::BitmapIdProperty).toInt(), 204);
    QCOMPARE(labels[1]->property(CDialogBuilder::BitmapIdProperty).toInt(), 212);
    QVERIFY(labels[0]->pixmap().isNull());
    QVERIFY(!labels[2]->property(CDialogBuilder::BitmapIdProperty).isValid());
    QCOMPARE(labels[2]->text().count(u'\n'), 2);
    QVERIFY(!labels[2]->text().contains(u'\r'));
}

void DialogBuilderTest::groupBoxesLeaveClicksAndTabStopsApply()
{
    QString error;
    const DialogTemplate tpl = DialogTemplate::FromJson(OverlapTemplate, error);
    QVERIFY2(tpl.IsValid(), qPrintable(error));
    QDialog dialog;
    CDialogBuilder::Build(&dialog, tpl);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    // Only controls with the tab stop style are reached with Tab.
    QVERIFY(CDialogBuilder::GetDlgItem(&dialog, 21)->focusPolicy() & Qt::TabFocus);
    QCOMPARE(CDialogBuilder::GetDlgItem(&dialog, 20)->focusPolicy(), Qt::ClickFocus);

    QWidget* ok = CDialogBuilder::GetDlgItem(&dialog, 1);
    // Through the window, so that the click goes to the widget found under the pointer.
    QTest::mouseClick(dialog.windowHandle(), Qt::LeftButton, {}, ok->geometry().center());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

// The frame's top line runs through the title's middle, as on the desktop the templates were
// made for: the player's buttons, 9 dialog units below the "Midi file" group's top, lie
// below it and inside the frame.
void DialogBuilderTest::groupFrameRunsThroughItsTitleAboveTheControls()
{
    std::unique_ptr<QDialog> dialog(BuildDialog(102));
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    QGroupBox* midi = nullptr;
    for (QGroupBox* box : dialog->findChildren<QGroupBox*>()) {
        if (box->title().startsWith(QStringLiteral("Midi file")))
            midi = box;
    }
    QVERIFY(midi);
    const QImage face = midi->grab().toImage();
    const QColor background = face.pixelColor(face.width() / 2, 0);
    int line = 0;
    while (line < face.height() && face.pixelColor(face.width() / 2, line) == background)
        ++line;
    QVERIFY2(line < midi->fontMetrics().height(), qPrintable(QString::number(line)));
    for (int id : {1005, 1012, 1010}) {
        const QRect button = CDialogBuilder::GetDlgItem(dialog.get(), id)->geometry();
        QVERIFY(midi->geometry().contains(button));
        QVERIFY2(button.top() > midi->y() + line, qPrintable(QString::number(id)));
    }
}

void DialogBuilderTest::fontSizeScalesDialogUnits()
{
    QFont font;
    font.setPointSize(8);
    const CDialogUnits small(font);
    font.setPointSize(16);
    const CDialogUnits large(font);
    QVERIFY(small.AverageCharWidth() > 0 && small.CharHeight() > small.AverageCharWidth());
    QVERIFY(large.AverageCharWidth() > small.AverageCharWidth());
    QVERIFY(large.CharHeight() > small.CharHeight());
}

// A desktop font of 14 pt, larger than usual, makes the window's text and layout grow in
// proportion; the usual size and a smaller one keep the template's 8 pt.
void DialogBuilderTest::largerDesktopFontGrowsTheLayout()
{
    const QFont desktop = QApplication::font();
    const auto windowWith = [](qreal desktopPointSize) {
        QFont font = QApplication::font();
        font.setPointSizeF(desktopPointSize);
        QApplication::setFont(font);
        return std::unique_ptr<QDialog>(BuildDialog(102));
    };
    const auto usual = windowWith(9);
    QCOMPARE(usual->font().pointSizeF(), 8.0);
    QCOMPARE(windowWith(7)->font().pointSizeF(), 8.0);
    const auto large = windowWith(14);
    QApplication::setFont(desktop);
    QVERIFY(large->font().pointSizeF() > 12);
    QVERIFY(large->width() > usual->width() * 5 / 4);
    QVERIFY(large->height() > usual->height() * 5 / 4);
    const QWidget* midiFile = CDialogBuilder::GetDlgItem(large.get(), 1023);
    QCOMPARE(midiFile->height(), CDialogUnits(large->font()).ToPixels(QSize(0, 8)).height());
}
