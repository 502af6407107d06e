#include "FluidCard.h"

#include "SoundFontCheck.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>

namespace {

// The replies of the server's shell this card reads.
constexpr std::string_view NO_FONTS = "no SoundFont loaded (try load)";
constexpr std::string_view FONTS_HEADING = "ID  Name";
constexpr std::string_view LOADED = "loaded SoundFont has ID ";
constexpr std::string_view LOAD_FAILED = "failed to load the SoundFont";
constexpr std::string_view UNLOAD_FAILED = "failed to unload the SoundFont";

enum class Answer
{
    Done,
    Refused,
    Unexpected // or no answer at all
};

// A leading number as the shell prints it; the rest of text after it in rest.
bool ParseNumber(std::string_view text, int32_t& number, std::string_view& rest)
{
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || number < 0) {
        return false;
    }
    rest = text.substr(static_cast<std::size_t>(end - text.data()));
    return true;
}

// "fonts" lists the stack from the top: a heading, then "%2d  %s" per font.
bool ParseFonts(const std::vector<std::string>& reply, std::vector<ServerFont>& stack)
{
    stack.clear();
    if (reply.size() == 1 && reply[0] == NO_FONTS) {
        return true;
    }
    if (reply.empty() || reply[0] != FONTS_HEADING) {
        return false;
    }
    for (std::size_t i = 1; i < reply.size(); ++i) {
        ServerFont font;
        std::string_view rest;
        if (!ParseNumber(reply[i], font.serverId, rest) || !rest.starts_with("  ")) {
            return false;
        }
        font.path = rest.substr(2);
        stack.push_back(std::move(font));
    }
    return true;
}

// The shell splits its lines into words as a POSIX shell does: within single quotes
// every byte stands for itself, and a quote is closed, escaped and opened again.
std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string LoadCommand(const std::string& path)
{
    // 0: the programs of the playing channels are not reset by the load.
    return "load " + Quoted(path) + " 0";
}

Answer LoadFont(CFluidShell& shell, const std::string& path, std::chrono::milliseconds timeout,
                int32_t& serverId)
{
    std::vector<std::string> reply;
    if (!shell.Exchange(LoadCommand(path), reply, timeout)) {
        return Answer::Unexpected;
    }
    for (const std::string& line : reply) {
        std::string_view rest;
        // Later servers add the bank offset after the ID.
        if (line.starts_with(LOADED) &&
            ParseNumber(std::string_view(line).substr(LOADED.size()), serverId, rest)) {
            return Answer::Done;
        }
    }
    return std::find(reply.begin(), reply.end(), LOAD_FAILED) != reply.end() ? Answer::Refused
                                                                             : Answer::Unexpected;
}

Answer UnloadFont(CFluidShell& shell, int32_t serverId)
{
    std::vector<std::string> reply;
    if (!shell.Exchange("unload " + std::to_string(serverId) + " 0", reply)) {
        return Answer::Unexpected;
    }
    if (reply.empty()) {
        return Answer::Done;
    }
    return reply.size() == 1 && reply[0] == UNLOAD_FAILED ? Answer::Refused : Answer::Unexpected;
}

bool SameFont(const ServerFont& a, const ServerFont& b)
{
    return a.serverId == b.serverId && a.path == b.path;
}

// The bank that stands for font, or -1.
int BankOf(const CFluidState& state, const ServerFont& font)
{
    for (const CardBank& bank : state.Banks().Banks()) {
        if (SameFont(*state.Font(bank.id), font)) {
            return bank.id;
        }
    }
    return -1;
}

// The server names fonts by the path it was given; a relative one would be taken from
// the server's own working directory.
std::string AbsolutePath(const char* path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? std::string() : absolute.string();
}

// The server's fonts from the top of its stack.
uint16_t ReadStack(CFluidShell& shell, std::vector<ServerFont>& stack)
{
    std::vector<std::string> reply;
    return shell.Exchange("fonts", reply) && ParseFonts(reply, stack) ? SYNTH_OK
                                                                      : SYNTHERR_NOTSUPPORTED;
}

// Runs an operation on the state reconciled with the server's stack, under the state
// file's lock, and writes the state back when it changed.
template <typename Operation>
uint16_t Reconciled(const CFluidCard::Store& store, CFluidShell& shell, Operation operation)
{
    return store.Run([&](CFluidState& state, bool& changed) -> uint16_t {
        std::vector<ServerFont> stack;
        if (const uint16_t read = ReadStack(shell, stack); read != SYNTH_OK) {
            return read;
        }
        const std::vector<uint8_t> before = state.Serialize();
        const uint16_t result = operation(state, stack, CFluidCard::Reconcile(stack, state));
        changed = state.Serialize() != before;
        return result;
    });
}

