// The server card's logic that needs no server: what it reads of a SoundFont file, its
// state file's bytes, and how it reconciles its banks with the server's stack.
#include "FluidCard.h"
#include "SoundFontCheck.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Chunk(const std::string& id, const Bytes& data)
{
    Bytes bytes(id.begin(), id.end());
    const auto size = static_cast<uint32_t>(data.size());
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<uint8_t>(size >> shift));
    bytes.insert(bytes.end(), data.begin(), data.end());
    if (data.size() % 2 != 0)
        bytes.push_back(0);
    return bytes;
}

Bytes List(const std::string& type, const std::vector<Bytes>& chunks)
{
    Bytes data(type.begin(), type.end());
    for (const Bytes& chunk : chunks)
        data.insert(data.end(), chunk.begin(), chunk.end());
    return Chunk("LIST", data);
}

Bytes SoundFont(const std::vector<Bytes>& chunks)
{
    Bytes data = {'s', 'f', 'b', 'k'};
    for (const Bytes& chunk : chunks)
        data.insert(data.end(), chunk.begin(), chunk.end());
    return Chunk("RIFF", data);
}

const Bytes kInfo =
    List("INFO", {Chunk("ifil", {2, 0, 1, 0}), Chunk("INAM", {'P', 'i', 'a', 'n', 'o', 0, 'x'})});
const Bytes kSamples = List("sdta", {Chunk("smpl", Bytes(6, 0x11))});

TEST(SoundFontCheckTest, TakesTheNameAndSampleSizeFromTheChunksAndRefusesWhatIsNotASoundFont)
{
    CTempDir dir;
    CSoundFontCheck check;
    ASSERT_EQ(check.Check(dir.WriteBytes("a.sf2", SoundFont({kInfo, kSamples})).c_str()), SYNTH_OK);
    EXPECT_EQ(check.Name(), "Piano") << "up to its NUL";
    EXPECT_EQ(check.SampleSize(), 6u);

    ASSERT_EQ(check.Check(dir.WriteBytes("Bare Font.sf2", SoundFont({kSamples})).c_str()),
              SYNTH_OK);
    EXPECT_EQ(check.Name(), "Bare Font") << "without INAM: the file's name";

    Bytes cut = SoundFont({kInfo, kSamples});
    cut.resize(cut.size() - 2);
    EXPECT_EQ(check.Check(dir.WriteBytes("cut.sf2", cut).c_str()), SYNTHERR_INVCOM)
        << "a smpl chunk that runs past the end of the file";
    EXPECT_EQ(check.Check(dir.WriteBytes("nosamples.sf2", SoundFont({kInfo})).c_str()),
              SYNTHERR_INVCOM);
    Bytes wave = SoundFont({kSamples});
    wave[8] = 'W';
    EXPECT_EQ(check.Check(dir.WriteBytes("wave.sf2", wave).c_str()), SYNTHERR_INVCOM);
    EXPECT_EQ(check.Check(dir.WriteBytes("tiny.sf2", {'R', 'I'}).c_str()), SYNTHERR_INVCOM);
    EXPECT_EQ(check.Check(dir.Path("missing.sf2").c_str()), SYNTHERR_FILENOTFOUND);

    const Bytes compressed = SoundFont({List("INFO", {Chunk("ifil", {3, 0, 1, 0})}), kSamples});
    ASSERT_EQ(check.Check(dir.WriteBytes("c.sf3", compressed).c_str()), SYNTH_OK);
    EXPECT_EQ(check.SampleSize(), compressed.size()) << "compressed samples count the whole file";
}

CFluidState StateWith(const std::vector<ServerFont>& fonts)
{
    CFluidState state;
    for (const ServerFont& font : fonts) {
        uint16_t id = 0;
        state.AddBank("BANK", 100, font, &id);
    }
    return state;
}

TEST(FluidStateTest, KeepsItsBanksAcrossTheStateFileAndRefusesDamagedBytes)
{
    CFluidState state = StateWith({{4, "/fonts/a.sf2"}, {7, "/fonts/it's b.sf2"}});
    state.SetPriority(1, 9);
    const Bytes bytes = state.Serialize();
    const auto parsed = CFluidState::Parse(bytes);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->Serialize(), bytes);
    EXPECT_EQ(parsed->Font(1)->path, "/fonts/it's b.sf2");
    EXPECT_EQ(parsed->Font(1)->serverId, 7);
    EXPECT_EQ(parsed->Banks().FindBank(1)->priority, 9);

    for (std::size_t size = 0; size < bytes.size(); ++size)
        EXPECT_FALSE(CFluidState::Parse(std::span(bytes).first(size))) << "cut at " << size;
    Bytes longer = bytes;
    longer.push_back(0);
    EXPECT_FALSE(CFluidState::Parse(longer));
    Bytes newline = bytes;
    newline[newline.size() - 3] = '\n';
    EXPECT_FALSE(CFluidState::Parse(newline)) << "a path the shell cannot be given";
}

TEST(FluidReconcileTest, DropsBanksTheServerLostKeepsFontsLoadedAgainAndTakesInOthers)
{
    CFluidState state = StateWith({{1, "/fonts/a.sf2"}, {2, "/fonts/b.sf2"}, {3, "/fonts/c.sf2"}});
    ASSERT_EQ(state.SetPriority(2, 40), SYNTH_OK);
    // Font 2 is gone; font 3 was loaded again (a new ID), as after a reply that was lost.
    const std::vector<ServerFont> stack = {
        {9, "/fonts/c.sf2"}, {5, "/gone/New Font.sf2"}, {1, "/fonts/a.sf2"}};
    EXPECT_EQ(CFluidCard::Reconcile(stack, state), SYNTH_OK);
    ASSERT_EQ(state.Banks().Banks().size(), 3u);
    EXPECT_EQ(state.Font(0)->serverId, 1);
    EXPECT_EQ(state.Font(2)->serverId, 9) << "the same file: the same bank, under its new ID";
    EXPECT_EQ(state.Banks().FindBank(2)->priority, 40);
    EXPECT_EQ(state.Font(1)->serverId, 5) << "a font others loaded takes the lowest free ID";
    EXPECT_EQ(state.Banks().FindBank(1)->name, "New Font") << "an unreadable file: its name";
    EXPECT_EQ(state.Banks().FindBank(1)->size, 0u);

    std::vector<ServerFont> crowded;
    for (int32_t id = 20; id > 10; --id)
        crowded.push_back({id, "/x/" + std::to_string(id) + ".sf2"});
    EXPECT_EQ(CFluidCard::Reconcile(crowded, state), SYNTHERR_INVCOUNT);
    ASSERT_EQ(state.Banks().Banks().size(), 8u);
    EXPECT_EQ(state.Font(7)->serverId, 13) << "the 8 fonts on top";
}

} // namespace
