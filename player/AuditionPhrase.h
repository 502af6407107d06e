// The short phrase an audition plays: a chord and a scale for an instrument, a bar of kit
// notes for a drum kit; about two seconds either way, so that a program is heard in its
// low and middle range and its attack and release are both heard.
#pragma once

#include <vector>

class CAuditionPhrase
{
public:
    // One note switched on (velocity 1..127) or off (velocity 0) at a time from the start.
    struct Event
    {
        int atMs;
        int key;
        int velocity;
    };

    // The events in time order; every note switched on is switched off later.
    static std::vector<Event> For(bool drumKit);
};
