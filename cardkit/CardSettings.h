// Where the card keeps its state and how much sample memory a new card gets, taken from
// the environment at every call so that each process (and each test) may choose its own.
//
// KORVANE_CARD_STATE   the state file; else $XDG_STATE_HOME/korvane/card.state, where
//                      XDG_STATE_HOME defaults to ~/.local/state (a relative value is
//                      ignored, as the XDG base directory rules say).
// KORVANE_CARD_MEMORY  sample memory in bytes, decimal, 1..4294967295, for a card that is
//                      being created. A card that exists keeps the memory it was created
//                      with, as installed hardware would; remove its state file to get a
//                      new card. A malformed value is ignored and the default used.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

class CCardSettings
{
public:
    static constexpr uint32_t DEFAULT_MEMORY = 8388608; // 8 MiB

    // Empty when no home directory can be found.
    static std::string StatePath();
    static uint32_t NewCardMemory();

    // The rules above over given values (null for an unset variable).
    static std::string StatePathFrom(const char* cardState, const char* xdgStateHome,
                                     const char* home);
    // A memory size as the rules above read it, with fallback for a malformed one.
    static uint32_t MemoryFrom(const char* text, uint32_t fallback = DEFAULT_MEMORY);
    // A memory size as the rules above read it; nothing for a malformed one.
    static std::optional<uint32_t> ParseMemory(const char* text);
    // The state file named fileName in the user's XDG state directory, as above.
    static std::string XdgStatePath(const char* fileName);

private:
    static std::string PathUnder(const char* xdgStateHome, const char* home, const char* fileName);
    static std::string HomeFromPasswordDatabase();
};
