// The sequencer service on libfluidsynth: one synthesizer, kept with its SoundFonts from one
// play to the next, plays one MIDI file at a time through an audio output whose thread also
// notices the file's end. SoundFonts load on a thread of their own when asked ahead.
#pragma once

#include "FileIdentity.h"
#include "SequencerAudioOutput.h"
#include "SequencerService.h"

#include <QObject>

#include <map>
#include <memory>

class CFluidSynthApi;
class CSequencerSynth;

class CSequencerFluidSynth : public CSequencerService
{
public:
    // soundFont: the General MIDI SoundFont played when no other is asked for; openAudio:
    // where the samples go (the desktop's audio output unless a caller brings its own).
    // FluidSynth itself is loaded only by the first open.
    explicit CSequencerFluidSynth(QString soundFont = DefaultSoundFont(),
                                  CSequencerAudioOutput::Opener openAudio = DefaultAudio());
    // Closes every device still open and waits for a SoundFont load under way: no thread
    // outlives the service.
    ~CSequencerFluidSynth() override;
    CSequencerFluidSynth(const CSequencerFluidSynth&) = delete;
    CSequencerFluidSynth& operator=(const CSequencerFluidSynth&) = delete;

    // Busy while another device is open: they would share the synthesizer.
    unsigned Open(const QString& path, unsigned& deviceId) override;
    unsigned Play(unsigned deviceId, QObject* window) override;
    unsigned Stop(unsigned deviceId) override;
    unsigned Close(unsigned deviceId) override;
    // The SoundFonts are loaded by the next open or LoadSoundFonts, and only when they
    // differ from those loaded (other files, or the same files changed since).
    void UseSoundFonts(const QStringList& highestFirst) override;
    // While a load runs, a later call waits for it; its end notifies the window of the
    // later call, once the SoundFonts asked for last are loaded too.
    bool LoadSoundFonts(QObject* window) override;
    QString FailedSoundFont() const override { return m_strFailedFont; }

    // How many times SoundFonts have been loaded into a new synthesizer.
    int SoundFontLoads() const { return m_nSoundFontLoads; }

    // The SoundFont named by KORVANE_SOUNDFONT, else the system's General MIDI one.
    static QString DefaultSoundFont();
    static CSequencerAudioOutput::Opener DefaultAudio();

private:
    struct Device;
    struct FontLoad;
    static int RenderDevice(void* device, int frames, int nfx, float* fx[], int nout, float* out[]);
    Device* Find(unsigned deviceId) const;
    // Makes the synthesizer hold the SoundFonts asked for; 0 or NoSoundFont. A load that
    // runs is waited for; one that failed on the same files gives its result once more.
    // fontsChecked: LoadSoundFonts has just found them unchanged.
    unsigned PrepareSynth(const CFluidSynthApi& api, bool fontsChecked);
    // Window thread: takes over the synthesizer or the failure of the load that has ended.
    // serial tells a load apart from a later one; chain starts the next load when other
    // SoundFonts have been asked for meanwhile (Open, which waits, loads them itself).
    void FinishLoad(unsigned serial, bool chain);
    QStringList SoundFonts() const;
    // The file's bytes, checked; those of the last file opened are kept, and a later play
    // of the same file unchanged takes them without reading it again.
    unsigned ReadMidiFile(const QString& path, QByteArray& midi);

    QString m_strSoundFont;
    FileIdentity m_lastMidiFile;
    QByteArray m_lastMidi;
    CSequencerAudioOutput::Opener m_openAudio;
    QStringList m_requestedFonts;
    // The synthesizer and what its SoundFonts were when it loaded them.
    std::unique_ptr<CSequencerSynth> m_synth;
    FileIdentities m_loadedFonts;
    // The SoundFonts of the last load that failed, and which of them did.
    FileIdentities m_failedFonts;
    QString m_strFailedFont;
    int m_nSoundFontLoads = 0;
    // LoadSoundFonts found the SoundFonts loaded and unchanged, and nothing has been asked
    // for since: the open that follows it does not read their files' status again.
    bool m_bFontsJustChecked = false;
    // The load running on its own thread, if any; its end is handed to the window thread
    // through m_loadContext, which lives there.
    std::unique_ptr<FontLoad> m_load;
    unsigned m_nLoadSerial = 0;
    QObject m_loadContext;
    std::map<unsigned, std::unique_ptr<Device>> m_devices;
    unsigned m_nNextId = 1;
};
