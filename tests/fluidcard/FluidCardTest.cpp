// The server card against a real FluidSynth server that each test starts on a free port:
// what the card reports, what the server's stack holds after each operation, and how the
// card copes with a server that goes away, restarts, is shared, or is not a server at all.
#include "FluidCard.h"
#include "FluidServer.h"
#include "LoopbackListener.h"
#include "ShellRelay.h"
#include "SoundFontWriter.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

const std::string kSystemFont = "/usr/share/sounds/sf2/default-GM.sf2";
constexpr uint32_t kFontSamples = 40000;

class FluidCardTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(server.Start()) << "cannot start fluidsynth"; }

    CFluidCard Card(uint32_t budget = 1U << 30) const { return CardOn(server, budget); }

    CFluidCard CardOn(const CFluidServer& on, uint32_t budget = 1U << 30) const
    {
        CFluidCard::Settings settings;
        settings.address = {"127.0.0.1", std::to_string(on.Port())};
        settings.budget = budget;
        settings.connectTimeout = 2s;
        return CFluidCard(CFluidCard::Store(dir.Path("state/fluidsynth.state"), CFluidState()),
                          settings);
    }

    // A small font of its own, named after its file, with kFontSamples of sample data.
    std::string Font(const std::string& name) const
    {
        CSoundFontWriter writer(std::filesystem::path(name).stem().string());
        writer.AddPreset("Tone", 0, 0);
        writer.SetSampleDataSize(kFontSamples);
        EXPECT_EQ(writer.SampleDataSize(), kFontSamples);
        std::string error;
        EXPECT_TRUE(writer.Write(dir.Path(name), &error)) << error;
        return dir.Path(name);
    }

    SynthStatus Status(const CFluidCard& card, uint16_t expected = SYNTH_OK) const
    {
        SynthStatus status{};
        EXPECT_EQ(card.GetStatus(&status), expected);
        return status;
    }

    CTempDir dir;
    CFluidServer server;
};

TEST_F(FluidCardTest, LoadsUnderTheLowestFreeIdAndUnloadsFromTheServer)
{
    const CFluidCard card = Card();
    const std::string a = Font("a.sf2"), b = Font("b.sf2"), c = Font("c.sf2");
    EXPECT_EQ(card.LoadBank(a.c_str()), 0);
    EXPECT_EQ(card.LoadBank(b.c_str()), 1);
    EXPECT_EQ(card.LoadBank(c.c_str()), 2);
    EXPECT_EQ(card.UnloadBank(1), SYNTH_OK);
    EXPECT_EQ(server.Fonts(), (std::vector<std::string>{c, a}));
    EXPECT_EQ(card.UnloadBank(1), SYNTHERR_UNREF);

    EXPECT_EQ(card.LoadBank(b.c_str()), 1) << "the lowest free ID";
    const SynthStatus status = Status(card);
    ASSERT_EQ(status.bankCount, 3u);
    EXPECT_EQ(status.banks[1].id, 1u);
    EXPECT_STREQ(status.banks[1].name, "b") << "its INAM";
    EXPECT_EQ(status.banks[1].priority, 0);
    EXPECT_EQ(status.banks[1].size, kFontSamples);
    EXPECT_EQ(status.totalMemory, 1U << 30);
    EXPECT_EQ(status.freeMemory, (1U << 30) - 3 * kFontSamples);
}

TEST_F(FluidCardTest, CountsSampleDataAgainstTheBudget)
{
    const CFluidCard card = Card(2 * kFontSamples);
    EXPECT_EQ(card.LoadBank(Font("a.sf2").c_str()), 0);
    EXPECT_EQ(card.LoadBank(Font("b.sf2").c_str()), 1) << "fills the budget exactly";
    EXPECT_EQ(card.LoadBank(Font("c.sf2").c_str()), 16 + SYNTHERR_OUTOFMEM);
    EXPECT_EQ(server.Fonts().size(), 2u);
    EXPECT_EQ(Status(card).freeMemory, 0u);

    // Another client's fonts count too, even past the budget.
    server.Command("load " + kSystemFont);
    const SynthStatus status = Status(card);
    EXPECT_EQ(status.bankCount, 3u);
    EXPECT_GT(status.banks[2].size, kFontSamples);
    EXPECT_EQ(status.freeMemory, 0u);
}

