#include "Audition.h"

#include "BankTable.h"
#include "CardChoice.h"
#include "SequencerFluidSynth.h"
#include "ServerAudition.h"
#include "SoundFontBanks.h"
#include "StringTable.h"
#include "SynthAudition.h"

#include <algorithm>
#include <set>

namespace {
constexpr int IDS_AUDITION_GM_PROGRAM = 1090;
constexpr int IDS_AUDITION_GM_DRUM_KIT = 1091;
constexpr int IDS_AUDITION_FILE_UNKNOWN = 1092;
constexpr int IDS_AUDITION_BAD_CHANNEL = 1093;
constexpr int IDS_AUDITION_BAD_PROGRAM = 1094;
// The longest a release sounds on after the phrase, and how often it is looked at.
constexpr std::chrono::milliseconds kMaxRelease{1500};
constexpr std::chrono::milliseconds kReleaseCheck{20};
} // namespace

CAudition::CAudition(const CBankTable& table, std::unique_ptr<CAuditionOutput> output,
                     QObject* parent)
    : QObject(parent), m_table(table), m_output(std::move(output))
{
    m_thread = std::thread(&CAudition::Run, this);
}

CAudition::~CAudition()
{
    {
        const std::lock_guard lock(m_mutex);
        m_bQuit = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

std::unique_ptr<CAuditionOutput> CAudition::OutputFor(const QString& libraryPath,
                                                      const QString& serverAddress)
{
    if (!CCardChoice::IsServerLibrary(libraryPath))
        return std::make_unique<CSynthAudition>(CSequencerFluidSynth::DefaultAudio());
    // A malformed address reaches no server, which the audition then says.
    CFluidShell::Address address;
    CFluidShell::ParseAddress(serverAddress.toStdString(), address);
    return std::make_unique<CServerAudition>(address);
}

void CAudition::Audition(int nBankId, int nBankNumber, int nProgram, bool bDrumKit, int nChannel)
{
    Play({nBankId, nBankNumber, nProgram, bDrumKit, nChannel});
}

void CAudition::Play(const AuditionRequest& request)
{
    QString problem;
    QString note;
    const AuditionPlan plan = Resolve(request, problem, note);
    if (!problem.isEmpty()) {
        emit StatusChanged(problem);
        emit Finished(problem);
        return;
    }
    emit StatusChanged(note);
    {
        const std::lock_guard lock(m_mutex);
        m_pending = plan;
        m_bStop = true;
    }
    m_wake.notify_all();
}

void CAudition::Stop()
{
    {
        const std::lock_guard lock(m_mutex);
        m_pending.reset();
        m_bStop = true;
    }
    m_wake.notify_all();
}

void CAudition::Retire()
{
    {
        const std::lock_guard lock(m_mutex);
        m_pending.reset();
        m_bStop = true;
        m_bQuit = true;
        m_bRetired = true;
    }
    m_wake.notify_all();
}

bool CAudition::WaitRetired(std::chrono::milliseconds wait)
{
    std::unique_lock lock(m_mutex);
    return m_wake.wait_for(lock, wait, [this] { return m_bEnded; });
}

AuditionPlan CAudition::Resolve(const AuditionRequest& request, QString& problem,
                                QString& note) const
{
    AuditionPlan plan;
    if (request.channel < 1 || request.channel > AuditionRequest::kChannels) {
        problem = CStringTable::Load(IDS_AUDITION_BAD_CHANNEL);
        return plan;
    }
    if (request.program < 0 || request.program > AuditionRequest::kMaxProgram) {
        problem = CStringTable::Load(IDS_AUDITION_BAD_PROGRAM);
        return plan;
    }
    const QString path = request.bankId >= 0 && request.bankId < MAX_BANKS
                             ? m_table.GetBankPath(static_cast<uint16_t>(request.bankId))
                             : QString();
    if (path.isEmpty()) {
        problem = CStringTable::Load(IDS_AUDITION_FILE_UNKNOWN).arg(request.bankId);
        return plan;
    }
    plan.cardFonts = m_cardFonts.HighestFirst(m_table);
    plan.program = request.program;
    plan.channel = request.channel;
    plan.drumKit = request.drumKit;
    plan.generalMidi = !plan.cardFonts.contains(path);
    if (plan.generalMidi) {
        // A bank file's sounds are in the card alone: the General MIDI program of the same
        // number stands in for them.
        plan.soundFont = CSequencerFluidSynth::DefaultSoundFont();
        plan.bank = request.drumKit ? CSoundFontBanks::kDrumKitBank : 0;
        note =
            CStringTable::Load(request.drumKit ? IDS_AUDITION_GM_DRUM_KIT : IDS_AUDITION_GM_PROGRAM)
                .arg(request.program);
    } else {
        plan.soundFont = path;
        plan.bank = request.bankNumber;
    }
    return plan;
}

void CAudition::Run()
{
    for (;;) {
        std::unique_lock lock(m_mutex);
        m_wake.wait(lock, [this] { return m_pending || m_bQuit; });
        if (m_bQuit) {
            if (m_bRetired)
                deleteLater();
            m_bEnded = true;
            m_wake.notify_all();
            return;
        }
        const AuditionPlan plan = *std::exchange(m_pending, std::nullopt);
        m_bStop = false;
        lock.unlock();
        const QString problem = Perform(plan);
        if (!problem.isEmpty())
            emit StatusChanged(problem);
        emit Finished(problem);
    }
}

bool CAudition::WaitUntil(std::chrono::steady_clock::time_point time)
{
    std::unique_lock lock(m_mutex);
    return !m_wake.wait_until(lock, time, [this] { return m_bStop || m_bQuit; });
}

QString CAudition::Perform(const AuditionPlan& plan)
{
    if (QString problem = m_output->Begin(plan); !problem.isEmpty())
        return problem;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    // A key is held from before its note-on is sent: a note-on whose reply is lost may
    // still have sounded.
    std::set<int> held;
    bool playing = true;
    QString problem;
    for (const CAuditionPhrase::Event& event : CAuditionPhrase::For(plan.drumKit)) {
        playing = WaitUntil(start + std::chrono::milliseconds(event.atMs));
        if (!playing)
            break;
        if (event.velocity > 0)
            held.insert(event.key);
        if (!m_output->Note(event.key, event.velocity)) {
            problem = m_output->Problem();
            break;
        }
        if (event.velocity == 0)
            held.erase(event.key);
    }
    // A phrase cut short or failed still switches off every note it may have switched on;
    // the first failure is the one told.
    for (const int key : held) {
        if (!m_output->Note(key, 0) && problem.isEmpty())
            problem = m_output->Problem();
    }
    const Clock::time_point releaseEnd = Clock::now() + kMaxRelease;
    while (playing && problem.isEmpty() && m_output->Sounding() && Clock::now() < releaseEnd)
        playing = WaitUntil(std::min(Clock::now() + kReleaseCheck, releaseEnd));
    if (!m_output->End() && problem.isEmpty())
        problem = m_output->Problem();
    return problem;
}
