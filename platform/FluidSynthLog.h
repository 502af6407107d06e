// FluidSynth's own messages ("Using PulseAudio driver", a driver that failed before the
// next one worked): held back from the error stream, where the library would write them,
// so that a run that went well says nothing; a run that failed writes them out.
#pragma once

class CFluidSynthApi;
class QTextStream;

class CFluidSynthLog
{
public:
    // Takes the library's messages of every level; called once, when it is loaded.
    static void Install(const CFluidSynthApi& api);
    // Writes the messages held so far, as the library would have, and forgets them.
    static void WriteHeld(QTextStream& stream);
};
