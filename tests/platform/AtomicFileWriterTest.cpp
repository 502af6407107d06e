// The one writer of whole files: a write that is not committed leaves the target as it was
// and nothing beside it, and the temporaries of killed writers go at the next write of the
// same file, while a living writer's temporary and the user's look-alike files stay.
#include "AtomicFileWriter.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Bytes = std::vector<uint8_t>;

// A temporary left by a writer killed after Open(), its lock gone with it.
void WriterKilledBeforeRename(const std::string& path)
{
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CAtomicFileWriter writer(path);
        const int fd = writer.Open();
        if (fd >= 0 && ::write(fd, "half", 4) == 4)
            ::raise(SIGKILL);
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
}

TEST(AtomicFileWriter, TemporariesOfKilledWritersGoAtTheNextWriteAndNothingElseDoes)
{
    CTempDir dir;
    const std::string target = dir.WriteBytes("t.conf", {1});
    WriterKilledBeforeRename(target);
    ASSERT_EQ(dir.Entries().size(), 2u) << "the killed writer's temporary";
    const std::vector<std::string> kept = {"t.conf.backup", "t.conf.krv-ab12", "t.conf.krv-ab_123",
                                           "u.conf.krv-abc123"};
    for (const std::string& name : kept)
        dir.WriteBytes(name, {2});
    // A writer that is still at work holds the lock on its temporary.
    const std::string living = dir.WriteBytes("t.conf.krv-Busy01", {3});
    const int held = ::open(living.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    ASSERT_TRUE(CAtomicFileWriter::Write(target, Bytes{4, 5}));
    ::close(held);
    EXPECT_EQ(dir.ReadBytes("t.conf"), (Bytes{4, 5}));
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"t.conf", "t.conf.backup",
                                                       "t.conf.krv-Busy01", "t.conf.krv-ab12",
                                                       "t.conf.krv-ab_123", "u.conf.krv-abc123"}));
}

TEST(AtomicFileWriter, AFailedOrAbandonedWriteKeepsTheTargetAndLeavesNothing)
{
    CTempDir dir;
    int error = 0;
    EXPECT_FALSE(CAtomicFileWriter::Write(dir.Path("none/t.conf"), Bytes{1}, 0666, &error));
    EXPECT_EQ(error, ENOENT);

    // rename() cannot put a file over a directory that holds something.
    ASSERT_EQ(::mkdir(dir.Path("t.conf").c_str(), 0700), 0);
    dir.WriteBytes("t.conf/inside", {7});
    EXPECT_FALSE(CAtomicFileWriter::Write(dir.Path("t.conf"), Bytes{1}, 0666, &error));
    EXPECT_NE(error, 0);
    EXPECT_EQ(dir.ReadBytes("t.conf/inside"), Bytes{7});

    {
        CAtomicFileWriter abandoned(dir.Path("a.conf"));
        ASSERT_GE(abandoned.Open(), 0);
    }
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"t.conf"});
}

} // namespace
