#include "CardWatch.h"

#include "BankTable.h"
#include "SharedSynthLibrary.h"

#include <QDir>
#include <QFileInfo>

CCardWatch::CCardWatch(SynthLibrary& library, const CBankTable& table)
    : m_library(library), m_table(table)
{
    m_worker.setMaxThreadCount(1);
    m_worker.setExpiryTimeout(-1);
    m_poll.setSingleShot(true);
    // A coarse timer may fire a little early, which would only put the read off again.
    m_poll.setTimerType(Qt::PreciseTimer);
    connect(&m_poll, &QTimer::timeout, this, &CCardWatch::ReadSoon);
    connect(&m_files, &QFileSystemWatcher::fileChanged, this, &CCardWatch::OnStateFileEvent);
    connect(&m_files, &QFileSystemWatcher::directoryChanged, this, &CCardWatch::OnStateFileEvent);
}

CCardWatch::~CCardWatch()
{
    m_worker.waitForDone();
}

void CCardWatch::SetStateFile(const QString& path)
{
    m_stateFile = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    if (!m_running)
        return;
    WatchStateFile();
    // A card that is now polled starts its round of reads.
    ReadSoon();
}

void CCardWatch::Start()
{
    m_running = true;
    WatchStateFile();
    ReadSoon();
}

void CCardWatch::Stop()
{
    m_running = false;
    m_readAgain = false;
    m_poll.stop();
    Unwatch();
}

void CCardWatch::Unwatch()
{
    const QStringList watched = m_files.files() + m_files.directories();
    if (!watched.isEmpty())
        m_files.removePaths(watched);
    m_fileWatched = false;
}

// The card replaces its state file by a rename, which ends a watch on the file itself:
// the directory's watch sees the new file (and a file created later), and the file's
// watch is set up again on it. A directory that cannot be watched leaves the card polled.
void CCardWatch::WatchStateFile()
{
    Unwatch();
    if (m_stateFile.isEmpty())
        return;
    const QString directory = QFileInfo(m_stateFile).absolutePath();
    QDir().mkpath(directory);
    m_fileWatched = m_files.addPath(directory);
    if (m_fileWatched && QFileInfo::exists(m_stateFile))
        m_files.addPath(m_stateFile);
}

void CCardWatch::OnStateFileEvent()
{
    if (!m_running)
        return;
    if (m_files.directories().isEmpty())
        WatchStateFile();
    else if (!m_files.files().contains(m_stateFile) && QFileInfo::exists(m_stateFile))
        m_files.addPath(m_stateFile);
    ReadSoon();
}

// One read at a time: a change seen during a read is read once more after it.
void CCardWatch::ReadSoon()
{
    if (!m_running)
        return;
    if (m_reading) {
        m_readAgain = true;
        return;
    }
    if (IsPolled()) {
        const auto wait = m_lastRead + kPollInterval - std::chrono::steady_clock::now();
        if (wait > std::chrono::steady_clock::duration::zero()) {
            m_poll.start(std::chrono::ceil<std::chrono::milliseconds>(wait));
            return;
        }
    }
    BeginRead();
}

void CCardWatch::BeginRead()
{
    m_poll.stop();
    m_reading = true;
    m_readAgain = false;
    m_lastRead = std::chrono::steady_clock::now();
    const uint64_t tableReads = m_table.StatusReads();
    // The window thread may call the card meanwhile: every call of a card library takes the
    // state file's lock itself (as two programs would) and opens its own connection to a
    // server, and the library object never unmaps a library a call may still be in.
    m_worker.start([this, tableReads] {
        SynthStatus status{};
        const uint16_t code = CBankTable::ReadStatus(m_library, status);
        const QString detail = CSharedSynthLibrary::FailureDetail(code);
        QMetaObject::invokeMethod(
            this,
            [this, status, code, detail, tableReads] {
                OnReadDone(status, code, detail, tableReads);
            },
            Qt::QueuedConnection);
    });
}

void CCardWatch::OnReadDone(const SynthStatus& status, uint16_t code, const QString& failureDetail,
                            uint64_t tableReads)
{
    m_reading = false;
    if (!m_running)
        return;
    if (tableReads == m_table.StatusReads())
        emit StatusRead(status, code, failureDetail);
    if (m_reading || !m_running)
        return;
    // A polled card is read again a poll interval after this read began.
    if (m_readAgain || IsPolled())
        ReadSoon();
}
