#include "SequencerFluidSynth.h"

#include "NativePath.h"
#include "SequencerAudioDriver.h"
#include "SequencerNotifyEvent.h"
#include "SequencerStream.h"
#include "SequencerSynth.h"

#include <QCoreApplication>
#include <QPointer>

#include <atomic>
#include <thread>
#include <utility>

struct CSequencerFluidSynth::Device
{
    explicit Device(unsigned deviceId) : id(deviceId) {}

    // Posts the play's one notification: whichever of the audio thread (end, failure) and
    // the window thread (stop, close) comes first sends it.
    void Notify(unsigned code)
    {
        if (!notified.exchange(true))
            QCoreApplication::postEvent(window, new CSequencerNotifyEvent(code, id));
    }

    const unsigned id;
    std::unique_ptr<CSequencerStream> stream;
    // Declared after the stream: it renders from it until destroyed.
    std::unique_ptr<CSequencerAudioOutput> output;
    QObject* window = nullptr;
    // Window thread only: the device has been played.
    bool started = false;
    // The audio thread renders the file while set; it is set after window.
    std::atomic<bool> playing{false};
    std::atomic<bool> notified{false};
};

struct CSequencerFluidSynth::FontLoad
{
    unsigned serial = 0;
    FileIdentities identities;
    QPointer<QObject> window;
    // Written by the load's thread, read once it has been joined.
    std::unique_ptr<CSequencerSynth> synth;
    unsigned error = SequencerError::None;
    QString failedFont;
    std::thread thread;
};

CSequencerFluidSynth::CSequencerFluidSynth(QString soundFont,
                                           CSequencerAudioOutput::Opener openAudio)
    : m_strSoundFont(std::move(soundFont)), m_openAudio(std::move(openAudio))
{
}

CSequencerFluidSynth::~CSequencerFluidSynth()
{
    while (!m_devices.empty())
        Close(m_devices.begin()->first);
    if (m_load)
        m_load->thread.join();
}

QString CSequencerFluidSynth::DefaultSoundFont()
{
    const QString named = qEnvironmentVariable("KORVANE_SOUNDFONT");
    return named.isEmpty() ? QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2") : named;
}

CSequencerAudioOutput::Opener CSequencerFluidSynth::DefaultAudio()
{
    return &CSequencerAudioDriver::Open;
}

void CSequencerFluidSynth::UseSoundFonts(const QStringList& highestFirst)
{
    m_requestedFonts = highestFirst;
    m_bFontsJustChecked = false;
}

bool CSequencerFluidSynth::LoadSoundFonts(QObject* window)
{
    if (m_load) {
        m_load->window = window;
        return false;
    }
    const QStringList fonts = SoundFonts();
    const FileIdentities identities = FileIdentity::OfEach(fonts);
    // With a device open, Open says the sequencer is busy; without FluidSynth, that there
    // is no sequencer.
    const CFluidSynthApi* api = CFluidSynthApi::Get();
    if (m_synth && identities == m_loadedFonts) {
        m_bFontsJustChecked = true;
        return true;
    }
    if (!m_devices.empty() || !api)
        return true;
    // The old synthesizer goes first: two large sets of SoundFonts need not fit in memory.
    m_synth.reset();
    m_loadedFonts.clear();
    m_failedFonts.clear();
    m_load = std::make_unique<FontLoad>();
    FontLoad* load = m_load.get();
    load->serial = ++m_nLoadSerial;
    load->identities = identities;
    load->window = window;
    load->thread = std::thread([this, load, api, fonts] {
        auto synth = std::make_unique<CSequencerSynth>(*api);
        load->error = synth->LoadSoundFonts(fonts, load->failedFont);
        load->synth = std::move(synth);
        QMetaObject::invokeMethod(
            &m_loadContext, [this, serial = load->serial] { FinishLoad(serial, true); },
            Qt::QueuedConnection);
    });
    return false;
}

void CSequencerFluidSynth::FinishLoad(unsigned serial, bool chain)
{
    if (!m_load || m_load->serial != serial)
        return;
    const std::unique_ptr<FontLoad> load = std::move(m_load);
    load->thread.join();
    ++m_nSoundFontLoads;
    if (load->error == SequencerError::None) {
        m_synth = std::move(load->synth);
        m_loadedFonts = load->identities;
    } else {
        m_failedFonts = load->identities;
        m_strFailedFont = load->failedFont;
    }
    if (!load->window)
        return;
    // SoundFonts asked for while the load ran, other than those it loaded, load next; the
    // window hears of the last load only.
    if (chain && FileIdentity::OfEach(SoundFonts()) != load->identities &&
        !LoadSoundFonts(load->window))
        return;
    QCoreApplication::postEvent(load->window,
                                new CSequencerNotifyEvent(SequencerNotify::SoundFontsLoaded, 0));
}

