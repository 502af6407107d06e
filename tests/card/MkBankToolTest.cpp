// The korvane-mkbank program, run as a user would run it.
#include "BankFileCheck.h"
#include "TempDir.h"
#include "synth32.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

struct ToolRun
{
    int exitCode = -1;
    std::string output; // stdout and stderr together
};

ToolRun RunTool(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), KORVANE_MKBANK);
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    // The output goes to a file outside the directory the test watches.
    const CTempDir logDir;
    const std::string log = logDir.Path("output.log");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    ToolRun run;
    if (::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    const auto bytes = logDir.ReadBytes("output.log");
    run.output.assign(bytes.begin(), bytes.end());
    return run;
}

TEST(MkBankTool, WritesTheBankItIsAskedFor)
{
    CTempDir dir;
    const ToolRun run = RunTool({"--name", "PIANO", "--instrument", "0:0", "--instrument", "1:8",
                                 "--drumkit", "0:127", "--size", "262144", dir.Path("piano.94b")});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    CBankFileCheck check;
    ASSERT_EQ(check.Check(dir.Path("piano.94b").c_str()), SYNTH_OK);
    EXPECT_EQ(check.Name(), "PIANO");
    EXPECT_EQ(check.Size(), 262144u);
    const auto bytes = dir.ReadBytes("piano.94b");
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 32, bytes.begin() + 35),
              (std::vector<uint8_t>{1, 0, 8}));
}

TEST(MkBankTool, BadArgumentsGiveTheUsageAndNoFile)
{
    CTempDir dir;
    const std::string out = dir.Path("out.94b");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {out},
        {"--name", "A"},
        {"--name"},
        {"--name", "A", out, dir.Path("second.94b")},
        {"--name", "A", "--colour", "red", out},
        {"--name", "A", "--name", "B", out},
        {"--name", "TOOLONGNAME", out},
        {"--name", "A", "--size", "abc", out},
        {"--name", "A", "--size", "0", out},
        {"--name", "A", "--size", "-5", out},
        {"--name", "A", "--size", "29", out},
        {"--name", "A", "--instrument", "1", out},
        {"--name", "A", "--instrument", "1:256", out},
        {"--name", "A", "--drumkit", "65535:0", out},
        {"--name", "A", "--drumkit", ":1", out},
    };
    for (const auto& arguments : cases) {
        const ToolRun run = RunTool(arguments);
        const std::string what = ::testing::PrintToString(arguments);
        EXPECT_EQ(run.exitCode, 2) << what;
        EXPECT_NE(run.output.find("Usage: korvane-mkbank"), std::string::npos) << what;
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{}) << what;
    }
}

TEST(MkBankTool, HelpAndWriteFailures)
{
    CTempDir dir;
    const ToolRun help = RunTool({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.output.find("--instrument PROGRAM:VARIATION"), std::string::npos);

    const ToolRun failed = RunTool({"--name", "A", dir.Path("missing/a.94b")});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.output.find("missing/a.94b"), std::string::npos) << failed.output;
}

} // namespace
