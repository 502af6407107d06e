#include "KorvaneApp.h"

#include "CardChoice.h"
#include "ExecutableDir.h"
#include "KorvaneDlg.h"
#include "SequencerFluidSynth.h"
#include "SharedSynthLibrary.h"
#include "SingleInstance.h"

#include <QTextStream>

namespace {

void ReportMissingLibrary(const CSharedSynthLibrary& library)
{
    QTextStream(stderr) << "korvane: no synthesizer library: " << library.ErrorString() << '\n';
}

} // namespace

CKorvaneApp::CKorvaneApp(int& argc, char** argv) : QApplication(argc, argv)
{
    // The name a StatusNotifierItem host shows for the tray icon.
    setApplicationName(QStringLiteral("Korvane"));
    // Desktops match the window to the installed desktop entry by this name.
    setDesktopFileName(QStringLiteral("io.github.korvane.Korvane"));
    CMessageBoxService::Install(&m_messageBoxes);
}

CKorvaneApp::~CKorvaneApp()
{
    CMessageBoxService::Install(nullptr);
}

int CKorvaneApp::InitInstance(const QString& card, const QString& fileToOpen)
{
    // One window per user: a second start brings the running one forward, hands it the
    // file to open, and ends.
    CSingleInstance instance(QStringLiteral("korvane"));
    if (!instance.Claim(fileToOpen))
        return 0;
    const CCardChoice cardChoice;
    CSharedSynthLibrary library;
    // Without a card library the window still opens; every operation then reports
    // an error status, and this line tells why.
    if (!cardChoice.OpenLibrary(library, CExecutableDir::Path(), card))
        ReportMissingLibrary(library);
    // The sequencer outlives the window, which closes a device still playing as it goes.
    CSequencerFluidSynth sequencer;
    CKorvaneDlg dialog(library, &sequencer);
    dialog.SetCardForThisRun(card);
    // Choosing another card in Options switches at once, to the card chosen there.
    dialog.SetCardSwitch([&cardChoice, &library] {
        if (!cardChoice.OpenLibrary(library, CExecutableDir::Path()))
            ReportMissingLibrary(library);
    });
    connect(&instance, &CSingleInstance::AnotherStart, &dialog, [&dialog](const QString& file) {
        dialog.OnRestoreWindow();
        if (!file.isEmpty())
            dialog.OpenFile(file);
    });
    dialog.OnInitDialog();
    if (!fileToOpen.isEmpty())
        dialog.OpenFile(fileToOpen);
    dialog.RunModal();
    return 0;
}