TEST_F(FluidCardTest, RefusesBadLoadsInTheSimulatedCardsOrderAndLeavesTheServerAsItWas)
{
    const std::string a = Font("a.sf2");
    const std::string text = dir.WriteBytes("notes.sf2", {'R', 'I', 'F', 'F', 0, 0, 0, 0});
    // Passes the file check but holds no presets: the server refuses it.
    const std::string hollow =
        dir.WriteBytes("hollow.sf2", {'R', 'I', 'F', 'F', 24,  0,   0, 0, 's', 'f', 'b',
                                      'k', 'L', 'I', 'S', 'T', 12,  0, 0, 0,   's', 'd',
                                      't', 'a', 's', 'm', 'p', 'l', 0, 0, 0,   0});
    const CFluidCard card = Card();
    EXPECT_EQ(card.LoadBank(dir.Path("missing.sf2").c_str()), 16 + SYNTHERR_FILENOTFOUND);
    EXPECT_EQ(card.LoadBank(dir.Path("").c_str()), 16 + SYNTHERR_FILENOTFOUND) << "a directory";
    EXPECT_EQ(card.LoadBank(nullptr), 16 + SYNTHERR_FILENOTFOUND);
    EXPECT_EQ(card.LoadBank(text.c_str()), 16 + SYNTHERR_INVCOM);
    EXPECT_EQ(card.LoadBank(hollow.c_str()), 16 + SYNTHERR_INVCOM);
    EXPECT_TRUE(server.Fonts().empty());
    EXPECT_EQ(Status(card).bankCount, 0u);

    for (int i = 0; i < SYNTH_MAX_BANKS; ++i)
        ASSERT_EQ(card.LoadBank(a.c_str()), i);
    EXPECT_EQ(card.LoadBank(dir.Path("missing.sf2").c_str()), 16 + SYNTHERR_INVCOUNT)
        << "a full card refuses before it looks at the file";
    EXPECT_EQ(server.Fonts().size(), 8u);
}

TEST_F(FluidCardTest, KeepsTheStackInPriorityOrderReloadingOnlyTheFontsThatMove)
{
    const CFluidCard card = Card();
    const std::string a = Font("a.sf2"), b = Font("b.sf2"), c = Font("c.sf2");
    ASSERT_EQ(card.LoadBank(a.c_str()), 0);
    ASSERT_EQ(card.LoadBank(b.c_str()), 1);
    ASSERT_EQ(card.LoadBank(c.c_str()), 2);
    const std::vector<int32_t> loaded = server.Ids();
    EXPECT_EQ(server.Fonts(), (std::vector<std::string>{c, b, a}))
        << "equal priorities: a new font on top, as the server's own load puts it";
    EXPECT_EQ(loaded, (std::vector<int32_t>{3, 2, 1})) << "nothing loaded twice";

    EXPECT_EQ(card.SetPriority(2, 5), SYNTH_OK);
    EXPECT_EQ(server.Ids(), loaded) << "already on top: nothing moves";
    EXPECT_EQ(card.SetPriority(0, 5), SYNTH_OK);
    EXPECT_EQ(server.Fonts(), (std::vector<std::string>{a, c, b}));
    EXPECT_EQ(server.Ids(), (std::vector<int32_t>{4, 3, 2})) << "only a was loaded again";
    EXPECT_EQ(card.SetPriority(1, 9), SYNTH_OK);
    EXPECT_EQ(server.Fonts(), (std::vector<std::string>{b, a, c}));
    EXPECT_EQ(server.Ids(), (std::vector<int32_t>{5, 4, 3}));

    const SynthStatus status = Status(card);
    ASSERT_EQ(status.bankCount, 3u);
    EXPECT_EQ(status.banks[0].priority, 5);
    EXPECT_EQ(status.banks[1].priority, 9);
    EXPECT_EQ(status.banks[2].priority, 5);
    EXPECT_EQ(card.SetPriority(7, 1), SYNTHERR_UNREF);
    EXPECT_EQ(card.SetPriority(0, 128), SYNTHERR_INVADD);
    EXPECT_EQ(server.Ids(), (std::vector<int32_t>{5, 4, 3}));
}

