// Errors: clear messages, a non-zero status, and nothing written when the input or plug-in is bad.
#include <gtest/gtest.h>

#include <filesystem>

#include "MidiFileWriter.h"
#include "PluginLoader.h"
#include "PresetFile.h"
#include "ToolTestSupport.h"

using namespace cchost;
using namespace cchost_test;

namespace {
class HostErrors : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(mScratch.Path("in.mid"), WriteMidiFile(OneTrackFile({On(0, 60), Off(480, 60)})));
  }
  // A full render command with every output, so that we can see none of them appear.
  ToolRun Render(const std::string& plugin, const std::string& midi, std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"render", plugin, midi, "-o", Out("out.mid"), "--plot", Out("out.png"),
                                     "--save-fxp", Out("out.fxp")};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunTool(args);
  }
  std::string Out(const std::string& name) { return mScratch.Path(name); }
  void ExpectNothingWritten() {
    for (const char* name : {"out.mid", "out.png", "out.fxp"}) EXPECT_FALSE(FileExists(Out(name))) << name;
    std::error_code ignored;
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(mScratch.Path(""), ignored)) {
      (void)entry;
      ++entries;
    }
    EXPECT_LE(entries, 3) << "no temporary files are left behind";
  }
  ScratchFolder mScratch;
};
}  // namespace

TEST_F(HostErrors, MissingAndNonVstFilesAreRefused) {
  ToolRun run = Render(Out("missing.so"), Out("in.mid"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("No such file"), std::string::npos) << run.err;

  WriteBytes(Out("text.so"), {'h', 'e', 'l', 'l', 'o'});
  run = Render(Out("text.so"), Out("in.mid"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("not a loadable plug-in module"), std::string::npos) << run.err;

  run = Render(ModulePath("NotA.so"), Out("in.mid"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("exports neither VSTPluginMain nor main"), std::string::npos) << run.err;

  run = Render(mScratch.Path(""), Out("in.mid"));
  EXPECT_EQ(run.status, 1);
  ExpectNothingWritten();
}

TEST_F(HostErrors, AnEntryPointThatReturnsNullIsReported) {
  const ToolRun run = Render(ModulePath("NullEntry.so"), Out("in.mid"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("returned no plug-in (null)"), std::string::npos) << run.err;
  ExpectNothingWritten();
  EXPECT_EQ(RunTool({"info", ModulePath("NullEntry.so")}).status, 1);
}

TEST_F(HostErrors, UnreadableOrMalformedMidiWritesNothing) {
  ToolRun run = Render(ModulePath("TestPlugin.so"), Out("absent.mid"));
  EXPECT_EQ(run.status, 1);
  std::vector<uint8_t> bytes = ReadBytes(Out("in.mid"));
  bytes.resize(bytes.size() - 3);
  WriteBytes(Out("cut.mid"), bytes);
  run = Render(ModulePath("TestPlugin.so"), Out("cut.mid"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cut.mid: truncated chunk"), std::string::npos) << run.err;
  ExpectNothingWritten();
}

TEST_F(HostErrors, UnknownParameterNamesAndValuesWriteNothing) {
  ToolRun run = Render(ModulePath("TestPlugin.so"), Out("in.mid"), {"--set", "Colr=Red"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("unknown parameter 'Colr'"), std::string::npos) << run.err;
  run = Render(ModulePath("TestPlugin.so"), Out("in.mid"), {"--set", "Colour=Mauve"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("has no value 'Mauve'"), std::string::npos) << run.err;
  run = Render(ModulePath("TestPlugin.so"), Out("in.mid"), {"--program", "99"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("program 99 does not exist"), std::string::npos) << run.err;
  ExpectNothingWritten();
}

TEST_F(HostErrors, APresetForAnotherPlugInIsRefused) {
  FxProgram other;
  other.pluginId = VstFourCC('p', 'r', 'b', 'T');
  other.opaqueChunk = true;
  other.chunk = {1, 2, 3};
  WriteBytes(Out("other.fxp"), WriteProgramFile(other));
  ToolRun run = Render(ModulePath("TestPlugin.so"), Out("in.mid"), {"--load-fxp", Out("other.fxp")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("unique ID 'prbT', not 'tstP'"), std::string::npos) << run.err;
  EXPECT_EQ(RunTool({"info", ModulePath("TestPlugin.so"), Out("other.fxp")}).status, 1);

  WriteBytes(Out("junk.fxp"), {'C', 'c', 'n', 'K', 0, 0});
  run = Render(ModulePath("TestPlugin.so"), Out("in.mid"), {"--load-fxp", Out("junk.fxp")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("truncated"), std::string::npos) << run.err;
  ExpectNothingWritten();
}

TEST_F(HostErrors, BadCommandLinesAreUsageErrors) {
  EXPECT_EQ(RunTool({}).status, 2);
  EXPECT_EQ(RunTool({"play"}).status, 2);
  EXPECT_EQ(RunTool({"render", ModulePath("TestPlugin.so"), Out("in.mid")}).status, 2);
  for (const std::vector<std::string>& extra :
       {std::vector<std::string>{"--block", "0"}, {"--block", "12x"}, {"--rate", "-44100"}, {"--tempo", "nan"},
        {"--set", "novalue"}, {"--synth", "x.so"}, {"--wav-format", "24"}, {"--frobnicate", "1"}, {"--tail"}}) {
    const ToolRun run = Render(ModulePath("TestPlugin.so"), Out("in.mid"), extra);
    EXPECT_EQ(run.status, 2) << extra[0];
    EXPECT_FALSE(run.err.empty());
  }
  ExpectNothingWritten();
}

TEST_F(HostErrors, AnOutputFolderThatDoesNotExistFailsBeforeRendering) {
  const ToolRun run = RunTool({"render", ModulePath("TestPlugin.so"), Out("in.mid"), "-o", Out("no/such/out.mid")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("does not exist"), std::string::npos) << run.err;
}

TEST_F(HostErrors, AFileWhoseEventsLieDaysAwayIsRefused) {
  MidiFile far = OneTrackFile({On(0, 60), Off(0x0FFFFFFF, 60)}, 120.0, 96);
  WriteBytes(Out("far.mid"), WriteMidiFile(far));
  const ToolRun run = Render(ModulePath("TestPlugin.so"), Out("far.mid"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("hours are refused"), std::string::npos) << run.err;
  ExpectNothingWritten();
}
