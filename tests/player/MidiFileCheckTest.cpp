// The check a MIDI file passes before the sequencer gets it: a file whose every track reads
// to its end passes, whatever standard events it holds; a damaged one and a file that is not
// MIDI at all are told apart.
#include "MidiFileCheck.h"
#include "MidiFileMaker.h"
#include "SequencerService.h"

#include <gtest/gtest.h>

namespace {

constexpr int kHeaderChunkSize = 14;

// A tune with an event of every kind a file may hold, the running status included.
CMidiFileMaker EveryKindOfEvent()
{
    CMidiFileMaker tune;
    tune.Tempo(0, 400000);
    tune.Program(0, 19);
    tune.SustainPedal(0, true);
    tune.Note(0, 480, 60);
    tune.Raw(5, QByteArray("\x3E\x64", 2));                      // note on 62, running status
    tune.Raw(10, QByteArray("\xF0\x05\x7E\x7F\x09\x01\xF7", 7)); // system exclusive
    tune.Raw(20, QByteArray("\xFF\x01\x04text", 7));             // text
    tune.Raw(30, QByteArray("\xE0\x00\x40", 3));                 // pitch bend
    return tune;
}

TEST(MidiFileCheck, AFileWhoseTracksReadToTheirEndPasses)
{
    const QByteArray tune = EveryKindOfEvent().Bytes();
    EXPECT_EQ(CMidiFileCheck::Check(tune), SequencerError::None);

    // A chunk of another kind among the tracks is skipped.
    QByteArray withOtherChunk = tune;
    withOtherChunk.insert(kHeaderChunkSize, QByteArray("XFIH\0\0\0\x02"
                                                       "ab",
                                                       10));
    EXPECT_EQ(CMidiFileCheck::Check(withOtherChunk), SequencerError::None);

    // A track may end with its chunk, without an end-of-track event.
    QByteArray withoutEnd = tune.chopped(4);
    withoutEnd[kHeaderChunkSize + 7] = static_cast<char>(withoutEnd[kHeaderChunkSize + 7] - 4);
    EXPECT_EQ(CMidiFileCheck::Check(withoutEnd), SequencerError::None);
}

TEST(MidiFileCheck, DamagedFilesAndOtherFilesAreToldApart)
{
    for (const auto& [name, bytes] : CMidiFileMaker::DamagedFiles())
        EXPECT_EQ(CMidiFileCheck::Check(bytes), SequencerError::DamagedFile) << name.toStdString();

    const QByteArray tune = EveryKindOfEvent().Bytes();
    QByteArray twoTracksSaid = tune;
    twoTracksSaid[11] = 2;
    CMidiFileMaker dataByteTooLarge;
    dataByteTooLarge.Raw(0, QByteArray("\x90\x3C\xC0", 3));
    CMidiFileMaker longTempo;
    longTempo.Raw(0, QByteArray("\xFF\x51\x04\x07\xA1\x20\x00", 7));
    CMidiFileMaker runningStatusFirst;
    runningStatusFirst.Raw(0, QByteArray("\x3C\x64", 2));
    CMidiFileMaker longDelta;
    longDelta.Raw(0, QByteArray("\x90\x3C\x64\x81\x81\x81\x81\x01\x80\x3C\x00", 11));
    const std::pair<const char*, QByteArray> damaged[] = {
        {"header cut short", tune.left(10)},
        {"fewer tracks than the header says", twoTracksSaid},
        {"a data byte with its top bit set", dataByteTooLarge.Bytes()},
        {"a tempo of four bytes", longTempo.Bytes()},
        {"a data byte before any status", runningStatusFirst.Bytes()},
        {"a delta time of five bytes", longDelta.Bytes()},
    };
    for (const auto& [what, bytes] : damaged)
        EXPECT_EQ(CMidiFileCheck::Check(bytes), SequencerError::DamagedFile) << what;

    EXPECT_EQ(CMidiFileCheck::Check("not a MIDI file"), SequencerError::InvalidFile);
    EXPECT_EQ(CMidiFileCheck::Check(""), SequencerError::InvalidFile);
}

} // namespace