// When each server (by address) last failed to answer this process.
class CUnansweredServers
{
public:
    static CUnansweredServers& Instance()
    {
        static CUnansweredServers servers;
        return servers;
    }

    void Note(const std::string& server, bool answered)
    {
        const std::lock_guard lock(m_mutex);
        if (answered) {
            m_failures.erase(server);
        } else {
            m_failures[server] = std::chrono::steady_clock::now();
        }
    }

    bool FailedWithin(const std::string& server, std::chrono::milliseconds within)
    {
        const std::lock_guard lock(m_mutex);
        const auto failure = m_failures.find(server);
        return failure != m_failures.end() &&
               std::chrono::steady_clock::now() - failure->second < within;
    }

private:
    std::mutex m_mutex;
    std::map<std::string, std::chrono::steady_clock::time_point> m_failures;
};

} // namespace

CFluidCard::CFluidCard(Store store, Settings settings)
    : m_store(std::move(store)), m_settings(std::move(settings))
{
}

uint16_t CFluidCard::LoadBank(const char* path) const
{
    CFluidShell shell = Shell();
    uint16_t id = 0;
    const uint16_t result = Noted(Reconciled(
        m_store, shell,
        [&](CFluidState& state, const std::vector<ServerFont>& stack,
            uint16_t reconciled) -> uint16_t {
            if (reconciled != SYNTH_OK || state.Banks().IsFull()) {
                return SYNTHERR_INVCOUNT;
            }
            const std::string absolute = path != nullptr ? AbsolutePath(path) : std::string();
            if (!CFluidState::IsValidPath(absolute) ||
                LoadCommand(absolute).size() > CFluidShell::MAX_COMMAND_LENGTH) {
                return SYNTHERR_FILENOTFOUND;
            }
            CSoundFontCheck font;
            if (const uint16_t checked = font.Check(absolute.c_str()); checked != SYNTH_OK) {
                return checked;
            }
            SynthStatus status{};
            state.FillStatus(m_settings.budget, status);
            if (font.SampleSize() > status.freeMemory) {
                return SYNTHERR_OUTOFMEM;
            }
            state.AddBank(font.Name(), font.SampleSize(), ServerFont{-1, absolute}, &id);
            const uint16_t restacked = Restack(shell, stack, state);
            if (state.Font(id) == nullptr) {
                return restacked == SYNTH_OK ? uint16_t{SYNTHERR_INVCOM} : restacked;
            }
            return restacked == SYNTHERR_NOTSUPPORTED ? restacked : uint16_t{SYNTH_OK};
        }));
    return result == SYNTH_OK ? id : static_cast<uint16_t>(SYNTH_LOAD_ERROR_BASE + result);
}

uint16_t CFluidCard::UnloadBank(uint16_t id) const
{
    CFluidShell shell = Shell();
    return Noted(
        Reconciled(m_store, shell,
                   [&](CFluidState& state, const std::vector<ServerFont>&, uint16_t) -> uint16_t {
                       const ServerFont* font = state.Font(id);
                       if (font == nullptr) {
                           return SYNTHERR_UNREF;
                       }
                       switch (UnloadFont(shell, font->serverId)) {
                       case Answer::Done:
                           state.RemoveBank(id);
                           return SYNTH_OK;
                       case Answer::Refused:
                           return SYNTHERR_CANNOTDELETE;
                       case Answer::Unexpected:
                           break;
                       }
                       return SYNTHERR_NOTSUPPORTED;
                   }));
}

uint16_t CFluidCard::SetPriority(uint16_t id, int32_t priority) const
{
    CFluidShell shell = Shell();
    return Noted(Reconciled(
        m_store, shell,
        [&](CFluidState& state, const std::vector<ServerFont>& stack, uint16_t) -> uint16_t {
            if (const uint16_t set = state.SetPriority(id, priority); set != SYNTH_OK) {
                return set;
            }
            return Restack(shell, stack, state);
        }));
}

uint16_t CFluidCard::GetStatus(SynthStatus* status) const
{
    if (status == nullptr) {
        return SYNTHERR_INVADD;
    }
    std::memset(status, 0, sizeof *status);
    if (FailedLately()) {
        return SYNTHERR_NOTSUPPORTED;
    }
    CFluidShell shell = Shell();
    return Noted(
        Reconciled(m_store, shell,
                   [&](CFluidState& state, const std::vector<ServerFont>&, uint16_t reconciled) {
                       state.FillStatus(m_settings.budget, *status);
                       return reconciled;
                   }));
}

