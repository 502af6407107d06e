#include "ContentsHost.h"

#include "Audition.h"
#include "CardChoice.h"
#include "ContentsDlg.h"
#include "ExecutableDir.h"

CContentsHost::CContentsHost(const CBankTable& bankTable, QWidget& owner,
                             const QString& cardForThisRun)
    : m_bankTable(bankTable), m_owner(owner), m_cardForThisRun(cardForThisRun)
{
}

// The audition stops its phrase and puts its channel back before the window goes.
CContentsHost::~CContentsHost() = default;

void CContentsHost::Show(int id)
{
    CContentsDlg& contents = Window();
    contents.show();
    contents.ChooseBank(id);
    contents.raise();
    contents.activateWindow();
}

void CContentsHost::ShowCard()
{
    if (m_contentsDlg)
        m_contentsDlg->ShowCard();
}

CContentsDlg& CContentsHost::Window()
{
    if (!m_contentsDlg) {
        m_contentsDlg = new CContentsDlg(m_bankTable, &m_owner);
        connect(m_contentsDlg, &CContentsDlg::AuditionRequested, this, &CContentsHost::OnAudition);
    }
    return *m_contentsDlg;
}

// After a switch of cards the next audition plays on the new card; the old one's phrase
// stops and its channel is put back first.
void CContentsHost::OnAudition(int nBankId, int nBankNumber, int nProgram, bool bDrumKit,
                               int nChannel)
{
    const CCardChoice card;
    const QString library = card.LibraryPath(CExecutableDir::Path(), m_cardForThisRun);
    const QString cardInUse = library + QLatin1Char('@') + card.AddressInUse();
    if (!m_audition || cardInUse != m_strAuditionCard) {
        m_audition.reset();
        m_audition = std::make_unique<CAudition>(
            m_bankTable, CAudition::OutputFor(library, card.AddressInUse()));
        connect(m_audition.get(), &CAudition::StatusChanged, m_contentsDlg,
                &CContentsDlg::SetAuditionStatus);
        m_strAuditionCard = cardInUse;
    }
    m_audition->Audition(nBankId, nBankNumber, nProgram, bDrumKit, nChannel);
}