TEST_F(FluidCardTest, EveryChannelKeepsSoundingItsProgramFromTheNewStack)
{
    server.Command("load " + kSystemFont);
    ASSERT_EQ(server.Command("channels")[0], "chan 0, Piano 1");
    const CFluidCard card = Card();
    // A font with a program 0 of its own, and one without.
    CSoundFontWriter tone("Tone"), strings("Strings");
    tone.AddPreset("Tone Piano", 0, 0);
    strings.AddPreset("Strings", 0, 48);
    std::string error;
    ASSERT_TRUE(tone.Write(dir.Path("tone.sf2"), &error)) << error;
    ASSERT_TRUE(strings.Write(dir.Path("strings.sf2"), &error)) << error;

    ASSERT_EQ(card.LoadBank(dir.Path("tone.sf2").c_str()), 1);
    EXPECT_EQ(server.Command("channels")[0], "chan 0, Tone Piano") << "found on top";
    ASSERT_EQ(card.SetPriority(0, 10), SYNTH_OK) << "the system font is loaded again, on top";
    EXPECT_EQ(server.Command("channels")[0], "chan 0, Piano 1");
    ASSERT_EQ(card.LoadBank(dir.Path("strings.sf2").c_str()), 2);
    ASSERT_EQ(card.SetPriority(2, 20), SYNTH_OK);
    EXPECT_EQ(server.Command("channels")[0], "chan 0, Piano 1");
    ASSERT_EQ(card.UnloadBank(0), SYNTH_OK);
    EXPECT_EQ(server.Command("channels")[0], "chan 0, Tone Piano");
}

TEST_F(FluidCardTest, AFontWhoseFileIsGoneStaysOnTheServerAndAReorderThatWouldLoseItIsRefused)
{
    const CFluidCard card = Card();
    const std::string a = Font("a.sf2"), b = Font("b.sf2"), c = Font("c.sf2");
    ASSERT_EQ(card.LoadBank(a.c_str()), 0);
    ASSERT_EQ(card.LoadBank(b.c_str()), 1);
    std::filesystem::remove(a);

    EXPECT_EQ(card.LoadBank(c.c_str()), 2) << "c goes on top: a stays where it is";
    EXPECT_EQ(card.SetPriority(1, 20), SYNTH_OK) << "b moves above c";
    EXPECT_EQ(card.SetPriority(0, 30), SYNTHERR_FILENOTFOUND) << "a would have to be loaded";
    EXPECT_NE(CFluidCard::FailureDetail().find(a), std::string::npos)
        << CFluidCard::FailureDetail();
    EXPECT_EQ(server.Fonts(), (std::vector<std::string>{b, c, a}));
    EXPECT_EQ(Status(card).banks[0].priority, 0) << "the refused priority is not recorded";
}

