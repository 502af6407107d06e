#include "CardChoice.h"

#include "SharedSynthLibrary.h"
#include "StringTable.h"
#include "SynthStatus.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString kCardKey = QStringLiteral("synthesizer/card");
const QString kAddressKey = QStringLiteral("fluidsynth/address");
const QString kMemoryKey = QStringLiteral("fluidsynth/memory");
const QString kSimulatedName = QStringLiteral("simulated");
const QString kFluidSynthName = QStringLiteral("fluidsynth");

constexpr int IDS_BANK_EXT = 107;
constexpr int IDS_BANK_FILTER = 108;
constexpr int IDS_SOUNDFONT_EXT = 1060;
constexpr int IDS_SOUNDFONT_FILTER = 1061;
constexpr int IDS_SERVER_NOT_ANSWERING = 1062;

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
    const QString configured = qEnvironmentVariable("KORVANE_SYNTH_LIBRARY");
    if (!configured.isEmpty())
        return configured;
    const bool named = !cardForThisRun.isEmpty();
    if (named && cardForThisRun != kSimulatedName && cardForThisRun != kFluidSynthName)
        return cardForThisRun;
    const bool server = named ? cardForThisRun == kFluidSynthName : CardKind() == Kind::FluidSynth;
    const QString name =
        server ? QStringLiteral("libsynth32-fluidsynth.so") : QStringLiteral("libsynth32.so");
    return QDir(executableDir).filePath(name);
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
    return library.Open(LibraryPath(executableDir, cardForThisRun));
}

QString CCardChoice::BankFileExtension() const
{
    return CStringTable::Load(CardKind() == Kind::FluidSynth ? IDS_SOUNDFONT_EXT : IDS_BANK_EXT);
}

QString CCardChoice::BankFileFilter() const
{
    return CStringTable::Load(CardKind() == Kind::FluidSynth ? IDS_SOUNDFONT_FILTER
                                                             : IDS_BANK_FILTER);
}

QString CCardChoice::StatusDetail(int code) const
{
    if (CardKind() != Kind::FluidSynth || code != SYNTHERR_NOTSUPPORTED)
        return {};
    // The address the library really used: the user's variable, else the setting.
    const QString address = qEnvironmentVariable(kAddressVariable, ServerAddress());
    return QLatin1Char('\n') + CStringTable::Load(IDS_SERVER_NOT_ANSWERING).arg(address);
}
