// Renders through the Cyclochord module: voices land at exactly the expected ticks.
#include <gtest/gtest.h>

#include "MidiFileReader.h"
#include "MidiFileWriter.h"
#include "ToolTestSupport.h"

using namespace cchost;
using namespace cchost_test;

#ifdef CYCLOCHORD_MODULE_BUILT

namespace {
class CyclochordRender : public ::testing::Test {
 protected:
  // Renders and returns the channel events of the output track.
  std::vector<MidiEvent> Render(const MidiFile& input, std::vector<std::string> settings, int* status = nullptr,
                                const std::string& outName = "out.mid") {
    WriteBytes(mScratch.Path("in.mid"), WriteMidiFile(input));
    std::vector<std::string> args = {"render", ModulePath("Cyclochord.so"), mScratch.Path("in.mid"), "-o",
                                     mScratch.Path(outName)};
    // "NAME=VALUE" is a parameter setting; "--option" takes the next item as its value.
    for (size_t i = 0; i < settings.size(); ++i) {
      if (settings[i].rfind("--", 0) == 0) {
        args.push_back(settings[i]);
        if (i + 1 < settings.size()) args.push_back(settings[++i]);
      } else {
        args.push_back("--set");
        args.push_back(settings[i]);
      }
    }
    const ToolRun run = RunTool(args);
    mLastOut = run.out;
    if (status) *status = run.status;
    EXPECT_TRUE(run.status == 0 || status) << run.err << run.out;
    MidiFile output;
    std::string error;
    EXPECT_TRUE(LoadMidiFile(mScratch.Path(outName), &output, &error)) << error;
    std::vector<MidiEvent> events;
    if (output.tracks.size() > 1)
      for (const MidiEvent& e : output.tracks[1].events)
        if (e.kind == MidiEventKind::kChannel) events.push_back(e);
    return events;
  }
  ScratchFolder mScratch;
  std::string mLastOut;
};

const std::vector<std::string> kOnlyMain = {"ParMute=on", "v1Mute=on", "v2Mute=on"};

std::vector<std::string> With(std::vector<std::string> base, const std::vector<std::string>& more) {
  base.insert(base.end(), more.begin(), more.end());
  return base;
}
}  // namespace

TEST_F(CyclochordRender, AQuarterDelayAt120BpmLandsOneBeatLater) {
  const std::vector<MidiEvent> out =
      Render(OneTrackFile({On(0, 60), Off(240, 60), On(1000, 64, 80), Off(1500, 64)}), With(kOnlyMain, {"MnDelay=1/4"}));
  const std::vector<MidiEvent> expected = {On(480, 60), Off(720, 60), On(1480, 64, 80), Off(1980, 64)};
  EXPECT_EQ(out, expected);
}

TEST_F(CyclochordRender, AQuarterDelayStaysOneBeatAtAnotherTempo) {
  MidiFile input = OneTrackFile({On(960, 60), Off(1200, 60), On(3000, 62), Off(3100, 62)});
  input.tracks[0].events.push_back(TempoEvent(1920, 60));
  const std::vector<MidiEvent> expected = {On(1440, 60), Off(1680, 60), On(3480, 62), Off(3580, 62)};
  EXPECT_EQ(Render(input, With(kOnlyMain, {"MnDelay=1/4"})), expected);
}

TEST_F(CyclochordRender, TheParallelVoicePlaysItsIntervalOnItsChannel) {
  const std::vector<MidiEvent> out = Render(OneTrackFile({On(0, 60), Off(480, 60)}),
                                            {"ParInt=7", "ParChan=2", "ParVel=-20", "v1Mute=on", "v2Mute=on"});
  const std::vector<MidiEvent> expected = {On(0, 60), On(0, 67, 80, 1), Off(480, 60), Off(480, 67, 1)};
  EXPECT_EQ(out, expected);
}

TEST_F(CyclochordRender, ARotatorStepsThroughItsIntervals) {
  std::vector<MidiEvent> in;
  for (uint32_t i = 0; i < 5; ++i) {
    in.push_back(On(i * 480, 60));
    in.push_back(Off(i * 480 + 240, 60));
  }
  const std::vector<MidiEvent> out =
      Render(OneTrackFile(in), {"MainMute=on", "ParMute=on", "v2Mute=on", "v1Int1=3", "v1Int2=4", "v1Int3=5",
                                "v1Int4=7", "v1algo=Up"});
  std::vector<int> notes;
  for (const MidiEvent& e : out)
    if (e.IsNoteOn()) notes.push_back(e.data1);
  // The rotator advances before it plays, so the first trigger plays the second interval.
  EXPECT_EQ(notes, (std::vector<int>{64, 65, 67, 63, 64}));
}

TEST_F(CyclochordRender, BlockSizesGiveTheSameFile) {
  MidiFile input = OneTrackFile({On(0, 60), Off(700, 60), On(900, 62), On(950, 65), Off(1999, 62), Off(2001, 65),
                                 On(3333, 67), Off(4444, 67)});
  input.tracks[0].events.push_back(TempoEvent(2400, 97));
  const std::vector<std::string> settings = {"MnDelay=1/8", "ParInt=-12", "pDelay=1/4t", "ParChan=2",
                                             "v1Int1=4",    "v1Int2=7",   "v1Delay=1/16d", "v1Chan=3",
                                             "v2Int1=12",   "v2Delay=1/2", "v2algo=ZigZag"};
  std::vector<uint8_t> first;
  for (const char* block : {"32", "512", "4096"}) {
    std::vector<std::string> s = settings;
    s.push_back("--block");
    s.push_back(block);
    Render(input, s);
    const std::vector<uint8_t> bytes = ReadBytes(mScratch.Path("out.mid"));
    if (first.empty())
      first = bytes;
    else
      EXPECT_EQ(bytes, first) << "block " << block;
  }
}

TEST_F(CyclochordRender, ANoteAtTheVeryStartIsNotLost) {
  const std::vector<MidiEvent> out = Render(OneTrackFile({On(0, 48), Off(10, 48)}), kOnlyMain);
  EXPECT_EQ(out, (std::vector<MidiEvent>{On(0, 48), Off(10, 48)}));
}

TEST_F(CyclochordRender, NotesStillHeldAtTheEndAreReleasedWhenTheTransportStops) {
  int status = -1;
  const std::vector<MidiEvent> out = Render(OneTrackFile({On(0, 60)}), kOnlyMain, &status);
  EXPECT_EQ(status, 0) << mLastOut;
  ASSERT_EQ(out.size(), 2u);
  EXPECT_TRUE(out[1].IsNoteOff());
  EXPECT_EQ(out[1].tick, 8u * 480) << "released when the tail ends";
}

#else

TEST(CyclochordRender, NeedsTheCyclochordModule) { GTEST_SKIP() << "the Cyclochord module is not part of this build"; }

#endif
