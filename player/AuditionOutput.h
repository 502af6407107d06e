// Where an audition's notes sound: the synthesizer of the card in use. The audition's
// thread makes every call, one audition at a time: Begin, notes, then End.
#pragma once

#include "AuditionRequest.h"

#include <QString>
#include <QStringList>

// A request resolved to a SoundFont preset.
struct AuditionPlan
{
    QString soundFont;     // the file of the SoundFont that holds the preset
    QStringList cardFonts; // the card's SoundFonts, the highest priority first
    int bank = 0;          // the SoundFont bank: 128 for drum kits
    int program = 0;       // 0..AuditionRequest::kMaxProgram
    int channel = AuditionRequest::kDefaultChannel;
    bool drumKit = false;
    bool generalMidi = false; // a bank file's program, played from the General MIDI SoundFont
};

class CAuditionOutput
{
public:
    virtual ~CAuditionOutput();

    // Selects the plan's preset on its channel. Empty, or what keeps it from playing, in
    // the user's words (nothing is then changed and End is not called).
    virtual QString Begin(const AuditionPlan& plan) = 0;
    // Switches a key on (velocity 1..127) or off (0); false when the output failed, in
    // Problem().
    virtual bool Note(int key, int velocity) = 0;
    // Whether notes switched off still sound out their release here.
    virtual bool Sounding() const = 0;
    // Puts back what Begin changed; false when it could not, in Problem().
    virtual bool End() = 0;
    virtual QString Problem() const = 0;

protected:
    // The synthesizer finds no preset at the plan's bank:program in its SoundFont.
    static QString NoPresetText(const AuditionPlan& plan);
};
