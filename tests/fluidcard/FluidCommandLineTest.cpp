// The command line on a FluidSynth server of the test's own, started as Debian's user unit
// starts it (with a font of its own): the program runs as a process, as a script runs it.
#include "FluidServer.h"
#include "NullSink.h"
#include "SoundFontWriter.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

const std::string kSystemFont = "/usr/share/sounds/sf2/default-GM.sf2";

// Whether process pid holds an open TCP connection to port, within ten seconds: its
// sockets' inodes, looked up in the kernel's tables of connections.
bool ConnectedTo(pid_t pid, int port)
{
    char remote[8];
    std::snprintf(remote, sizeof remote, ":%04X", port);
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < deadline) {
        std::set<std::string> sockets;
        std::error_code error;
        for (const auto& entry :
             std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
            const std::string target = std::filesystem::read_symlink(entry.path(), error);
            if (target.starts_with("socket:["))
                sockets.insert(target.substr(8, target.size() - 9));
        }
        for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
            std::ifstream in(table);
            std::string line;
            std::getline(in, line);
            while (std::getline(in, line)) {
                std::istringstream fields(line);
                std::string slot, local, peer, state, queues, timer, retransmits, uid, timeout,
                    inode;
                fields >> slot >> local >> peer >> state >> queues >> timer >> retransmits >> uid >>
                    timeout >> inode;
                if (peer.ends_with(remote) && state == "01" && sockets.count(inode))
                    return true;
            }
        }
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

struct Result
{
    int status = -1;
    std::string out;
    std::string err;
};

class FluidCommandLineTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(server.Start()) << "cannot start fluidsynth"; }

    // korvane --synth fluidsynth arguments..., on the server unless address says otherwise.
    Result Run(const std::vector<std::string>& arguments, const std::string& address = {},
               const std::string& memory = {}) const
    {
        const pid_t pid = Start(arguments, address, memory);
        Result result;
        int status = 0;
        if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
            result.status = WEXITSTATUS(status);
        result.out = Contents("out");
        result.err = Contents("err");
        return result;
    }

    // The same, not waited for.
    pid_t Start(const std::vector<std::string>& arguments, const std::string& address = {},
                const std::string& memory = {}) const
    {
        std::vector<std::string> environment = {
            "KORVANE_FLUIDSYNTH=" + (address.empty() ? server.Address() : address),
            "KORVANE_FLUIDSYNTH_STATE=" + dir.Path("fluidsynth.state"),
            "XDG_CONFIG_HOME=" + dir.Path("config"), "XDG_STATE_HOME=" + dir.Path("state"),
            "HOME=" + dir.Path("")};
        if (!memory.empty())
            environment.push_back("KORVANE_FLUIDSYNTH_MEMORY=" + memory);
        std::vector<std::string> command = {KORVANE_PROGRAM, "--synth", "fluidsynth"};
        command.insert(command.end(), arguments.begin(), arguments.end());
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::dup2(::open(dir.Path("out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
            ::dup2(::open(dir.Path("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
            std::vector<char*> argv, envp;
            for (std::string& word : command)
                argv.push_back(word.data());
            for (std::string& variable : environment)
                envp.push_back(variable.data());
            argv.push_back(nullptr);
            envp.push_back(nullptr);
            ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
        return pid;
    }

    std::string Contents(const std::string& name) const
    {
        std::ifstream file(dir.Path(name));
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    std::string Font(const std::string& name) const
    {
        CSoundFontWriter writer(name);
        writer.AddPreset("Tone", 0, 0);
        std::string error;
        EXPECT_TRUE(writer.Write(dir.Path(name + ".sf2"), &error)) << error;
        return dir.Path(name + ".sf2");
    }

    // A preset file of one bank at priority 0, as the program writes it.
    std::string OneBankPreset(const std::string& bank) const
    {
        EXPECT_LT(bank.size(), 255u) << "a path of one length byte";
        std::string bytes;
        for (const uint32_t word : {1u, 0u, 1000u, 8u * 1024 * 1024}) {
            for (int shift = 0; shift < 32; shift += 8)
                bytes.push_back(static_cast<char>(word >> shift));
        }
        bytes += static_cast<char>(bank.size()) + bank + std::string(7, '\0');
        const std::string preset = dir.Path("set.pre");
        std::ofstream(preset, std::ios::binary) << bytes;
        return preset;
    }

    CTempDir dir;
    CFluidServer server{kSystemFont};
};

TEST_F(FluidCommandLineTest, NineFontsShowAsTheTopEightAndUnloadStillWorks)
{
    for (const char* name : {"f1", "f2", "f3", "f4", "f5", "f6", "f7", "f8"})
        server.Command("load " + Font(name));
    Result status = Run({"status"});
    EXPECT_EQ(status.status, 0) << status.err;
    EXPECT_NE(status.out.find("f8.sf2"), std::string::npos) << status.out;
    EXPECT_EQ(status.out.find("default-GM"), std::string::npos) << "ninth from the top";
    EXPECT_NE(status.out.find("1 more font"), std::string::npos) << status.out;

    EXPECT_EQ(Run({"unload", "0"}).status, 0);
    EXPECT_EQ(server.Fonts().size(), 8u);
    status = Run({"status", "--json"});
    EXPECT_NE(status.out.find("\"path\": \"" + kSystemFont + "\""), std::string::npos)
        << "the server's own font, with the file the server names\n"
        << status.out;
    const Result saved = Run({"preset", "save", dir.Path("set.pre")});
    EXPECT_EQ(saved.status, 0);
    EXPECT_EQ(saved.err, "") << "every bank's file is known";
    EXPECT_EQ(Run({"report", dir.Path("out.htm")}).status, 0);
    EXPECT_NE(Contents("out.htm").find("Piano 1"), std::string::npos)
        << "the server's own font is reported by its presets";
    EXPECT_EQ(Run({"unload", "--all"}).status, 0);
    EXPECT_TRUE(server.Fonts().empty());
}

// What the server plays on channel 0 after a program change to bank:program, with the
// channel first set to that bank through a font that holds it.
std::string ServerChoice(const CFluidServer& server, int32_t fontId, int bank, int program)
{
    const std::string numbers = std::to_string(bank) + " " + std::to_string(program);
    server.Command("select 0 " + std::to_string(fontId) + " " + numbers);
    server.Command("prog 0 " + std::to_string(program));
    for (const std::string& line : server.Command("channels")) {
        if (line.rfind("chan 0, ", 0) == 0)
            return line.substr(8);
    }
    return {};
}

// The bank Korvane says answers each bank:program is the font the server chooses itself,
// with the server's own font below and two of ours that share every program: on a tie the
// font loaded last, else the higher priority.
TEST_F(FluidCommandLineTest, ProgramsNameThePresetTheServerChooses)
{
    const std::vector<std::pair<int, int>> programs = {{0, 0}, {0, 5}, {8, 5}, {128, 0}};
    std::map<std::string, std::string> fonts;
    for (const std::string name : {"A", "B"}) {
        CSoundFontWriter writer(name);
        for (const auto& [bank, program] : programs)
            writer.AddPreset(name + " " + std::to_string(bank) + ":" + std::to_string(program),
                             static_cast<uint16_t>(bank), static_cast<uint16_t>(program));
        fonts[name] = dir.Path(name + ".sf2");
        ASSERT_TRUE(writer.Write(fonts[name]));
    }
    ASSERT_EQ(Run({"load", fonts["A"], fonts["B"]}).status, 0);
    const auto checkAnswers = [&](const std::string& when) {
        const Result listing = Run({"programs", "--json"});
        ASSERT_EQ(listing.status, 0) << listing.err;
        const std::vector<std::string> paths = server.Fonts();
        const std::vector<int32_t> ids = server.Ids();
        const auto serverId = [&](const std::string& name) {
            return ids[std::find(paths.begin(), paths.end(), fonts[name]) - paths.begin()];
        };
        int checked = 0;
        for (const QJsonValue value : QJsonDocument::fromJson(listing.out.c_str()).array()) {
            const QJsonObject row = value.toObject();
            const int bank = row["drumKit"].toBool() ? 128 : row["variation"].toInt();
            const int program = row["program"].toInt();
            if (std::find(programs.begin(), programs.end(), std::pair{bank, program}) ==
                programs.end())
                continue;
            // Set through the font that is not expected to answer.
            const std::string expected = row["name"].toString().toStdString();
            const int32_t other = serverId(expected.rfind("A ", 0) == 0 ? "B" : "A");
            EXPECT_EQ(ServerChoice(server, other, bank, program), expected)
                << when << ", " << bank << ":" << program;
            ++checked;
        }
        EXPECT_EQ(checked, static_cast<int>(programs.size())) << when << "\n" << listing.out;
    };
    checkAnswers("equal priorities");
    ASSERT_EQ(Run({"priority", "1", "5"}).status, 0);
    checkAnswers("A first");
    ASSERT_EQ(Run({"priority", "0", "9"}).status, 0);
    checkAnswers("the server's own font first");
}

TEST_F(FluidCommandLineTest, APausedServerIsWaitedForAndLivesOn)
{
    server.Pause(true);
    std::thread resume([this] {
        std::this_thread::sleep_for(5s);
        server.Pause(false);
    });
    const Result status = Run({"status"});
    resume.join();
    EXPECT_EQ(status.status, 0) << status.err;
    EXPECT_NE(status.out.find(kSystemFont), std::string::npos) << status.out;
    EXPECT_TRUE(server.IsRunning());
}

TEST_F(FluidCommandLineTest, KorvaneKilledBeforeTheServerAnswersLeavesTheServerPlaying)
{
    const std::string font = Font("mine");
    ASSERT_EQ(Run({"load", font}).status, 0);
    // A musician holds a note with the server's own strings.
    server.Command("prog 0 48");
    server.Command("noteon 0 60 100");
    const std::vector<std::string> channels = server.Command("channels");
    // Korvane is killed while the server, busy, has yet to answer its restack.
    server.Pause(true);
    const pid_t korvane = Start({"priority", "0", "9"});
    const bool connected = ConnectedTo(korvane, server.Port());
    // Its first command goes out as soon as it is connected.
    std::this_thread::sleep_for(200ms);
    ::kill(korvane, SIGKILL);
    ::waitpid(korvane, nullptr, 0);
    server.Pause(false);
    ASSERT_TRUE(connected) << "korvane never reached the server";
    const Result status = Run({"status", "--json"});
    EXPECT_EQ(status.status, 0) << status.err;
    EXPECT_TRUE(server.IsRunning()) << "the server answered a connection whose client was gone";
    EXPECT_EQ(server.Command("channels"), channels);
    EXPECT_NE(status.out.find(kSystemFont), std::string::npos) << status.out;
}

TEST_F(FluidCommandLineTest, ErrorsSayWhereTheServerIsAndWhatIsWrong)
{
    const std::string stopped = "127.0.0.1:" + std::to_string(CFluidServer::FreePort());
    Result result = Run({"status"}, stopped);
    EXPECT_EQ(result.status, 3);
    for (const std::string& said :
         {stopped, std::string("not running"), std::string("systemctl --user start fluidsynth")})
        EXPECT_NE(result.err.find(said), std::string::npos) << result.err;

    for (const char* budget : {"5G", "abc", "4294967296"}) {
        result = Run({"status"}, {}, budget);
        EXPECT_EQ(result.status, 3) << budget;
        EXPECT_NE(result.err.find(std::string("KORVANE_FLUIDSYNTH_MEMORY is set to \"") + budget),
                  std::string::npos)
            << result.err;
    }

    const std::string bank = dir.WriteBank("piano.94b", "PIANO", 1000);
    result = Run({"load", bank});
    EXPECT_EQ(result.status, 4);
    EXPECT_NE(result.err.find("takes SoundFont files (.sf2, .sf3) only"), std::string::npos)
        << result.err;
    EXPECT_EQ(server.Fonts(), (std::vector<std::string>{kSystemFont}));

    // A preset of that bank is refused before the server's own font is unloaded.
    result = Run({"preset", "load", OneBankPreset(bank)});
    EXPECT_EQ(result.status, 4);
    for (const std::string& said :
         {"Unable to load bank:" + bank, std::string("takes SoundFont files (.sf2, .sf3) only")})
        EXPECT_NE(result.err.find(said), std::string::npos) << result.err;
    EXPECT_EQ(server.Fonts(), (std::vector<std::string>{kSystemFont}));
}

TEST_F(FluidCommandLineTest, AuditionIsPlayedByTheServerWhichGetsTheChannelsProgramBack)
{
    CNullSink sink;
    ASSERT_TRUE(sink.Started()) << "cannot start PulseAudio";
    CFluidServer audible;
    audible.PlayOn(sink.Server());
    ASSERT_TRUE(audible.Start()) << "cannot start fluidsynth";
    const std::string address = audible.Address();
    ASSERT_EQ(Run({"load", Font("low"), Font("top")}, address).status, 0);
    // A musician plays the lower font's program on channel 16.
    audible.Command("select 15 " + std::to_string(audible.Ids().back()) + " 0 0");
    const std::vector<std::string> before = audible.Command("channels -verbose");

    ASSERT_TRUE(sink.StartRecording());
    const Result played = Run({"audition", "0:0"}, address);
    const int loudest = sink.StopRecording();
    EXPECT_EQ(played.status, 0) << played.err;
    EXPECT_NE(played.out.find("Bank 1 answers 0:0"), std::string::npos)
        << "of two banks of equal priority, the one on top of the server's stack\n"
        << played.out;
    EXPECT_GT(loudest, 300) << "the server played the phrase";
    EXPECT_EQ(audible.Command("channels -verbose"), before)
        << "channel 16 has its program back and no other channel changed";

    const Result missing = Run({"audition", "0:9", "--channel", "3"}, address);
    EXPECT_EQ(missing.status, 3);
    EXPECT_NE(missing.err.find("no bank in the card has program 0:9"), std::string::npos)
        << missing.err;
    EXPECT_EQ(Run({"audition", "0:0", "--channel", "0"}, address).status, 2);
    EXPECT_EQ(audible.Command("channels -verbose"), before);
}

} // namespace
