#pragma once

#include <QString>

class QWidget;

// Message box types: buttons in the low four bits, icon in the next four.
namespace Mb {
constexpr unsigned Ok = 0x00;
constexpr unsigned OkCancel = 0x01;
constexpr unsigned YesNoCancel = 0x03;
constexpr unsigned YesNo = 0x04;
constexpr unsigned IconHand = 0x10;
constexpr unsigned IconQuestion = 0x20;
constexpr unsigned IconExclamation = 0x30;
constexpr unsigned IconAsterisk = 0x40;
constexpr unsigned ButtonMask = 0x0F;
constexpr unsigned IconMask = 0xF0;
} // namespace Mb

// The buttons a message box returns.
namespace Id {
constexpr int Ok = 1;
constexpr int Cancel = 2;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace Id

// Shows modal message boxes; replaceable so that tests can answer them.
class CMessageBoxService
{
public:
    virtual ~CMessageBoxService();

    // Shows text under caption with the buttons and icon of type (Mb flags) and returns
    // the button chosen (an Id value). owner may be null.
    virtual int Show(QWidget* owner, const QString& text, const QString& caption,
                     unsigned type) = 0;

    // The service in use: the installed one (the window installs the one on QMessageBox),
    // else one that writes the message to Qt's log and dismisses the box.
    static CMessageBoxService& Current();
    // Makes service the current one; nullptr restores the logging one. The caller keeps
    // ownership.
    static void Install(CMessageBoxService* service);

    // What closing a box of type without choosing answers: Id::Cancel when the box has a
    // Cancel button, Id::No for a Yes/No box, else Id::Ok.
    static int DismissAnswer(unsigned type);
};
