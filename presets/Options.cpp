#include "Options.h"

#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "BankTable.h"
#include "ExecutableDir.h"
#include "NativePath.h"
#include "StringTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
constexpr int IDS_OPTIONS_FILE = 182;
constexpr int IDS_OPTIONS_NOT_SAVED = 1000;
constexpr int IDS_OPTIONS_DAMAGED = 1001;

// The user's copy lives in a directory of the program's own under the configuration
// directory.
constexpr char kUserDir[] = "korvane";
// Where installed programs live (/usr/lib/korvane from the package, /usr/local/lib/korvane
// from an install): a system folder, shared by every user and left to the package manager.
constexpr char kSystemDir[] = "/usr/";
// Names tried for a damaged file: "krv.opt.bad", "krv.opt.bad.1", ...
constexpr int kMaxSetAsideNames = 1000;
} // namespace

bool COptions::IsInstalled()
{
    return QDir::cleanPath(CExecutableDir::Path()).startsWith(QLatin1String(kSystemDir));
}

QString COptions::ProgramFile()
{
    return QDir(CExecutableDir::Path()).filePath(CStringTable::Load(IDS_OPTIONS_FILE));
}

QString COptions::UserFile()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty())
        return QString();
    return QDir(config).filePath(QLatin1String(kUserDir) + QLatin1Char('/') +
                                 CStringTable::Load(IDS_OPTIONS_FILE));
}

// An installed program keeps the options in the user's configuration folder only. A build
// tree or an unpacked copy keeps them beside the program, and has a user's copy only
// because the program's directory could not be written: that copy is then the newer.
QString COptions::FileToRead()
{
    const QString userFile = UserFile();
    if (IsInstalled())
        return userFile;
    return !userFile.isEmpty() && QFileInfo::exists(userFile) ? userFile : ProgramFile();
}

bool COptions::Load()
{
    m_strFilePath = FileToRead();
    if (m_strFilePath.isEmpty())
        return false;
    const auto read =
        CArchiveReader::ReadFile(m_strFilePath, [this](CArchiveReader& ar) { Serialize(ar); });
    if (read == CArchiveReader::FileResult::CannotOpen && !QFileInfo::exists(m_strFilePath))
        return false;
    // A damaged file has left the fields as they were; writing them at exit repairs it.
    if (read != CArchiveReader::FileResult::Read) {
        CBankTable::ShowError(IDS_OPTIONS_DAMAGED, CStringTable::Load(IDS_OPTIONS_DAMAGED) +
                                                       CNativePath::Display(m_strFilePath));
        m_bChanged = 1;
        m_bDamaged = true;
    }
    return true;
}

bool COptions::Save()
{
    if (m_bChanged == 0)
        return true;
    QString path = m_strFilePath.isEmpty() ? FileToRead() : m_strFilePath;
    if (m_bDamaged)
        SetAsideDamaged();
    m_bDamaged = false;
    QString error;
    bool written = WriteTo(path, error);
    const QString userFile = UserFile();
    if (!written && !userFile.isEmpty() && userFile != path) {
        path = userFile;
        written = WriteTo(path, error);
    }
    if (!written) {
        CBankTable::ShowError(IDS_OPTIONS_NOT_SAVED, CStringTable::Load(IDS_OPTIONS_NOT_SAVED) +
                                                         CNativePath::Display(path) +
                                                         QLatin1Char('\n') + error);
        return false;
    }
    m_strFilePath = path;
    m_bChanged = 0;
    return true;
}

bool COptions::WriteTo(const QString& path, QString& error) const
{
    QDir().mkpath(QFileInfo(path).path());
    return CArchiveWriter::WriteFile(
        path, [this](CArchiveWriter& ar) { Serialize(ar); }, &error);
}

// The damaged file may hold settings the user wants back (a start-up preset): it is
// renamed, never over an earlier one, rather than overwritten.
void COptions::SetAsideDamaged() const
{
    for (int n = 0; n < kMaxSetAsideNames; ++n) {
        const QString aside =
            m_strFilePath + (n == 0 ? QStringLiteral(".bad") : QStringLiteral(".bad.%1").arg(n));
        if (!QFileInfo::exists(aside)) {
            QFile::rename(m_strFilePath, aside);
            return;
        }
    }
}

void COptions::Serialize(CArchiveWriter& ar) const
{
    ar.WritePath(m_strStartupPreset);
    ar.WriteUInt32(m_nDisplay);
    ar.WritePath(m_strMidiPath);
}

void COptions::Serialize(CArchiveReader& ar)
{
    const QString startupPreset = ar.ReadPath();
    const uint32_t display = ar.ReadUInt32();
    const QString midiPath = ar.ReadPath();
    // Only the two display modes exist; any other number means the file is not ours.
    if (display != DisplayStandard && display != DisplayTrayIcon)
        ar.Fail();
    if (!ar.Ok())
        return;
    m_strStartupPreset = startupPreset;
    m_nDisplay = display;
    m_strMidiPath = midiPath;
}

void COptions::SetStartupPreset(const QString& path)
{
    m_strStartupPreset = path;
    m_bChanged = 1;
}

void COptions::SetDisplay(uint32_t display)
{
    m_nDisplay = display;
    m_bChanged = 1;
}

void COptions::SetMidiFile(const QString& path)
{
    m_strMidiPath = path;
    m_bChanged = 1;
}
