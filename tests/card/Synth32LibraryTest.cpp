// The shared library as the program loads it: the exported entry points, wired to the
// environment's settings.
#include "TempDir.h"
#include "synth32.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <set>
#include <sstream>
#include <string>

namespace {

class Synth32LibraryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_handle = ::dlopen(KORVANE_CARD_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(m_handle, nullptr) << ::dlerror();
        ::setenv("KORVANE_CARD_STATE", m_dir.Path("state/card.state").c_str(), 1);
        ::setenv("KORVANE_CARD_MEMORY", "4096", 1);
    }

    void TearDown() override
    {
        ::unsetenv("KORVANE_CARD_STATE");
        ::unsetenv("KORVANE_CARD_MEMORY");
        if (m_handle != nullptr) {
            ::dlclose(m_handle);
        }
    }

    template <typename Function> Function* Entry(const char* name)
    {
        return reinterpret_cast<Function*>(::dlsym(m_handle, name));
    }

    CTempDir m_dir;
    void* m_handle = nullptr;
};

TEST_F(Synth32LibraryTest, EntryPointsWorkOnTheCardTheEnvironmentNames)
{
    const auto load = Entry<decltype(SynthLoadBank)>("SynthLoadBank");
    const auto unload = Entry<decltype(SynthUnloadBank)>("SynthUnloadBank");
    const auto priority = Entry<decltype(SynthSetPriority)>("SynthSetPriority");
    const auto getStatus = Entry<decltype(SynthGetStatus)>("SynthGetStatus");
    ASSERT_TRUE(load && unload && priority && getStatus);

    EXPECT_EQ(load(m_dir.WriteBank("a.94b", "PIANO", 1000).c_str()), 0);
    EXPECT_EQ(load(m_dir.WriteBank("b.94b", "ORGAN", 1000).c_str()), 1);
    EXPECT_EQ(priority(1, 5), SYNTH_OK);
    EXPECT_EQ(unload(0), SYNTH_OK);
    EXPECT_EQ(unload(0), SYNTHERR_UNREF);

    SynthStatus status;
    ASSERT_EQ(getStatus(&status), SYNTH_OK);
    EXPECT_EQ(status.totalMemory, 4096u);
    EXPECT_EQ(status.freeMemory, 3096u);
    ASSERT_EQ(status.bankCount, 1u);
    EXPECT_STREQ(status.banks[0].name, "ORGAN");
    EXPECT_EQ(status.banks[0].priority, 5);
}

class Synth32Exports : public ::testing::TestWithParam<const char*>
{
};

// Reads the library's dynamic symbol table with the toolchain's nm, which is present
// wherever the library was built.
TEST_P(Synth32Exports, OnlyTheEntryPointsOfTheHeaderAreExported)
{
    const std::string command = std::string("nm -D --defined-only ") + GetParam();
    std::FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> symbols;
    char line[1024];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        std::istringstream fields(line);
        std::string address, type, name;
        fields >> address >> type >> name;
        symbols.insert(name);
    }
    if (::pclose(pipe) != 0) {
        GTEST_SKIP() << "nm is not available";
    }
    const std::set<std::string> four = {"SynthGetStatus", "SynthLoadBank", "SynthSetPriority",
                                        "SynthUnloadBank"};
    const std::set<std::string> optional = {"SynthCheckBank", "SynthGetBankPath",
                                            "SynthGetErrorDetail", "SynthGetSearchOrder"};
    for (const std::string& name : four)
        EXPECT_TRUE(symbols.contains(name)) << name;
    for (const std::string& name : symbols)
        EXPECT_TRUE(four.contains(name) || optional.contains(name)) << name;
}

INSTANTIATE_TEST_SUITE_P(CardLibraries, Synth32Exports,
                         ::testing::Values(KORVANE_CARD_LIBRARY, KORVANE_FLUIDCARD_LIBRARY));

} // namespace
