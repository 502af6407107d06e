// korvane-mkbank: writes a bank file from command-line options, for demos and tests.
#include "BankFileWriter.h"

#include <charconv>
#include <cstdio>
#include <limits>
#include <string>
#include <string_view>

namespace {

constexpr int EXIT_WRITE_FAILED = 1;
constexpr int EXIT_USAGE = 2;

constexpr const char* USAGE =
    R"(Usage: korvane-mkbank --name NAME [--instrument PROGRAM:VARIATION]...
                      [--drumkit PROGRAM:VARIATION]... [--size BYTES] OUTPUT

Writes the bank file OUTPUT: the bank's name, its instrument and drum-kit lists, and
padding up to BYTES that stands for the sample data. OUTPUT is replaced whole, or left
as it was when anything goes wrong.

  --name NAME                     the bank's name, at most 8 bytes
  --instrument PROGRAM:VARIATION  adds an instrument: PROGRAM 0..65534, VARIATION 0..255
  --drumkit PROGRAM:VARIATION     adds a drum kit, in the same form
  --size BYTES                    the file's total size in bytes
                                  (default: the header and the lists only)
  --help                          shows this text

Example:
  korvane-mkbank --name PIANO --instrument 0:0 --instrument 1:8 --drumkit 0:127 \
                 --size 262144 piano.94b
)";

struct Request
{
    CBankFileWriter writer;
    std::string output;
    bool hasName = false;
    bool hasSize = false;
    bool help = false;
};

// A whole decimal number no larger than max: no sign, spaces or trailing characters.
template <typename Number> bool ParseNumber(std::string_view text, Number max, Number& value)
{
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end && value <= max;
}

bool ParseProgram(std::string_view text, uint16_t& program, uint8_t& variation)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        return false;
    }
    unsigned number = 0;
    if (!ParseNumber(text.substr(colon + 1), 255u, number)) {
        return false;
    }
    variation = static_cast<uint8_t>(number);
    return ParseNumber(text.substr(0, colon), uint16_t{CBankFileWriter::END_OF_LIST - 1}, program);
}

// Takes one option and its value; returns an error message, empty when it was accepted.
std::string TakeOption(std::string_view option, std::string_view value, Request& request)
{
    if (option == "--name") {
        if (request.hasName) {
            return "--name is given twice";
        }
        request.hasName = true;
        request.writer.SetName(std::string(value));
        return {};
    }
    if (option == "--size") {
        uint64_t size = 0;
        if (request.hasSize) {
            return "--size is given twice";
        }
        if (!ParseNumber(value, std::numeric_limits<uint64_t>::max(), size) || size == 0) {
            return "--size needs a positive number of bytes, not \"" + std::string(value) + "\"";
        }
        request.hasSize = true;
        request.writer.SetSize(size);
        return {};
    }
    uint16_t program = 0;
    uint8_t variation = 0;
    if (!ParseProgram(value, program, variation)) {
        return std::string(option) + " needs PROGRAM:VARIATION with PROGRAM 0..65534 and " +
               "VARIATION 0..255, not \"" + std::string(value) + "\"";
    }
    if (option == "--instrument") {
        request.writer.AddInstrument(program, variation);
    } else {
        request.writer.AddDrumKit(program, variation);
    }
    return {};
}

bool IsOptionWithValue(std::string_view argument)
{
    return argument == "--name" || argument == "--size" || argument == "--instrument" ||
           argument == "--drumkit";
}

// Returns an error message, empty when the arguments make a complete request.
std::string ParseArguments(int argc, char** argv, Request& request)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            request.help = true;
            return {};
        }
        if (IsOptionWithValue(argument)) {
            if (i + 1 >= argc) {
                return std::string(argument) + " needs a value";
            }
            if (std::string problem = TakeOption(argument, argv[++i], request); !problem.empty()) {
                return problem;
            }
        } else if (argument.starts_with("-") && argument != "-") {
            return "unknown option " + std::string(argument);
        } else if (!request.output.empty()) {
            return "only one output file can be given";
        } else {
            request.output = argument;
        }
    }
    if (!request.hasName) {
        return "--name is required";
    }
    if (request.output.empty()) {
        return "the output file is missing";
    }
    return request.writer.Problem();
}

} // namespace

int main(int argc, char** argv)
{
    Request request;
    const std::string problem = ParseArguments(argc, argv, request);
    if (request.help) {
        std::fputs(USAGE, stdout);
        return 0;
    }
    if (!problem.empty()) {
        std::fprintf(stderr, "korvane-mkbank: %s\n\n%s", problem.c_str(), USAGE);
        return EXIT_USAGE;
    }
    std::string error;
    if (!request.writer.Write(request.output, &error)) {
        std::fprintf(stderr, "korvane-mkbank: %s\n", error.c_str());
        return EXIT_WRITE_FAILED;
    }
    return 0;
}
