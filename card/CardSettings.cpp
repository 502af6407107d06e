#include "CardSettings.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace {

bool IsSet(const char* value)
{
    return value != nullptr && *value != '\0';
}

} // namespace

std::string CCardSettings::StatePath()
{
    const char* home = std::getenv("HOME");
    const std::string fallbackHome = IsSet(home) ? std::string() : HomeFromPasswordDatabase();
    return StatePathFrom(std::getenv("KORVANE_CARD_STATE"), std::getenv("XDG_STATE_HOME"),
                         IsSet(home) ? home : fallbackHome.c_str());
}

uint32_t CCardSettings::NewCardMemory()
{
    return MemoryFrom(std::getenv("KORVANE_CARD_MEMORY"));
}

std::string CCardSettings::StatePathFrom(const char* cardState, const char* xdgStateHome,
                                         const char* home)
{
    if (IsSet(cardState)) {
        return cardState;
    }
    if (IsSet(xdgStateHome) && xdgStateHome[0] == '/') {
        return std::string(xdgStateHome) + "/korvane/card.state";
    }
    if (IsSet(home)) {
        return std::string(home) + "/.local/state/korvane/card.state";
    }
    return {};
}

uint32_t CCardSettings::MemoryFrom(const char* text)
{
    if (!IsSet(text)) {
        return DEFAULT_MEMORY;
    }
    const char* end = text + std::strlen(text);
    uint32_t value = 0;
    // from_chars takes no sign, spaces or base prefix, and reports overflow.
    const auto [stop, error] = std::from_chars(text, end, value);
    if (error != std::errc() || stop != end || value == 0) {
        return DEFAULT_MEMORY;
    }
    return value;
}

std::string CCardSettings::HomeFromPasswordDatabase()
{
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr) {
        return {};
    }
    return found->pw_dir;
}
