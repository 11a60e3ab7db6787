// Renders through pass-through and probing plug-ins: exact ticks, transport, stop, presets.
#include <gtest/gtest.h>

#include <cstdio>

#include "MidiFileReader.h"
#include "MidiFileWriter.h"
#include "ToolTestSupport.h"

using namespace cchost;
using namespace cchost_test;

namespace {

std::vector<MidiEvent> ChannelEvents(const MidiTrack& track) {
  std::vector<MidiEvent> out;
  for (const MidiEvent& e : track.events)
    if (e.kind == MidiEventKind::kChannel) out.push_back(e);
  return out;
}

MidiFile ReadBack(const std::string& path) {
  MidiFile file;
  std::string error;
  EXPECT_TRUE(LoadMidiFile(path, &file, &error)) << error;
  return file;
}

// The probe's reports: "pos=... delta=... ppq=..." texts carried in F0 7D ... F7.
struct ProbeReport {
  uint32_t tick;
  std::string text;
  double Value(const std::string& key) const {
    const size_t at = text.find(key + "=");
    return at == std::string::npos ? -1e9 : std::atof(text.c_str() + at + key.size() + 1);
  }
};

std::vector<ProbeReport> ProbeReports(const MidiFile& file) {
  std::vector<ProbeReport> reports;
  for (const MidiEvent& e : file.tracks.at(1).events)
    if (e.kind == MidiEventKind::kSysEx && e.bytes.size() > 2 && e.bytes[0] == 0x7D)
      reports.push_back({e.tick, std::string(e.bytes.begin() + 1, e.bytes.end() - 1)});
  return reports;
}

class HostRender : public ::testing::Test {
 protected:
  std::string Input(const MidiFile& file) {
    const std::string path = mScratch.Path("in.mid");
    WriteBytes(path, WriteMidiFile(file));
    return path;
  }
  ToolRun Render(const std::string& plugin, const MidiFile& file, std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"render", ModulePath(plugin), Input(file), "-o", mScratch.Path("out.mid")};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunTool(args);
  }
  ScratchFolder mScratch;
};

MidiFile Sample() {
  // Odd ticks, a tempo change, equal ticks on two channels, and a controller.
  MidiFile file = OneTrackFile({On(0, 60), On(0, 67, 90, 3), Off(377, 60), MidiEvent::Channel(400, 0xB0, 1, 64),
                                On(1001, 62), Off(1919, 62), Off(2000, 67, 3), On(5000, 72), Off(5003, 72)});
  file.tracks[0].events.push_back(TempoEvent(1440, 77.5));
  return file;
}

}  // namespace

TEST_F(HostRender, APassThroughPlugInGivesBackEveryEventAtItsTick) {
  const MidiFile input = Sample();
  const ToolRun run = Render("TestPlugin.so", input);
  ASSERT_EQ(run.status, 0) << run.err << run.out;
  const MidiFile output = ReadBack(mScratch.Path("out.mid"));
  EXPECT_EQ(output.division, 480);
  ASSERT_EQ(output.tracks.size(), 2u);
  EXPECT_EQ(ChannelEvents(output.tracks[1]), ChannelEvents(input.tracks[1]));
  // The tempo map travels into the output, so that the output plays at the input's tempo.
  ASSERT_EQ(output.tracks[0].events.size(), 2u);
  EXPECT_EQ(output.tracks[0].events[1], TempoEvent(1440, 77.5));
  EXPECT_NE(run.out.find("every note-on that came out was followed by its note-off"), std::string::npos);
  EXPECT_NE(run.out.find("channel  4     2       2"), std::string::npos) << run.out;
}

TEST_F(HostRender, BlockSizesDoNotChangeTheOutputFile) {
  std::vector<uint8_t> first;
  for (const char* block : {"32", "512", "4096", "1"}) {
    ASSERT_EQ(Render("TestPlugin.so", Sample(), {"--block", block}).status, 0);
    const std::vector<uint8_t> bytes = ReadBytes(mScratch.Path("out.mid"));
    if (first.empty())
      first = bytes;
    else
      EXPECT_EQ(bytes, first) << "block " << block;
  }
}

TEST_F(HostRender, SampleRatesDoNotChangeTheTicks) {
  ASSERT_EQ(Render("TestPlugin.so", Sample(), {"--rate", "96000"}).status, 0);
  EXPECT_EQ(ChannelEvents(ReadBack(mScratch.Path("out.mid")).tracks[1]), ChannelEvents(Sample().tracks[1]));
}

