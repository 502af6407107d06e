// The main window's bank contents window, made at its first use, and the audition that
// plays its rows on the card in use.
#pragma once

#include <QObject>
#include <QString>

#include <memory>

class CAudition;
class CBankTable;
class CContentsDlg;
class QWidget;

class CContentsHost : public QObject
{
    Q_OBJECT

public:
    // cardForThisRun: the card named on the command line for this run ("" for the chosen
    // one), which the audition plays on as the main window does.
    CContentsHost(const CBankTable& bankTable, QWidget& owner, const QString& cardForThisRun);
    ~CContentsHost() override;
    CContentsHost(const CContentsHost&) = delete;
    CContentsHost& operator=(const CContentsHost&) = delete;

    // Shows the window, with the rows of that bank only, or of every bank (-1).
    void Show(int id);
    // The window reads the card's banks again, if it was made.
    void ShowCard();
    CContentsDlg& Window();

private:
    void OnAudition(int nBankId, int nBankNumber, int nProgram, bool bDrumKit, int nChannel);

    const CBankTable& m_bankTable;
    QWidget& m_owner;
    const QString& m_cardForThisRun;
    CContentsDlg* m_contentsDlg = nullptr;
    // The audition of the card it was made for (its library and server address).
    std::unique_ptr<CAudition> m_audition;
    QString m_strAuditionCard;
};
