#include "KorvaneApp.h"

#include "CardChoice.h"
#include "ExecutableDir.h"
#include "KorvaneDlg.h"
#include "SequencerFluidSynth.h"
#include "SharedSynthLibrary.h"

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
    dialog.DoModal();
    return 0;
}