uint16_t CFluidCard::Noted(uint16_t result) const
{
    // SYNTHERR_ABORT comes from the state file, before the server is asked.
    if (result != SYNTHERR_ABORT) {
        CUnansweredServers::Instance().Note(ServerKey(), result != SYNTHERR_NOTSUPPORTED);
    }
    return result;
}

bool CFluidCard::FailedLately() const
{
    return CUnansweredServers::Instance().FailedWithin(ServerKey(), m_settings.statusRetryAfter);
}

uint16_t CFluidCard::Reconcile(const std::vector<ServerFont>& stack, CFluidState& state)
{
    const std::size_t shown = std::min<std::size_t>(stack.size(), SYNTH_MAX_BANKS);
    const auto top = stack.begin() + static_cast<std::ptrdiff_t>(shown);
    const std::vector<CardBank> banks = state.Banks().Banks();
    for (const CardBank& bank : banks) {
        const ServerFont& font = *state.Font(bank.id);
        if (std::none_of(stack.begin(), top,
                         [&](const ServerFont& held) { return SameFont(held, font); })) {
            state.RemoveBank(bank.id);
        }
    }
    for (auto held = stack.begin(); held != top; ++held) {
        if (BankOf(state, *held) < 0) {
            // A font someone else loaded; a file this program cannot read still shows.
            CSoundFontCheck check;
            const bool readable = check.Check(held->path.c_str()) == SYNTH_OK;
            const std::string name =
                readable ? check.Name() : std::filesystem::path(held->path).stem().string();
            uint16_t id = 0;
            state.AddBank(name, readable ? check.SampleSize() : 0, *held, &id);
        }
    }
    return stack.size() > SYNTH_MAX_BANKS ? SYNTHERR_INVCOUNT : SYNTH_OK;
}

std::vector<uint16_t> CFluidCard::StackOrder(const CFluidState& state)
{
    std::vector<CardBank> banks = state.Banks().Banks();
    std::stable_sort(banks.begin(), banks.end(), [](const CardBank& a, const CardBank& b) {
        return a.priority != b.priority ? a.priority > b.priority : a.id < b.id;
    });
    std::vector<uint16_t> order;
    for (const CardBank& bank : banks) {
        order.push_back(bank.id);
    }
    return order;
}

uint16_t CFluidCard::Restack(CFluidShell& shell, const std::vector<ServerFont>& stack,
                             CFluidState& state) const
{
    struct Place
    {
        int bank; // -1: a font below the banks, which no bank stands for
        ServerFont font;
    };
    std::vector<Place> wanted;
    for (const uint16_t id : StackOrder(state)) {
        wanted.push_back({id, *state.Font(id)});
    }
    for (const ServerFont& held : stack) {
        if (BankOf(state, held) < 0) {
            wanted.push_back({-1, held});
        }
    }
    // The fonts at the bottom that are already where they belong stay; every font above
    // them is unloaded, and the wanted ones above them are loaded bottom-up.
    std::size_t kept = 0;
    while (kept < stack.size() && kept < wanted.size() &&
           SameFont(stack[stack.size() - 1 - kept], wanted[wanted.size() - 1 - kept].font)) {
        ++kept;
    }
    for (std::size_t i = 0; i + kept < stack.size(); ++i) {
        const Answer unloaded = UnloadFont(shell, stack[i].serverId);
        if (unloaded != Answer::Done) {
            return unloaded == Answer::Refused ? SYNTHERR_CANNOTDELETE : SYNTHERR_NOTSUPPORTED;
        }
    }
    uint16_t result = SYNTH_OK;
    for (std::size_t i = wanted.size() - kept; i-- > 0;) {
        const Place& place = wanted[i];
        int32_t serverId = -1;
        switch (LoadFont(shell, place.font.path, m_settings.loadTimeout, serverId)) {
        case Answer::Done:
            if (place.bank >= 0) {
                state.SetServerId(static_cast<uint16_t>(place.bank), serverId);
            }
            break;
        case Answer::Refused:
            if (place.bank >= 0) {
                state.RemoveBank(static_cast<uint16_t>(place.bank));
            }
            result = SYNTHERR_INVCOM;
            break;
        case Answer::Unexpected:
            return SYNTHERR_NOTSUPPORTED;
        }
    }
    return result;
}
