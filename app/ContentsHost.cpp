#include "ContentsHost.h"

#include "Audition.h"
#include "CardChoice.h"
#include "ContentsDlg.h"
#include "ExecutableDir.h"

namespace {
// How long the program, as it ends, lets the audition put its channel back.
constexpr std::chrono::milliseconds kExitWait{2000};
} // namespace

CContentsHost::CContentsHost(const CBankTable& bankTable, QWidget& owner,
                             const QString& cardForThisRun)
    : m_bankTable(bankTable), m_owner(owner), m_cardForThisRun(cardForThisRun)
{
}

// The audition stops its phrase and puts its channel back before the window goes. The
// wait is bounded: past it, a server that does not answer is left to the audition's
// thread, which the ending process takes with it.
CContentsHost::~CContentsHost()
{
    CAudition* audition = m_audition.release();
    if (!audition)
        return;
    audition->Retire();
    if (audition->WaitRetired(kExitWait))
        delete audition;
}

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
        connect(m_contentsDlg, &CContentsDlg::Hidden, this, [this] {
            if (m_audition)
                m_audition->Stop();
        });
    }
    return *m_contentsDlg;
}

// After a switch of cards the next audition plays on the new card; the old one's phrase
// stops and its channel is put back on its own thread, which the window does not wait for.
void CContentsHost::OnAudition(int nBankId, int nBankNumber, int nProgram, bool bDrumKit,
                               int nChannel)
{
    const CCardChoice card;
    const QString library = card.LibraryPath(CExecutableDir::Path(), m_cardForThisRun);
    const QString cardInUse = library + QLatin1Char('@') + card.AddressInUse();
    if (!m_audition || cardInUse != m_strAuditionCard) {
        if (m_audition) {
            disconnect(m_audition.get(), nullptr, m_contentsDlg, nullptr);
            m_audition.release()->Retire();
        }
        m_audition = std::make_unique<CAudition>(
            m_bankTable, CAudition::OutputFor(library, card.AddressInUse()));
        connect(m_audition.get(), &CAudition::StatusChanged, m_contentsDlg,
                &CContentsDlg::SetAuditionStatus);
        m_strAuditionCard = cardInUse;
    }
    m_audition->Audition(nBankId, nBankNumber, nProgram, bDrumKit, nChannel);
}