TEST_F(FluidCardTest, ShowsWhatTheServerHoldsAfterARestartOrAnotherClientsLoads)
{
    const CFluidCard card = Card();
    const std::string a = Font("a.sf2"), b = Font("b.sf2");
    ASSERT_EQ(card.LoadBank(a.c_str()), 0);
    ASSERT_EQ(card.LoadBank(b.c_str()), 1);
    ASSERT_EQ(card.UnloadBank(0), SYNTH_OK);

    server.Command("load " + a);
    SynthStatus status = Status(card);
    ASSERT_EQ(status.bankCount, 2u);
    EXPECT_EQ(status.banks[0].id, 0u) << "a font loaded by someone else takes a free ID";
    EXPECT_STREQ(status.banks[0].name, "a");
    EXPECT_EQ(card.UnloadBank(0), SYNTH_OK);
    EXPECT_EQ(server.Fonts(), (std::vector<std::string>{b}));

    ASSERT_TRUE(server.Start()) << "restarted, the server holds no font";
    EXPECT_EQ(Status(card).bankCount, 0u);
    EXPECT_EQ(card.LoadBank(b.c_str()), 0);

    for (int i = 0; i < 9; ++i)
        server.Command("load " + a);
    status = Status(card, SYNTHERR_INVCOUNT);
    EXPECT_EQ(status.bankCount, 8u) << "the 8 fonts on top of the stack";
}

TEST_F(FluidCardTest, AFontTheServerNamesRelativeToItsOwnDirectoryIsNotTakenFromOurs)
{
    // The server started with "gm.sf2" from its own directory; ours holds another gm.sf2.
    std::filesystem::create_directories(dir.Path("server"));
    std::filesystem::create_directories(dir.Path("here"));
    for (const std::string name : {"server", "here"}) {
        CSoundFontWriter writer(name == "server" ? "Server GM" : "Other");
        writer.AddPreset("Tone", 0, 0);
        ASSERT_TRUE(writer.Write(dir.Path(name + "/gm.sf2")));
    }
    CFluidServer own("gm.sf2", dir.Path("server"));
    ASSERT_TRUE(own.Start()) << "cannot start fluidsynth";
    const CFluidCard card = CardOn(own);
    const std::filesystem::path testDirectory = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path("here"));
    const SynthStatus status = Status(card);
    std::filesystem::remove(dir.Path("here/gm.sf2"));
    const uint16_t loaded = card.LoadBank(Font("a.sf2").c_str());
    const uint16_t moved = card.SetPriority(0, 5);
    std::filesystem::current_path(testDirectory);

    ASSERT_EQ(status.bankCount, 1u);
    EXPECT_STREQ(status.banks[0].name, "gm") << "its file name: the file here is another";
    EXPECT_EQ(status.banks[0].size, 0u);
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(moved, SYNTH_OK) << "the server loads it again from its own directory\n"
                               << CFluidCard::FailureDetail();
    EXPECT_EQ(own.Fonts(), (std::vector<std::string>{"gm.sf2", dir.Path("a.sf2")}));
}

TEST_F(FluidCardTest, TwoProgramsAndTheNextRunSeeOneCard)
{
    const std::string a = Font("a.sf2"), b = Font("b.sf2");
    ASSERT_EQ(Card().LoadBank(a.c_str()), 0);
    const CFluidCard other = Card();
    ASSERT_EQ(other.LoadBank(b.c_str()), 1);
    ASSERT_EQ(other.SetPriority(0, 3), SYNTH_OK);
    const SynthStatus status = Status(Card());
    ASSERT_EQ(status.bankCount, 2u);
    EXPECT_EQ(status.banks[0].priority, 3);
    EXPECT_EQ(Card().UnloadBank(1), SYNTH_OK);
    EXPECT_EQ(server.Fonts(), (std::vector<std::string>{a}));
}

TEST_F(FluidCardTest, PathsWithSpacesQuotesAndNonUtf8BytesReachTheServerUnchanged)
{
    const CFluidCard card = Card();
    const std::string odd = Font("it's a \xe9t\xe9 font.sf2");
    EXPECT_EQ(card.LoadBank(odd.c_str()), 0);
    EXPECT_EQ(server.Fonts(), (std::vector<std::string>{odd}));
    EXPECT_EQ(Status(card).bankCount, 1u);
    const std::string relative = std::filesystem::relative(odd).string();
    EXPECT_EQ(card.LoadBank(relative.c_str()), 1) << "taken from the working directory";
    EXPECT_EQ(server.Fonts().front(), std::filesystem::absolute(relative).string());
    const std::string newline = Font("two\nlines.sf2");
    EXPECT_EQ(card.LoadBank(newline.c_str()), 16 + SYNTHERR_FILENOTFOUND);
}

