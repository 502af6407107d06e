#include "KorvaneApp.h"

#include "ExecutableDir.h"
#include "KorvaneDlg.h"
#include "SequencerFluidSynth.h"
#include "SharedSynthLibrary.h"

#include <QTextStream>

CKorvaneApp::CKorvaneApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("korvane"));
}

int CKorvaneApp::InitInstance(const QString& card, const QString& fileToOpen)
{
    CSharedSynthLibrary library(CSharedSynthLibrary::DefaultPath(CExecutableDir::Path(), card));
    // Without a card library the window still opens; every operation then reports
    // an error status, and this line tells why.
    if (!library.IsLoaded())
        QTextStream(stderr) << "korvane: no synthesizer library: " << library.ErrorString() << '\n';
    // The sequencer outlives the window, which closes a device still playing as it goes.
    CSequencerFluidSynth sequencer;
    CKorvaneDlg dialog(library, &sequencer);
    dialog.OnInitDialog();
    if (!fileToOpen.isEmpty())
        dialog.OpenFile(fileToOpen);
    dialog.RunModal();
    return 0;
}
