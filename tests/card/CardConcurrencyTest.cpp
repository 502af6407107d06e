#include "SynthCard.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <span>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int ROUNDS = 12;

// The ID of the listed bank with that name and priority, or -1.
int64_t FindId(const SynthStatus& status, const std::string& name, int32_t priority)
{
    const std::span entries(status.banks, status.bankCount);
    const auto it = std::find_if(entries.begin(), entries.end(), [&](const SynthBankEntry& entry) {
        return entry.name == name && entry.priority == priority;
    });
    return it == entries.end() ? -1 : it->id;
}

// One process's share of the work: load its bank, set a priority, check the card lists
// the bank as its own, unload it; the last bank stays loaded. A lost update shows as a
// failed call or a missing entry. Returns the process's exit status.
int Work(const CSynthCard& card, const std::string& bank, const std::string& name, int32_t priority)
{
    for (int round = 0; round < ROUNDS; ++round) {
        const uint16_t id = card.LoadBank(bank.c_str());
        SynthStatus status;
        if (id >= SYNTH_MAX_BANKS || card.SetPriority(id, priority) != SYNTH_OK ||
            card.GetStatus(&status) != SYNTH_OK || FindId(status, name, priority) != id) {
            return 1;
        }
        if (round + 1 < ROUNDS && card.UnloadBank(id) != SYNTH_OK) {
            return 2;
        }
    }
    return 0;
}

TEST(CardConcurrency, TwoProcessesChangingTheCardLoseNothing)
{
    CTempDir dir;
    const CSynthCard card(CCardStore(dir.Path("card.state"), 100000));
    const std::string names[] = {"FIRST", "SECOND"};
    const std::string banks[] = {dir.WriteBank("a.94b", names[0], 1000),
                                 dir.WriteBank("b.94b", names[1], 3000)};

    pid_t children[2];
    for (int i = 0; i < 2; ++i) {
        children[i] = ::fork();
        ASSERT_GE(children[i], 0);
        if (children[i] == 0) {
            ::_exit(Work(card, banks[i], names[i], 10 + i));
        }
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    }

    SynthStatus status;
    ASSERT_EQ(card.GetStatus(&status), SYNTH_OK);
    ASSERT_EQ(status.bankCount, 2u);
    EXPECT_EQ(status.freeMemory, 100000u - 1000u - 3000u);
    EXPECT_LT(status.banks[0].id, status.banks[1].id);
    EXPECT_GE(FindId(status, names[0], 10), 0);
    EXPECT_GE(FindId(status, names[1], 11), 0);
}

// A process killed at any point of its writes leaves at most one temporary file, which
// the next write removes; names that only look alike stay.
TEST(CardConcurrency, WritesKilledAtRandomLeaveNoTemporaryFilesBehind)
{
    CTempDir dir;
    const CSynthCard card(CCardStore(dir.Path("card.state"), 100000));
    const std::string bank = dir.WriteBank("a.94b", "A", 1000);
    const std::vector<std::string> alike = {"card.state.bad", "card.state.bad.12",
                                            "card.state.ab-123", "other.state.a1B2c3"};
    for (const std::string& name : alike) {
        dir.WriteBytes(name, {1});
    }
    ASSERT_EQ(card.LoadBank(bank.c_str()), 0);
    for (int kill = 0; kill < 40; ++kill) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int32_t priority = 0;; priority = (priority + 1) % 128) {
                card.SetPriority(0, priority);
            }
        }
        ::usleep(static_cast<useconds_t>(500 + 250 * (kill % 8)));
        ::kill(child, SIGKILL);
        ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    }
    ASSERT_EQ(card.SetPriority(0, 5), SYNTH_OK);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.94b", "card.state", "card.state.ab-123",
                                                       "card.state.bad", "card.state.bad.12",
                                                       "card.state.lock", "other.state.a1B2c3"}));
}

} // namespace
