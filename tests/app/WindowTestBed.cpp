#include "WindowTestBed.h"

#include "BankFileWriter.h"
#include "ExecutableDir.h"

namespace {
constexpr uint32_t kCardMemory = 4 * 1024 * 1024;
constexpr uint32_t kBankSize = 8192;
} // namespace

CWindowTestBed::CWindowTestBed()
{
    qputenv("KORVANE_CARD_STATE", m_dir.filePath("card.state").toLocal8Bit());
    qputenv("KORVANE_CARD_MEMORY", QByteArray::number(kCardMemory));
    CExecutableDir::Override(m_dir.path());
    qputenv("XDG_CONFIG_HOME", m_dir.filePath("config").toLocal8Bit());
    m_library = std::make_unique<CSharedSynthLibrary>(QStringLiteral(KORVANE_CARD_LIBRARY));
}

CWindowTestBed::~CWindowTestBed()
{
    CExecutableDir::Override(QString());
}

QString CWindowTestBed::Problem() const
{
    if (!m_dir.isValid())
        return QStringLiteral("no temporary directory");
    return m_library->IsLoaded() ? QString() : m_library->ErrorString();
}

void CWindowTestBed::WriteOptions(const QString& startupPreset, uint32_t display)
{
    COptions options;
    options.SetStartupPreset(startupPreset);
    options.SetDisplay(display);
    options.Save();
}

QString CWindowTestBed::MakeBank(const QString& name) const
{
    const QString bankPath = Path(name + ".94b");
    CBankFileWriter writer(name.toStdString());
    writer.AddInstrument(0, 0);
    writer.SetSize(kBankSize);
    writer.Write(bankPath.toStdString());
    return bankPath;
}

QString CWindowTestBed::MakePreset(const QString& name, const QStringList& banks)
{
    CBankTable lastRun(*m_library);
    lastRun.SetSleep([](int) {});
    lastRun.Init(nullptr);
    for (const QString& bank : banks)
        lastRun.LoadBank(MakeBank(bank));
    lastRun.SavePreset(Path(name));
    lastRun.UnloadAllBanks();
    return Path(name);
}

std::unique_ptr<CKorvaneDlg> CWindowTestBed::StartWindow()
{
    auto window = std::make_unique<CKorvaneDlg>(*m_library);
    window->OnInitDialog();
    window->show();
    return window;
}
