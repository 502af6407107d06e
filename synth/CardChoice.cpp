#include "CardChoice.h"

#include "BankTable.h"
#include "CardSettings.h"
#include "SharedSynthLibrary.h"
#include "StringTable.h"
#include "SynthStatus.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString kCardKey = QStringLiteral("synthesizer/card");
const QString kAddressKey = QStringLiteral("fluidsynth/address");
const QString kMemoryKey = QStringLiteral("fluidsynth/memory");
const QString kSimulatedName = QStringLiteral("simulated");
const QString kFluidSynthName = QStringLiteral("fluidsynth");
const QString kSimulatedLibrary = QStringLiteral("libsynth32.so");
const QString kServerLibrary = QStringLiteral("libsynth32-fluidsynth.so");

constexpr int IDS_BANK_EXT = 107;
constexpr int IDS_BANK_FILTER = 108;
constexpr int IDS_SOUNDFONT_EXT = 1060;
constexpr int IDS_SOUNDFONT_FILTER = 1061;
constexpr int IDS_SERVER_NOT_ANSWERING = 1062;

// Another card library to load instead of the chosen card's.
constexpr const char* kLibraryVariable = "KORVANE_SYNTH_LIBRARY";
// What the FluidSynth library reads at every call.
constexpr const char* kAddressVariable = "KORVANE_FLUIDSYNTH";
constexpr const char* kMemoryVariable = "KORVANE_FLUIDSYNTH_MEMORY";

// The variables as the program found them at its start, before it set any itself.
struct StartEnvironment
{
    bool addressSet = qEnvironmentVariableIsSet(kAddressVariable);
    bool memorySet = qEnvironmentVariableIsSet(kMemoryVariable);
};

const StartEnvironment& AtStart()
{
    static const StartEnvironment environment;
    return environment;
}

// The card the last library opened was named for ("simulated", "fluidsynth", a library's
// path), or nothing when it was the chosen card.
QString& CardOpenedForThisRun()
{
    static QString card;
    return card;
}

} // namespace

QString CCardChoice::DefaultSettingsPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("korvane/korvane.conf"));
}

CCardChoice::CCardChoice(QString settingsPath) : m_settingsPath(std::move(settingsPath))
{
    AtStart();
}

CCardChoice::Kind CCardChoice::CardKind() const
{
    const QSettings settings(m_settingsPath, QSettings::IniFormat);
    return settings.value(kCardKey).toString() == kFluidSynthName ? Kind::FluidSynth
                                                                  : Kind::Simulated;
}

void CCardChoice::SetCardKind(Kind kind)
{
    QSettings settings(m_settingsPath, QSettings::IniFormat);
    settings.setValue(kCardKey, kind == Kind::FluidSynth ? kFluidSynthName : kSimulatedName);
}

QString CCardChoice::ServerAddress() const
{
    const QSettings settings(m_settingsPath, QSettings::IniFormat);
    const QString address = settings.value(kAddressKey).toString();
    return IsValidAddress(address) ? address : QString::fromLatin1(DEFAULT_ADDRESS);
}

bool CCardChoice::SetServerAddress(const QString& address)
{
    if (!IsValidAddress(address))
        return false;
    QSettings settings(m_settingsPath, QSettings::IniFormat);
    settings.setValue(kAddressKey, address);
    return true;
}

uint32_t CCardChoice::MemoryBudget() const
{
    const QSettings settings(m_settingsPath, QSettings::IniFormat);
    bool ok = false;
    const qulonglong bytes = settings.value(kMemoryKey).toULongLong(&ok);
    return ok && bytes >= 1 && bytes <= UINT32_MAX ? static_cast<uint32_t>(bytes)
                                                   : DEFAULT_MEMORY_BUDGET;
}

bool CCardChoice::SetMemoryBudget(uint64_t bytes)
{
    if (bytes < 1 || bytes > UINT32_MAX)
        return false;
    QSettings settings(m_settingsPath, QSettings::IniFormat);
    settings.setValue(kMemoryKey, static_cast<qulonglong>(bytes));
    return true;
}