unsigned CSequencerFluidSynth::Open(const QString& path, unsigned& deviceId)
{
    // Taken by this open whatever becomes of it: a later one checks the files again.
    const bool fontsChecked = std::exchange(m_bFontsJustChecked, false);
    if (!m_devices.empty())
        return SequencerError::Busy;
    QByteArray midi;
    if (const unsigned error = ReadMidiFile(path, midi))
        return error;
    const CFluidSynthApi* api = CFluidSynthApi::Get();
    if (!api)
        return SequencerError::NoSequencer;
    if (const unsigned error = PrepareSynth(*api, fontsChecked))
        return error;
    auto device = std::make_unique<Device>(m_nNextId);
    device->stream = std::make_unique<CSequencerStream>(*m_synth);
    if (const unsigned error = device->stream->Load(midi))
        return error;
    // The output runs from now on, silent until the device plays.
    device->output = m_openAudio(m_synth->Settings(), &RenderDevice, device.get());
    if (!device->output)
        return SequencerError::NoAudioOutput;
    deviceId = m_nNextId++;
    m_devices.emplace(deviceId, std::move(device));
    return SequencerError::None;
}

unsigned CSequencerFluidSynth::Play(unsigned deviceId, QObject* window)
{
    Device* device = Find(deviceId);
    if (!device)
        return SequencerError::InvalidDevice;
    if (device->started || !device->output || !window)
        return SequencerError::NotReady;
    device->started = true;
    device->window = window;
    device->stream->Start();
    device->playing.store(true, std::memory_order_release);
    return SequencerError::None;
}

unsigned CSequencerFluidSynth::Stop(unsigned deviceId)
{
    Device* device = Find(deviceId);
    if (!device)
        return SequencerError::InvalidDevice;
    // Once the output is gone the audio thread can neither render nor notify any more.
    device->output.reset();
    device->playing = false;
    if (device->started)
        device->Notify(SequencerNotify::Aborted);
    return SequencerError::None;
}

unsigned CSequencerFluidSynth::Close(unsigned deviceId)
{
    if (const unsigned error = Stop(deviceId))
        return error;
    m_devices.erase(deviceId);
    return SequencerError::None;
}

unsigned CSequencerFluidSynth::PrepareSynth(const CFluidSynthApi& api, bool fontsChecked)
{
    if (m_load)
        FinishLoad(m_load->serial, false);
    if (fontsChecked && m_synth)
        return SequencerError::None;
    const QStringList fonts = SoundFonts();
    const FileIdentities identities = FileIdentity::OfEach(fonts);
    if (m_synth && identities == m_loadedFonts)
        return SequencerError::None;
    // A load ahead that failed is said by the open that follows it; the next one tries again.
    if (!m_failedFonts.empty() && std::exchange(m_failedFonts, {}) == identities)
        return SequencerError::NoSoundFont;
    // The old synthesizer goes first here too.
    m_synth.reset();
    m_loadedFonts.clear();
    auto synth = std::make_unique<CSequencerSynth>(api);
    ++m_nSoundFontLoads;
    if (const unsigned error = synth->LoadSoundFonts(fonts, m_strFailedFont))
        return error;
    m_synth = std::move(synth);
    m_loadedFonts = identities;
    return SequencerError::None;
}

unsigned CSequencerFluidSynth::ReadMidiFile(const QString& path, QByteArray& midi)
{
    const FileIdentity identity = FileIdentity::Of(path);
    if (identity.size >= 0 && identity == m_lastMidiFile) {
        midi = m_lastMidi;
        return SequencerError::None;
    }
    m_lastMidiFile = {};
    m_lastMidi.clear();
    if (const unsigned error = CSequencerStream::ReadFile(path, midi))
        return error;
    m_lastMidiFile = identity;
    m_lastMidi = midi;
    return SequencerError::None;
}

QStringList CSequencerFluidSynth::SoundFonts() const
{
    return m_requestedFonts.isEmpty() ? QStringList{m_strSoundFont} : m_requestedFonts;
}

CSequencerFluidSynth::Device* CSequencerFluidSynth::Find(unsigned deviceId) const
{
    const auto found = m_devices.find(deviceId);
    return found == m_devices.end() ? nullptr : found->second.get();
}

// The audio thread: renders the file while the device plays and reports its end once.
int CSequencerFluidSynth::RenderDevice(void* data, int frames, int nfx, float* fx[], int nout,
                                       float* out[])
{
    auto* device = static_cast<Device*>(data);
    if (!device->playing.load(std::memory_order_acquire))
        return FLUID_OK;
    const CSequencerStream::Progress progress = device->stream->Render(frames, nfx, fx, nout, out);
    if (progress != CSequencerStream::Progress::Playing) {
        device->playing = false;
        device->Notify(progress == CSequencerStream::Progress::Ended ? SequencerNotify::Ended
                                                                     : SequencerNotify::Failed);
    }
    return FLUID_OK;
}
