// A plug-in from elsewhere: Debian's Kars instrument (entry point "main" only), if installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "MidiFileWriter.h"
#include "ToolTestSupport.h"

using namespace cchost;
using namespace cchost_test;

namespace {
const char kKars[] = "/usr/lib/vst/Kars-vst.so";

int16_t Sample16(const std::vector<uint8_t>& wav, size_t index) {
  return int16_t(wav[44 + 2 * index] | (wav[45 + 2 * index] << 8));
}
}  // namespace

TEST(ThirdPartyPlugin, InfoListsKars) {
  if (!FileExists(kKars)) GTEST_SKIP() << kKars << " is not installed (Debian package dpf-plugins-vst)";
  const ToolRun run = RunTool({"info", kKars});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("(entry point main)"), std::string::npos);
  EXPECT_NE(run.out.find("name          Kars"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("category      synth"), std::string::npos);
  EXPECT_NE(run.out.find("receiveVstMidiEvent   yes"), std::string::npos);
  EXPECT_NE(run.out.find("Release"), std::string::npos);
}

TEST(ThirdPartyPlugin, KarsRendersAsTheMidiPlugInAndAsTheSynth) {
  if (!FileExists(kKars)) GTEST_SKIP() << kKars << " is not installed (Debian package dpf-plugins-vst)";
  ScratchFolder scratch;
  WriteBytes(scratch.Path("in.mid"), WriteMidiFile(OneTrackFile({On(0, 69), Off(480, 69)})));
  // As the MIDI plug-in: an instrument sends nothing back, and that is a clean render.
  ToolRun run = RunTool({"render", kKars, scratch.Path("in.mid"), "-o", scratch.Path("k.mid"), "--set",
                         "Release=0.5"});
  ASSERT_EQ(run.status, 0) << run.err << run.out;
  EXPECT_NE(run.out.find("set           Release = 0.5"), std::string::npos) << run.out;

  // As the synth behind a pass-through plug-in: half a second of A4, then the release.
  run = RunTool({"render", ModulePath("TestPlugin.so"), scratch.Path("in.mid"), "-o", scratch.Path("t.mid"),
                 "--synth", kKars, "--wav", scratch.Path("t.wav"), "--tail", "0"});
  ASSERT_EQ(run.status, 0) << run.err << run.out;
  const std::vector<uint8_t> wav = ReadBytes(scratch.Path("t.wav"));
  ASSERT_GT(wav.size(), 44u + 2u * 22050u);
  int peak = 0;
  for (size_t i = 0; i < 20000; ++i) peak = std::max(peak, std::abs(int(Sample16(wav, i))));
  EXPECT_GT(peak, 1000);
  // The strongest period is that of A4 (a plucked string lands within a few per cent of 440 Hz).
  double bestCorrelation = 0.0;
  int bestLag = 0;
  for (int lag = 40; lag < 400; ++lag) {
    double c = 0.0;
    for (size_t i = 1000; i < 9000; ++i) c += double(Sample16(wav, i)) * Sample16(wav, i + size_t(lag));
    if (c > bestCorrelation) {
      bestCorrelation = c;
      bestLag = lag;
    }
  }
  EXPECT_NEAR(44100.0 / bestLag, 440.0, 22.0);
  // The note-off at 0.5 s reached the instrument: silence follows its short release.
  int late = 0;
  for (size_t i = 30000; i < 44100 && 44 + 2 * i + 1 < wav.size(); ++i) late = std::max(late, std::abs(int(Sample16(wav, i))));
  EXPECT_LT(late, 50);
}
