// One program of one bank in the card to audition, as a bank contents row names it.
#pragma once

struct AuditionRequest
{
    int bankId = 0;     // the bank's ID in the card
    int bankNumber = 0; // the bank (variation) number the program is offered under
    int program = 0;    // the MIDI program, 0..127
    bool drumKit = false;
    int channel = 16; // the MIDI channel it plays on, 1..16
};
