// One program of one bank in the card to audition, as a bank contents row names it.
#pragma once

struct AuditionRequest
{
    // The MIDI channels are 1..kChannels, the programs 0..kMaxProgram.
    static constexpr int kChannels = 16;
    static constexpr int kMaxProgram = 127;
    // The channel an audition plays on unless another is chosen.
    static constexpr int kDefaultChannel = 16;

    int bankId = 0;     // the bank's ID in the card
    int bankNumber = 0; // the SoundFont bank the program is offered under (drum kits: 128)
    int program = 0;    // the MIDI program, 0..kMaxProgram
    bool drumKit = false;
    int channel = kDefaultChannel; // the MIDI channel it plays on, 1..kChannels
};