TEST_F(FluidCardTest, TheLibraryTakesItsServerBudgetAndStateFromTheEnvironment)
{
    void* library = ::dlopen(KORVANE_FLUIDCARD_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << ::dlerror();
    const auto load = reinterpret_cast<decltype(SynthLoadBank)*>(::dlsym(library, "SynthLoadBank"));
    const auto getStatus =
        reinterpret_cast<decltype(SynthGetStatus)*>(::dlsym(library, "SynthGetStatus"));
    ASSERT_TRUE(load && getStatus);
    ::setenv("KORVANE_FLUIDSYNTH", server.Address().c_str(), 1);
    ::setenv("KORVANE_FLUIDSYNTH_STATE", dir.Path("env.state").c_str(), 1);
    ::setenv("KORVANE_FLUIDSYNTH_MEMORY", "123456789", 1);
    EXPECT_EQ(load(Font("a.sf2").c_str()), 0);
    SynthStatus status{};
    EXPECT_EQ(getStatus(&status), SYNTH_OK);
    EXPECT_EQ(status.totalMemory, 123456789u);
    EXPECT_EQ(status.bankCount, 1u);
    EXPECT_TRUE(std::filesystem::exists(dir.Path("env.state")));

    const auto detail =
        reinterpret_cast<decltype(SynthGetErrorDetail)*>(::dlsym(library, "SynthGetErrorDetail"));
    ASSERT_TRUE(detail);
    char text[512];
    for (const char* budget : {"5G", "abc", "4294967296"}) {
        ::setenv("KORVANE_FLUIDSYNTH_MEMORY", budget, 1);
        EXPECT_EQ(getStatus(&status), SYNTHERR_INVADD) << budget;
        detail(text, sizeof text);
        EXPECT_NE(std::string(text).find(budget), std::string::npos) << text;
    }
    ::unsetenv("KORVANE_FLUIDSYNTH_MEMORY");
    EXPECT_EQ(getStatus(&status), SYNTH_OK);
    EXPECT_EQ(status.totalMemory, 1U << 30) << "unset: the default";
    for (const char* name :
         {"KORVANE_FLUIDSYNTH", "KORVANE_FLUIDSYNTH_STATE", "KORVANE_FLUIDSYNTH_MEMORY"})
        ::unsetenv(name);
    ::dlclose(library);
}

TEST_F(FluidCardTest, APausedServerIsWaitedForAndLivesOn)
{
    const CFluidCard card = Card();
    const std::string a = Font("a.sf2");
    server.Pause(true);
    std::thread resume([this] {
        std::this_thread::sleep_for(5s);
        server.Pause(false);
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(card.LoadBank(a.c_str()), 0);
    EXPECT_EQ(Status(card).bankCount, 1u);
    resume.join();
    EXPECT_GE(std::chrono::steady_clock::now() - start, 4s) << "the reply was awaited";
    EXPECT_TRUE(server.IsRunning());
    EXPECT_EQ(server.Fonts(), (std::vector<std::string>{a}));
}

TEST_F(FluidCardTest, WhileAChangeIsUnderWayTheStatusIsTheStateAsLastSettled)
{
    const CFluidCard card = Card();
    const std::string a = Font("a.sf2"), b = Font("b.sf2");
    ASSERT_EQ(card.LoadBank(a.c_str()), 0);
    server.Pause(true);
    std::thread load([&] { EXPECT_EQ(card.LoadBank(b.c_str()), 1); });
    std::this_thread::sleep_for(500ms);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Status(card).bankCount, 1u) << "the paused load is not waited for";
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    server.Pause(false);
    load.join();
    EXPECT_EQ(Status(card).bankCount, 2u);
}

TEST_F(FluidCardTest, AfterALostReplyTheStateSettlesOnWhatTheServerHolds)
{
    const CFluidCard direct = Card();
    const std::string a = Font("a.sf2"), b = Font("b.sf2");
    ASSERT_EQ(direct.LoadBank(a.c_str()), 0);
    ASSERT_EQ(direct.SetPriority(0, 100), SYNTH_OK);
    {
        // The relay ends the card's connection once a load has gone through, before the
        // reply.
        CShellRelay relay(server.Port(), "load ");
        CFluidCard::Settings settings;
        settings.address = {"127.0.0.1", std::to_string(relay.Port())};
        settings.budget = 1U << 30;
        const CFluidCard card(CFluidCard::Store(dir.Path("state/fluidsynth.state"), CFluidState()),
                              settings);
        EXPECT_EQ(card.LoadBank(b.c_str()), 1) << "the server holds it: the load is done";
        EXPECT_EQ(relay.Count("load "), 1);
    }
    EXPECT_TRUE(server.IsRunning());
    const SynthStatus status = Status(direct);
    ASSERT_EQ(status.bankCount, 2u);
    EXPECT_EQ(status.banks[0].priority, 100) << "nothing the user had is dropped";
    std::string path;
    EXPECT_EQ(direct.GetBankPath(1, path), SYNTH_OK);
    EXPECT_EQ(path, b);

    server.Stop();
    EXPECT_EQ(direct.UnloadBank(0), SYNTHERR_NOTSUPPORTED);
    EXPECT_NE(CFluidCard::FailureDetail().find("not running"), std::string::npos);
    ASSERT_TRUE(server.Start());
    EXPECT_EQ(Status(direct).bankCount, 0u) << "a restarted server holds nothing";
}

// A listening socket that accepts and then says nothing, or says what it likes.
class FakeServer
{
public:
    explicit FakeServer(std::string answer) : m_answer(std::move(answer))
    {
        const CLoopbackListener listener = CLoopbackListener::Open();
        m_socket = listener.fd;
        m_port = listener.port;
        m_thread = std::thread([this] {
            const int client = ::accept(m_socket, nullptr, nullptr);
            if (client >= 0 && !m_answer.empty())
                ::send(client, m_answer.data(), m_answer.size(), MSG_NOSIGNAL);
            std::this_thread::sleep_for(1500ms);
            ::close(client);
        });
    }
    ~FakeServer()
    {
        m_thread.join();
        ::close(m_socket);
    }
    int Port() const { return m_port; }

private:
    std::string m_answer;
    int m_socket = -1;
    int m_port = 0;
    std::thread m_thread;
};

TEST(FluidCardWithoutServerTest, EveryCallEndsWithNotSupportedAndAnEmptyRecord)
{
    CTempDir dir;
    CFluidCard::Settings settings;
    settings.connectTimeout = 300ms;
    const auto card = [&](int port) {
        settings.address = {"127.0.0.1", std::to_string(port)};
        return CFluidCard(CFluidCard::Store(dir.Path("fluidsynth.state"), CFluidState()), settings);
    };
    const int closedPort = CFluidServer::FreePort();
    SynthStatus status;
    std::memset(&status, 0xAB, sizeof status);
    EXPECT_EQ(card(closedPort).GetStatus(&status), SYNTHERR_NOTSUPPORTED);
    EXPECT_EQ(status.bankCount, 0u);
    EXPECT_EQ(status.totalMemory, 0u);
    EXPECT_EQ(card(closedPort).LoadBank("/x.sf2"), 16 + SYNTHERR_NOTSUPPORTED);
    EXPECT_EQ(card(closedPort).UnloadBank(0), SYNTHERR_NOTSUPPORTED);
    EXPECT_EQ(card(closedPort).SetPriority(0, 1), SYNTHERR_NOTSUPPORTED);

    for (const char* answer : {"", "HTTP/1.1 400 Bad Request\r\n\r\n", "ID  Name\nkorvane\n"}) {
        const FakeServer fake(answer);
        EXPECT_EQ(card(fake.Port()).GetStatus(&status), SYNTHERR_NOTSUPPORTED) << answer;
    }
}

} // namespace