TEST_F(HostRender, ThePlugInSeesTheTempoMapAndBarsAtEachEvent) {
  MidiFile input = OneTrackFile({On(0, 60), Off(100, 60), On(2400, 61), Off(2500, 61), On(4321, 62), Off(4400, 62)});
  input.tracks[0].events.push_back(TempoEvent(1920, 60));
  input.tracks[0].events.push_back(MidiEvent::Meta(1920, 0x58, {3, 2, 24, 8}));
  const ToolRun run = Render("TransportProbe.so", input, {"--block", "100"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<ProbeReport> reports = ProbeReports(ReadBack(mScratch.Path("out.mid")));
  ASSERT_EQ(reports.size(), 4u);
  const uint32_t ticks[] = {0, 2400, 4321};
  for (size_t i = 0; i < 3; ++i) {
    const ProbeReport& r = reports[i];
    EXPECT_EQ(r.tick, ticks[i]) << r.text;
    EXPECT_EQ(r.Value("playing"), 1) << r.text;
    // Block start plus the event's offset is the event's own position.
    const double beatsAtEvent = r.Value("ppq") + r.Value("delta") * r.Value("tempo") / 60.0 / 44100.0;
    EXPECT_NEAR(beatsAtEvent, ticks[i] / 480.0, 1e-4) << r.text;
  }
  EXPECT_EQ(reports[0].Value("tempo"), 120.0);
  EXPECT_NE(reports[0].text.find("sig=4/4"), std::string::npos);
  // The first event arrives after a one-beat pre-roll: the transport is already moving.
  EXPECT_EQ(reports[0].Value("pos"), 22050.0);
  EXPECT_EQ(reports[1].Value("tempo"), 60.0);
  EXPECT_NE(reports[1].text.find("sig=3/4"), std::string::npos);
  EXPECT_EQ(reports[1].Value("bar"), 4.0);
  EXPECT_NEAR(reports[2].Value("bar"), 4.0 + 3.0 * 1, 1e-9) << reports[2].text;
  // After the last event the transport runs the tail (8 beats) and then stops.
  EXPECT_NE(reports[3].text.find("stopped"), std::string::npos);
  EXPECT_EQ(reports[3].tick, 4400u + 8 * 480);
}

TEST_F(HostRender, SystemExclusiveReachesThePlugInAndComesBack) {
  const MidiFile input = OneTrackFile({MidiEvent::SysEx(240, 0xF0, {0x41, 0x10, 0x42, 0xF7}), On(480, 60), Off(960, 60)});
  ASSERT_EQ(Render("TransportProbe.so", input).status, 0);
  const MidiFile output = ReadBack(mScratch.Path("out.mid"));
  bool found = false;
  for (const MidiEvent& e : output.tracks[1].events)
    found = found || e == MidiEvent::SysEx(240, 0xF0, {0x41, 0x10, 0x42, 0xF7});
  EXPECT_TRUE(found);
}

TEST_F(HostRender, HangingNotesAreReportedAndFailTheRun) {
  const ToolRun run = Render("HangingNotes.so", OneTrackFile({On(0, 62), On(960, 60, 100, 4), Off(1000, 62),
                                                              Off(1440, 60, 4)}));
  EXPECT_EQ(run.status, 3);
  EXPECT_NE(run.out.find("HANGING NOTE  C4 (60) on channel 5, note-on at tick 960 (beat 2.000, 1.000 s)"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(run.out.find("D4"), std::string::npos) << "the released note is fine";
  EXPECT_TRUE(FileExists(mScratch.Path("out.mid"))) << "the output is complete and kept for inspection";
}

TEST_F(HostRender, PresetsSavedAfterSettingsLoadBackIntoTheSameState) {
  const MidiFile input = OneTrackFile({On(0, 60), Off(10, 60)});
  ASSERT_EQ(Render("TestPlugin.so", input, {"--set", "Colour=Blue", "--set", "Offset=-12 st", "--save-fxp",
                                            mScratch.Path("p.fxp")})
                .status,
            0);
  const ToolRun info = RunTool({"info", ModulePath("TestPlugin.so"), mScratch.Path("p.fxp")});
  ASSERT_EQ(info.status, 0) << info.err;
  EXPECT_NE(info.out.find("Colour                  Blue"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("Offset                  -12"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("plug-in chunk (FPCh)"), std::string::npos);

  const ToolRun render = Render("TestPlugin.so", input, {"--load-fxp", mScratch.Path("p.fxp"), "--set", "Switch=on"});
  EXPECT_EQ(render.status, 0) << render.err;
  EXPECT_NE(render.out.find("set           Switch = on"), std::string::npos) << render.out;
}

TEST_F(HostRender, ThePresetCommandWritesAProgramFile) {
  const ToolRun run = RunTool({"preset", ModulePath("TestPlugin.so"), "--set", "Colour=Green", "--name", "Greenish",
                               "-o", mScratch.Path("g.fxp")});
  ASSERT_EQ(run.status, 0) << run.err;
  const ToolRun info = RunTool({"info", mScratch.Path("g.fxp")});
  EXPECT_EQ(info.status, 0);
  EXPECT_NE(info.out.find("\"Greenish\""), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("'tstP'"), std::string::npos) << info.out;
}
