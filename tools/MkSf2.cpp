// korvane-mksf2: writes a small SoundFont from command-line options, for demos and tests.
#include "SoundFontWriter.h"

#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

constexpr int EXIT_WRITE_FAILED = 1;
constexpr int EXIT_USAGE = 2;

constexpr const char* USAGE =
    R"(Usage: korvane-mksf2 [--name NAME] [--preset BANK:PROGRAM:NAME]... [--size BYTES] OUTPUT

Writes the SoundFont OUTPUT: its name (INAM), presets that each play a sine tone, and
sample data of at least BYTES (default: what the tones need). OUTPUT is replaced whole,
or left as it was when anything goes wrong.

  --name NAME                   the font's name
  --preset BANK:PROGRAM:NAME    adds a preset: BANK 0..128 (128: drum kits), PROGRAM 0..127
  --size BYTES                  the smallest size of the sample data
  --help                        shows this text
)";

bool ParseNumber(std::string_view text, unsigned max, unsigned& value)
{
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end && value <= max;
}

// BANK:PROGRAM:NAME, the name possibly empty.
bool AddPreset(CSoundFontWriter& writer, std::string_view text)
{
    const std::size_t first = text.find(':');
    const std::size_t second = first == std::string_view::npos ? first : text.find(':', first + 1);
    unsigned bank = 0;
    unsigned program = 0;
    if (second == std::string_view::npos || !ParseNumber(text.substr(0, first), 128, bank) ||
        !ParseNumber(text.substr(first + 1, second - first - 1), 127, program))
        return false;
    // Each preset gets its own pitch so that fonts can be told apart by ear.
    const double toneHz = 220.0 + 10.0 * program;
    writer.AddPreset(std::string(text.substr(second + 1)), static_cast<uint16_t>(bank),
                     static_cast<uint16_t>(program), toneHz);
    return true;
}

int Usage(const char* problem)
{
    std::fprintf(stderr, "korvane-mksf2: %s\n%s", problem, USAGE);
    return EXIT_USAGE;
}

} // namespace

int main(int argc, char** argv)
{
    std::string name;
    std::string output;
    CSoundFontWriter writer;
    unsigned size = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help") {
            std::fputs(USAGE, stdout);
            return 0;
        }
        if (arg == "--name" && hasValue) {
            name = argv[++i];
        } else if (arg == "--preset" && hasValue) {
            if (!AddPreset(writer, argv[++i]))
                return Usage("a preset is BANK:PROGRAM:NAME with BANK 0..128 and PROGRAM 0..127");
        } else if (arg == "--size" && hasValue) {
            if (!ParseNumber(argv[++i], 0x7FFFFFFFu, size))
                return Usage("the size is a number of bytes");
        } else if (!arg.starts_with("--") && output.empty()) {
            output = arg;
        } else {
            return Usage("unexpected argument");
        }
    }
    if (output.empty())
        return Usage("no output file");
    writer.SetName(name);
    writer.SetSampleDataSize(size);
    std::string error;
    if (!writer.Write(output, &error)) {
        std::fprintf(stderr, "korvane-mksf2: %s\n", error.c_str());
        return EXIT_WRITE_FAILED;
    }
    return 0;
}
