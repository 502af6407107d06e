#include "AuditionPhrase.h"

#include <algorithm>
#include <initializer_list>

namespace {

constexpr int kVelocity = 100;

struct Note
{
    int startMs;
    int lengthMs;
    int key;
};

// A C major triad from middle C, then the C major scale up an octave.
std::vector<Note> InstrumentNotes()
{
    std::vector<Note> notes;
    for (const int key : {60, 64, 67})
        notes.push_back({0, 700, key});
    constexpr int kStepMs = 150;
    int startMs = 800;
    for (const int key : {60, 62, 64, 65, 67, 69, 71, 72}) {
        notes.push_back({startMs, kStepMs - 10, key});
        startMs += kStepMs;
    }
    return notes;
}

// General MIDI kit keys: bass drum 36, snare 38, closed hi-hat 42, low and high toms 45 and
// 48, crash cymbal 49.
std::vector<Note> DrumKitNotes()
{
    constexpr int kBeatMs = 250;
    const std::initializer_list<std::initializer_list<int>> beats = {
        {36, 42}, {42}, {38, 42}, {42}, {36, 42}, {45}, {38, 48}, {49}};
    std::vector<Note> notes;
    int startMs = 0;
    for (const auto& keys : beats) {
        for (const int key : keys)
            notes.push_back({startMs, kBeatMs - 50, key});
        startMs += kBeatMs;
    }
    return notes;
}

} // namespace

std::vector<CAuditionPhrase::Event> CAuditionPhrase::For(bool drumKit)
{
    std::vector<Event> events;
    for (const Note& note : drumKit ? DrumKitNotes() : InstrumentNotes()) {
        events.push_back({note.startMs, note.key, kVelocity});
        events.push_back({note.startMs + note.lengthMs, note.key, 0});
    }
    // Offs before ons at the same time: a key struck again is released first.
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.atMs != b.atMs ? a.atMs < b.atMs : a.velocity < b.velocity;
    });
    return events;
}
