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
    const char* cardState = std::getenv("KORVANE_CARD_STATE");
    return IsSet(cardState) ? std::string(cardState) : XdgStatePath("card.state");
}

std::string CCardSettings::XdgStatePath(const char* fileName)
{
    const char* home = std::getenv("HOME");
    const std::string fallbackHome = IsSet(home) ? std::string() : HomeFromPasswordDatabase();
    return PathUnder(std::getenv("XDG_STATE_HOME"), IsSet(home) ? home : fallbackHome.c_str(),
                     fileName);
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
    return PathUnder(xdgStateHome, home, "card.state");
}

std::string CCardSettings::PathUnder(const char* xdgStateHome, const char* home,
                                     const char* fileName)
{
    if (IsSet(xdgStateHome) && xdgStateHome[0] == '/') {
        return std::string(xdgStateHome) + "/korvane/" + fileName;
    }
    if (IsSet(home)) {
        return std::string(home) + "/.local/state/korvane/" + fileName;
    }
    return {};
}

uint32_t CCardSettings::MemoryFrom(const char* text, uint32_t fallback)
{
    return IsSet(text) ? ParseMemory(text).value_or(fallback) : fallback;
}

std::optional<uint32_t> CCardSettings::ParseMemory(const char* text)
{
    const char* end = text + std::strlen(text);
    uint32_t value = 0;
    // from_chars takes no sign, spaces or base prefix, and reports overflow.
    const auto [stop, error] = std::from_chars(text, end, value);
    if (error != std::errc() || stop != end || value == 0) {
        return std::nullopt;
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
