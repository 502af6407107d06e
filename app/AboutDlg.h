// The About box: the product banner, a picture of the card and three lines of text,
// light grey on black, in a small dialog without a title bar.
#pragma once

#include <QDialog>

class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    static constexpr QRgb BackgroundColor = 0x000000;
    static constexpr QRgb TextColor = 0xF0F0F0;

private:
    void ShowBitmaps();
    void ShowVersion();
    void ApplyColors();
};
