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
    setApplicationName(QStringLiteral("korvane"));
}

int CKorvaneApp::InitInstance()
{
    // One window per user: a second start brings the running one forward and ends.
    CSingleInstance instance(applicationName());
    if (!instance.Claim())
        return 0;
    const CCardChoice card;
    CSharedSynthLibrary library;
    // Without a card library the window still opens; every operation then reports
    // an error status, and this line tells why.
    if (!card.OpenLibrary(library, CExecutableDir::Path()))
        ReportMissingLibrary(library);
    // The sequencer outlives the window, which closes a device still playing as it goes.
    CSequencerFluidSynth sequencer;
    CKorvaneDlg dialog(library, &sequencer);
    dialog.SetCardSwitch([&card, &library] {
        if (!card.OpenLibrary(library, CExecutableDir::Path()))
            ReportMissingLibrary(library);
    });
    connect(&instance, &CSingleInstance::AnotherStart, &dialog, &CKorvaneDlg::OnRestoreWindow);
    dialog.DoModal();
    return 0;
}