bool CCardChoice::IsValidAddress(const QString& address)
{
    const qsizetype colon = address.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0 || address.contains(QLatin1Char(' ')))
        return false;
    bool ok = false;
    const uint port = address.mid(colon + 1).toUInt(&ok);
    return ok && port >= 1 && port <= 65535;
}

bool CCardChoice::IsCardForThisRun(const QString& card)
{
    return card == kSimulatedName || card == kFluidSynthName || card.contains(u'/');
}

QString CCardChoice::LibraryPath(const QString& executableDir, const QString& cardForThisRun) const
{
    const std::optional<Kind> kind = KindForRun(cardForThisRun);
    if (!kind)
        return qEnvironmentVariableIsEmpty(kLibraryVariable)
                   ? cardForThisRun
                   : qEnvironmentVariable(kLibraryVariable);
    return QDir(executableDir)
        .filePath(*kind == Kind::FluidSynth ? kServerLibrary : kSimulatedLibrary);
}

bool CCardChoice::IsServerLibrary(const QString& path)
{
    return QFileInfo(path).fileName() == kServerLibrary;
}

std::optional<CCardChoice::Kind> CCardChoice::KindForRun(const QString& cardForThisRun) const
{
    if (!qEnvironmentVariableIsEmpty(kLibraryVariable))
        return std::nullopt;
    if (cardForThisRun.isEmpty())
        return CardKind();
    if (cardForThisRun == kSimulatedName)
        return Kind::Simulated;
    if (cardForThisRun == kFluidSynthName)
        return Kind::FluidSynth;
    return std::nullopt;
}

QString CCardChoice::StateFileToWatch(const QString& cardForThisRun) const
{
    if (KindForRun(cardForThisRun) != Kind::Simulated)
        return QString();
    return QFile::decodeName(CCardSettings::StatePath().c_str());
}

void CCardChoice::ApplyToEnvironment() const
{
    if (!AtStart().addressSet)
        qputenv(kAddressVariable, ServerAddress().toUtf8());
    if (!AtStart().memorySet)
        qputenv(kMemoryVariable, QByteArray::number(MemoryBudget()));
}

bool CCardChoice::OpenLibrary(CSharedSynthLibrary& library, const QString& executableDir,
                              const QString& cardForThisRun) const
{
    ApplyToEnvironment();
    CardOpenedForThisRun() = cardForThisRun;
    // Every message of the card's errors, in a window or on a terminal, says what the card
    // adds to its code.
    CBankTable::SetStatusDetail([settingsPath = m_settingsPath](int code) {
        return CCardChoice(settingsPath).StatusDetail(code);
    });
    return library.Open(LibraryPath(executableDir, cardForThisRun));
}

CCardChoice::Kind CCardChoice::KindInUse() const
{
    const QString& named = CardOpenedForThisRun();
    if (named.isEmpty())
        return CardKind();
    return named == kFluidSynthName || IsServerLibrary(named) ? Kind::FluidSynth : Kind::Simulated;
}

QString CCardChoice::BankFileExtension() const
{
    return CStringTable::Load(KindInUse() == Kind::FluidSynth ? IDS_SOUNDFONT_EXT : IDS_BANK_EXT);
}

QString CCardChoice::BankFileFilter() const
{
    return CStringTable::Load(KindInUse() == Kind::FluidSynth ? IDS_SOUNDFONT_FILTER
                                                              : IDS_BANK_FILTER);
}

QString CCardChoice::StatusDetail(int code) const
{
    QString detail;
    if (const QString fromCard = CSharedSynthLibrary::FailureDetail(static_cast<uint16_t>(code));
        !fromCard.isEmpty())
        detail = QLatin1Char('\n') + fromCard;
    if (code == SYNTHERR_NOTSUPPORTED && KindInUse() == Kind::FluidSynth)
        detail +=
            QLatin1Char('\n') + CStringTable::Load(IDS_SERVER_NOT_ANSWERING).arg(AddressInUse());
    return detail;
}

// The address the library really uses: the user's variable, else the setting.
QString CCardChoice::AddressInUse() const
{
    return qEnvironmentVariable(kAddressVariable, ServerAddress());
}
