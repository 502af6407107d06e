#include "AboutDlg.h"

#include "BitmapResource.h"
#include "DialogBuilder.h"
#include "DialogTemplate.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

namespace {
constexpr int IDD_ABOUT = 100;
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    CDialogBuilder::Build(this, DialogTemplate::Load(IDD_ABOUT));
    // A box without a title bar still needs a name for screen readers to announce it by.
    setAccessibleName(QApplication::applicationDisplayName());
    ShowBitmaps();
    ShowVersion();
    ApplyColors();
}

// The text names the program's version where it says "%1".
void CAboutDlg::ShowVersion()
{
    for (QLabel* label : findChildren<QLabel*>()) {
        if (label->text().contains(QLatin1String("%1")))
            label->setText(label->text().arg(QStringLiteral(KORVANE_VERSION)));
    }
}

// Bitmap statics take the size of their picture, keeping their top-left corner.
void CAboutDlg::ShowBitmaps()
{
    for (QLabel* label : findChildren<QLabel*>()) {
        const QVariant bitmapId = label->property("bitmapId");
        if (!bitmapId.isValid())
            continue;
        const QPixmap picture = CBitmapResource::Load(bitmapId.toInt());
        label->setPixmap(picture);
        label->resize(picture.size());
    }
}

// The dialog and its statics are black with light grey text; the OK button keeps
// the desktop's own look.
void CAboutDlg::ApplyColors()
{
    QPalette palette = this->palette();
    for (auto role : {QPalette::Window, QPalette::Base})
        palette.setColor(role, QColor::fromRgb(BackgroundColor));
    for (auto role : {QPalette::WindowText, QPalette::Text})
        palette.setColor(role, QColor::fromRgb(TextColor));
    setPalette(palette);
    setAutoFillBackground(true);
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setPalette(QApplication::palette(button));
}
