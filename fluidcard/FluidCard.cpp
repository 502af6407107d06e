#include "FluidCard.h"

#include "SoundFontCheck.h"
#include "SoundFontChunks.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <sys/file.h>
#include <system_error>
#include <tuple>

namespace {

// The lock a change of the stack holds across its exchange with the server.
constexpr std::string_view CHANGE_LOCK = "change";

// The replies of the server's shell this card reads.
constexpr std::string_view NO_FONTS = "no SoundFont loaded (try load)";
constexpr std::string_view FONTS_HEADING = "ID  Name";
constexpr std::string_view LOADED = "loaded SoundFont has ID ";
constexpr std::string_view LOAD_FAILED = "failed to load the SoundFont";
constexpr std::string_view UNLOAD_FAILED = "failed to unload the SoundFont";

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
    // 1: every channel then selects its program again, from the stack with the new font.
    return "load " + Quoted(path) + " 1";
}

// What the server answered to a load or an unload.
enum class Answer
{
    Done,
    Refused,
    Unexpected // or no answer at all
};

Answer LoadFont(CFluidShell& shell, const std::string& path, int32_t& serverId)
{
    std::vector<std::string> reply;
    if (!shell.Exchange(LoadCommand(path), reply)) {
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
    // 1: the channels that played the font select their programs from the fonts left.
    if (!shell.Exchange("unload " + std::to_string(serverId) + " 1", reply)) {
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

// Where the stack holds font, counted from the top; -1 when it does not.
std::ptrdiff_t PositionOf(const std::vector<ServerFont>& stack, const ServerFont& font)
{
    const auto found = std::find_if(stack.begin(), stack.end(),
                                    [&](const ServerFont& held) { return SameFont(held, font); });
    return found == stack.end() ? -1 : found - stack.begin();
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

// A path the server names a font by that is relative was taken from the server's own
// working directory, which this program cannot look into: a file of that name here may be
// another one.
bool IsInServersDirectory(const std::string& path)
{
    return std::filesystem::path(path).is_relative();
}

// Whether the server can load a font again: a file in its own directory only it can tell.
bool CanBeLoadedAgain(const std::string& path)
{
    off_t size = 0;
    return IsInServersDirectory(path) || CPosixFile::OpenRegularFile(path.c_str(), size).IsOpen();
}

// A font in its place in the stack the card wants; bank -1: a font below the 8 listed,
// which no bank stands for.
struct Place
{
    int bank;
    ServerFont font;
};

// The stack as it should be, from the top: banks by priority, higher on top; among equal
// priorities the bank just placed (loaded, or given its priority) on top, as the server's
// own load puts a new font, then the others as the server holds them. Fonts no bank
// stands for keep their places below.
std::vector<Place> WantedStack(const CFluidState& state, const std::vector<ServerFont>& stack,
                               int placed)
{
    const auto rank = [&](const CardBank& bank) {
        return std::make_tuple(-bank.priority, bank.id == placed ? 0 : 1,
                               PositionOf(stack, *state.Font(bank.id)));
    };
    std::vector<CardBank> banks = state.Banks().Banks();
    std::sort(banks.begin(), banks.end(),
              [&](const CardBank& a, const CardBank& b) { return rank(a) < rank(b); });
    std::vector<Place> wanted;
    for (const CardBank& bank : banks) {
        wanted.push_back({bank.id, *state.Font(bank.id)});
    }
    for (const ServerFont& held : stack) {
        if (BankOf(state, held) < 0) {
            wanted.push_back({-1, held});
        }
    }
    return wanted;
}

// How many places at the bottom of wanted the server already holds in that order, each
// marked in stays: they stay where they are. The server loads on top only, so every place
// above them is loaded (again).
std::size_t PlacesThatStay(const std::vector<Place>& wanted, const std::vector<ServerFont>& stack,
                           std::vector<bool>& stays)
{
    stays.assign(stack.size(), false);
    std::size_t kept = 0;
    std::size_t below = stack.size();
    for (std::size_t i = wanted.size(); i-- > 0;) {
        // The lowest place left that holds the font leaves the most room above it.
        std::size_t held = below;
        while (held > 0 && !SameFont(stack[held - 1], wanted[i].font)) {
            --held;
        }
        if (held == 0) {
            break;
        }
        below = held - 1;
        stays[below] = true;
        ++kept;
    }
    return kept;
}

thread_local std::string failureDetail;

uint16_t Failed(uint16_t code, std::string detail)
{
    failureDetail = std::move(detail);
    return code;
}

std::string MoreFontsText(std::size_t held)
{
    const std::size_t more = held - SYNTH_MAX_BANKS;
    return "The server holds " + std::to_string(more) + " more font" + (more == 1 ? "" : "s") +
           " below the " + std::to_string(SYNTH_MAX_BANKS) + " listed.";
}

} // namespace

CFluidCard::CFluidCard(Store store, Settings settings)
    : m_store(std::move(store)), m_settings(std::move(settings))
{
}

bool CFluidCard::ReadStack(CFluidShell& shell, std::vector<ServerFont>& stack)
{
    std::vector<std::string> reply;
    return shell.Exchange("fonts", reply) && ParseFonts(reply, stack);
}

const std::string& CFluidCard::FailureDetail()
{
    return failureDetail;
}

uint16_t CFluidCard::ServerFailure(const CFluidShell& shell) const
{
    switch (shell.LastFailure()) {
    case CFluidShell::Failure::Refused:
        return Failed(SYNTHERR_NOTSUPPORTED, "Nothing listens at " + ServerName() +
                                                 ": the FluidSynth server is not running.");
    case CFluidShell::Failure::Lost:
        return Failed(SYNTHERR_NOTSUPPORTED, "The server at " + ServerName() +
                                                 " ended the connection before it answered.");
    case CFluidShell::Failure::NotAShell:
        return Failed(SYNTHERR_NOTSUPPORTED,
                      "What answers at " + ServerName() + " is not a FluidSynth shell.");
    case CFluidShell::Failure::None:
        return Failed(SYNTHERR_NOTSUPPORTED,
                      "The server at " + ServerName() + " answered what Korvane does not know.");
    case CFluidShell::Failure::Unreachable:
        break;
    }
    return Failed(SYNTHERR_NOTSUPPORTED, ServerName() + " cannot be reached.");
}

uint16_t CFluidCard::CheckSettings() const
{
    return m_settings.unusable.empty() ? uint16_t{SYNTH_OK}
                                       : Failed(SYNTHERR_INVADD, m_settings.unusable);
}

uint16_t CFluidCard::Changed(const Change& change, CFluidState* settled) const
{
    if (const uint16_t checked = CheckSettings(); checked != SYNTH_OK) {
        return checked;
    }
    const CPosixFile changing = m_store.File().LockBeside(CHANGE_LOCK, LOCK_EX);
    if (!changing.IsOpen()) {
        return SYNTHERR_ABORT;
    }
    CFluidState state;
    const uint16_t read = m_store.Run([&](CFluidState& recorded, bool&) -> uint16_t {
        state = recorded;
        return SYNTH_OK;
    });
    if (read != SYNTH_OK) {
        return read;
    }
    CFluidShell shell = Shell();
    std::vector<ServerFont> stack;
    if (!ReadStack(shell, stack)) {
        return ServerFailure(shell);
    }
    const uint16_t reconciled = Reconcile(stack, state);
    const uint16_t result = change(shell, stack, reconciled, state);
    if (result == SYNTHERR_NOTSUPPORTED) {
        // What the server did of the last command is not known: it says what it holds.
        CFluidShell again = Shell();
        if (!ReadStack(again, stack)) {
            return ServerFailure(again);
        }
        Reconcile(stack, state);
    }
    const uint16_t written = m_store.Run([&](CFluidState& recorded, bool& changed) -> uint16_t {
        changed = recorded.Serialize() != state.Serialize();
        recorded = state;
        return SYNTH_OK;
    });
    if (settled != nullptr) {
        *settled = state;
    }
    return written != SYNTH_OK ? written : result;
}

uint16_t CFluidCard::CheckFont(const std::string& absolute, CSoundFontCheck& font)
{
    if (!CFluidState::IsValidPath(absolute) ||
        LoadCommand(absolute).size() > CFluidShell::MAX_COMMAND_LENGTH) {
        return SYNTHERR_FILENOTFOUND;
    }
    const uint16_t checked = font.Check(absolute.c_str());
    return checked != SYNTHERR_INVCOM
               ? checked
               : Failed(checked, "The FluidSynth card takes SoundFont files (.sf2, .sf3) only, "
                                 "and " +
                                     absolute + " is not one.");
}

uint16_t CFluidCard::CheckBank(const char* path)
{
    failureDetail.clear();
    CSoundFontCheck font;
    return CheckFont(path != nullptr ? AbsolutePath(path) : std::string(), font);
}

uint16_t CFluidCard::LoadBank(const char* path) const
{
    failureDetail.clear();
    const std::string absolute = path != nullptr ? AbsolutePath(path) : std::string();
    uint16_t id = 0;
    CFluidState settled;
    const uint16_t result = Changed(
        [&](CFluidShell& shell, const std::vector<ServerFont>& stack, uint16_t reconciled,
            CFluidState& state) -> uint16_t {
            if (reconciled != SYNTH_OK || state.Banks().IsFull()) {
                return SYNTHERR_INVCOUNT;
            }
            CSoundFontCheck font;
            if (const uint16_t checked = CheckFont(absolute, font); checked != SYNTH_OK) {
                return checked;
            }
            SynthStatus status{};
            state.FillStatus(m_settings.budget, status);
            if (font.SampleSize() > status.freeMemory) {
                return SYNTHERR_OUTOFMEM;
            }
            state.AddBank(font.Name(), font.SampleSize(), ServerFont{-1, absolute}, &id);
            const uint16_t restacked = Restack(shell, stack, state, id);
            // After a lost reply the server's stack tells whether the font came in.
            const ServerFont* loaded = state.Font(id);
            if (restacked != SYNTHERR_NOTSUPPORTED && loaded != nullptr && loaded->serverId < 0) {
                state.RemoveBank(id);
            }
            return restacked;
        },
        &settled);
    // A load whose reply was lost, but whose font the server holds, is done.
    const ServerFont* loaded = settled.Font(id);
    if (result == SYNTH_OK ||
        (result == SYNTHERR_NOTSUPPORTED && loaded != nullptr && loaded->path == absolute)) {
        return id;
    }
    return static_cast<uint16_t>(SYNTH_LOAD_ERROR_BASE + result);
}

uint16_t CFluidCard::UnloadBank(uint16_t id) const
{
    failureDetail.clear();
    return Changed([&](CFluidShell& shell, const std::vector<ServerFont>&, uint16_t,
                       CFluidState& state) -> uint16_t {
        const ServerFont* font = state.Font(id);
        if (font == nullptr) {
            return SYNTHERR_UNREF;
        }
        switch (UnloadFont(shell, font->serverId)) {
        case Answer::Done:
            state.RemoveBank(id);
            return SYNTH_OK;
        case Answer::Refused:
            return Failed(SYNTHERR_CANNOTDELETE,
                          "The FluidSynth server refused to unload " + font->path + ".");
        case Answer::Unexpected:
            break;
        }
        return ServerFailure(shell);
    });
}

uint16_t CFluidCard::SetPriority(uint16_t id, int32_t priority) const
{
    failureDetail.clear();
    return Changed([&](CFluidShell& shell, const std::vector<ServerFont>& stack, uint16_t,
                       CFluidState& state) -> uint16_t {
        const CFluidState before = state;
        if (const uint16_t set = state.SetPriority(id, priority); set != SYNTH_OK) {
            return set;
        }
        const uint16_t restacked = Restack(shell, stack, state, id);
        if (restacked == SYNTHERR_FILENOTFOUND) {
            // Refused before the server was asked: the priority stays as it was.
            state = before;
        }
        return restacked;
    });
}

uint16_t CFluidCard::GetStatus(SynthStatus* status) const
{
    failureDetail.clear();
    if (status == nullptr) {
        return SYNTHERR_INVADD;
    }
    std::memset(status, 0, sizeof *status);
    if (const uint16_t checked = CheckSettings(); checked != SYNTH_OK) {
        return checked;
    }
    const CPosixFile reading = m_store.File().LockBeside(CHANGE_LOCK, LOCK_SH | LOCK_NB);
    if (!reading.IsOpen()) {
        // Another call is changing the stack and settles the state when it is done.
        return m_store.Run([&](CFluidState& state, bool&) -> uint16_t {
            state.FillStatus(m_settings.budget, *status);
            return SYNTH_OK;
        });
    }
    CFluidShell shell = Shell();
    std::vector<ServerFont> stack;
    if (!ReadStack(shell, stack)) {
        return ServerFailure(shell);
    }
    return m_store.Run([&](CFluidState& state, bool& changed) -> uint16_t {
        const std::vector<uint8_t> before = state.Serialize();
        const uint16_t reconciled = Reconcile(stack, state);
        changed = state.Serialize() != before;
        state.FillStatus(m_settings.budget, *status);
        return reconciled == SYNTH_OK ? reconciled
                                      : Failed(reconciled, MoreFontsText(stack.size()));
    });
}

uint16_t CFluidCard::GetBankPath(uint16_t id, std::string& path) const
{
    return m_store.Run([&](CFluidState& state, bool&) -> uint16_t {
        const ServerFont* font = state.Font(id);
        if (font == nullptr) {
            return SYNTHERR_UNREF;
        }
        path = font->path;
        return SYNTH_OK;
    });
}

// The server searches its stack from the top, and puts every font it loads on top with the
// next font ID; this card orders the stack only by loading fonts again, so the higher a
// font's ID, the higher it stands.
uint16_t CFluidCard::GetSearchOrder(std::vector<uint16_t>& ids) const
{
    return m_store.Run([&](CFluidState& state, bool&) -> uint16_t {
        std::vector<CardBank> banks = state.Banks().Banks();
        std::sort(banks.begin(), banks.end(), [&](const CardBank& a, const CardBank& b) {
            return state.Font(a.id)->serverId > state.Font(b.id)->serverId;
        });
        ids.clear();
        for (const CardBank& bank : banks) {
            ids.push_back(bank.id);
        }
        return SYNTH_OK;
    });
}

uint16_t CFluidCard::Reconcile(const std::vector<ServerFont>& stack, CFluidState& state)
{
    const std::size_t shown = std::min<std::size_t>(stack.size(), SYNTH_MAX_BANKS);
    std::vector<bool> claimed(shown, false);
    const auto claim = [&](const std::function<bool(const ServerFont&)>& fits) -> std::ptrdiff_t {
        for (std::size_t i = 0; i < shown; ++i) {
            if (!claimed[i] && fits(stack[i])) {
                claimed[i] = true;
                return static_cast<std::ptrdiff_t>(i);
            }
        }
        return -1;
    };
    std::vector<uint16_t> unmatched;
    for (const CardBank& bank : state.Banks().Banks()) {
        const ServerFont& font = *state.Font(bank.id);
        if (claim([&](const ServerFont& held) { return SameFont(held, font); }) < 0) {
            unmatched.push_back(bank.id);
        }
    }
    for (const uint16_t id : unmatched) {
        const std::string path = state.Font(id)->path;
        const std::ptrdiff_t held =
            claim([&](const ServerFont& font) { return font.path == path; });
        if (held >= 0) {
            state.SetServerId(id, stack[static_cast<std::size_t>(held)].serverId);
        } else {
            state.RemoveBank(id);
        }
    }
    for (std::size_t i = 0; i < shown; ++i) {
        if (!claimed[i]) {
            // A font someone else loaded; a file this program cannot read (or see) still
            // shows, by its file name.
            CSoundFontCheck check;
            const bool readable = !IsInServersDirectory(stack[i].path) &&
                                  check.Check(stack[i].path.c_str()) == SYNTH_OK;
            const std::string name =
                readable ? check.Name() : CSoundFontChunks().BankName(stack[i].path);
            uint16_t id = 0;
            state.AddBank(name, readable ? check.SampleSize() : 0, stack[i], &id);
        }
    }
    return stack.size() > SYNTH_MAX_BANKS ? SYNTHERR_INVCOUNT : SYNTH_OK;
}

uint16_t CFluidCard::Restack(CFluidShell& shell, const std::vector<ServerFont>& stack,
                             CFluidState& state, int placed) const
{
    const std::vector<Place> wanted = WantedStack(state, stack, placed);
    std::vector<bool> stays;
    const std::size_t loads = wanted.size() - PlacesThatStay(wanted, stack, stays);
    for (std::size_t i = 0; i < loads; ++i) {
        const ServerFont& font = wanted[i].font;
        if (font.serverId >= 0 && !CanBeLoadedAgain(font.path)) {
            return Failed(SYNTHERR_FILENOTFOUND,
                          "The fonts cannot be put in that order: the server would have to load " +
                              font.path + " again, and that file can no longer be read.");
        }
    }
    // New copies first, bottom-up: a channel always finds its program in the stack.
    uint16_t result = SYNTH_OK;
    for (std::size_t i = loads; i-- > 0;) {
        const Place& place = wanted[i];
        int32_t serverId = -1;
        switch (LoadFont(shell, place.font.path, serverId)) {
        case Answer::Done:
            if (place.bank >= 0) {
                state.SetServerId(static_cast<uint16_t>(place.bank), serverId);
            }
            break;
        case Answer::Refused:
            if (const std::ptrdiff_t old = PositionOf(stack, place.font); old >= 0) {
                stays[static_cast<std::size_t>(old)] = true;
            } else if (place.bank >= 0) {
                state.RemoveBank(static_cast<uint16_t>(place.bank));
            }
            result =
                Failed(SYNTHERR_INVCOM, "The FluidSynth server refused " + place.font.path + ".");
            break;
        case Answer::Unexpected:
            return ServerFailure(shell);
        }
    }
    for (std::size_t i = 0; i < stack.size(); ++i) {
        if (stays[i]) {
            continue;
        }
        switch (UnloadFont(shell, stack[i].serverId)) {
        case Answer::Done:
            break;
        case Answer::Refused:
            result = Failed(SYNTHERR_CANNOTDELETE,
                            "The FluidSynth server refused to unload " + stack[i].path + ".");
            break;
        case Answer::Unexpected:
            return ServerFailure(shell);
        }
    }
    return result;
}
