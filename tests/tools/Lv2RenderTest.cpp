// cyclochord-host rendering through Cyclochord's LV2 bundle: byte for byte the reviewed VST renders, by bundle
// folder and by URI, at block sizes the plug-in must not hear; and the LV2 setup's refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "PresetFile.h"
#include "ToolTestSupport.h"

using namespace cchost_test;

namespace {

const std::string kSource = CYCLOCHORD_SOURCE_DIR;
const std::string kBundle = CYCLOCHORD_LV2_BUNDLE_DIR;
const std::string kUri = "https://larkspire.example/plugins/cyclochord";

// Finding by URI searches LV2_PATH; the build tree's bundle folder is all it holds here.
class Lv2Render : public testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("LV2_PATH");
    mHadPath = old != nullptr;
    if (old) mOldPath = old;
    const std::string folder = kBundle.substr(0, kBundle.find_last_of('/', kBundle.size() - 2));
    setenv("LV2_PATH", folder.c_str(), 1);
  }
  void TearDown() override {
    if (mHadPath)
      setenv("LV2_PATH", mOldPath.c_str(), 1);
    else
      unsetenv("LV2_PATH");
  }

  ScratchFolder mScratch;

 private:
  bool mHadPath = false;
  std::string mOldPath;
};

void ExpectSameBytes(const std::string& golden, const std::string& actualPath) {
  const std::vector<uint8_t> expected = ReadBytes(golden);
  const std::vector<uint8_t> actual = ReadBytes(actualPath);
  ASSERT_FALSE(expected.empty()) << "no reviewed render " << golden;
  const auto differ = std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
  EXPECT_TRUE(differ.first == expected.end() && differ.second == actual.end())
      << "the LV2 render differs from " << golden << " from byte " << (differ.first - expected.begin()) << " ("
      << actual.size() << " bytes, reviewed " << expected.size() << ")";
}

TEST_F(Lv2Render, EveryExampleMatchesTheReviewedVstRender) {
  std::string error;
  const std::vector<Example> examples = ReadExamples(kSource + "/examples/renders.list", &error);
  ASSERT_TRUE(error.empty()) << error;
  ASSERT_FALSE(examples.empty());
  for (const Example& e : examples) {
    // The bundle folder for some, the URI for others: both find the same plug-in.
    for (const std::string& plugin : {kBundle, kUri}) {
      SCOPED_TRACE(e.name + " through " + plugin);
      const std::string out = mScratch.Path(e.name + ".mid");
      const ToolRun run = RunTool({"render", "--lv2", plugin, kSource + "/examples/" + e.midi, "-o", out,
                                   "--load-fxp", kSource + "/presets/" + e.preset});
      ASSERT_EQ(run.status, 0) << run.err << run.out;
      EXPECT_NE(run.out.find("plug-in       Cyclochord (" + kUri + ")"), std::string::npos) << run.out;
      ExpectSameBytes(kSource + "/tests/golden/" + e.name + ".mid", out);
    }
  }
}

TEST_F(Lv2Render, BlockSizesAndTempoChangesLeaveTheOutputAlone) {
  // The bass line speeds up at bar 3: position atoms must carry the new tempo where the VST host reports it.
  for (const char* block : {"1", "7", "4096"}) {
    SCOPED_TRACE(block);
    const std::string out = mScratch.Path("bass.mid");
    const ToolRun run = RunTool({"render", "--lv2", kBundle, kSource + "/examples/bass.mid", "-o", out,
                                 "--load-fxp", kSource + "/presets/two-channel-split.fxp", "--block", block});
    ASSERT_EQ(run.status, 0) << run.err;
    ExpectSameBytes(kSource + "/tests/golden/bass-split.mid", out);
  }
}

TEST_F(Lv2Render, ControlsSetByTextMatchTheVstParameters) {
  const std::vector<std::string> sets = {"--set", "v1algo=ZigZag", "--set", "ParVel=-12", "--set", "Snap=on",
                                         "--set", "MnDelay=1/4"};
  std::vector<std::string> lv2 = {"render", "--lv2", kBundle, kSource + "/examples/melody.mid", "-o",
                                  mScratch.Path("lv2.mid")};
  std::vector<std::string> vst = {"render", ModulePath("Cyclochord.so"), kSource + "/examples/melody.mid", "-o",
                                  mScratch.Path("vst.mid")};
  lv2.insert(lv2.end(), sets.begin(), sets.end());
  vst.insert(vst.end(), sets.begin(), sets.end());
  const ToolRun lv2Run = RunTool(lv2), vstRun = RunTool(vst);
  ASSERT_EQ(lv2Run.status, 0) << lv2Run.err;
  ASSERT_EQ(vstRun.status, 0) << vstRun.err;
  EXPECT_NE(lv2Run.out.find("set           v1algo = ZigZag"), std::string::npos) << lv2Run.out;
  ExpectSameBytes(mScratch.Path("vst.mid"), mScratch.Path("lv2.mid"));
}

struct Refusal {
  const char* name;
  std::vector<std::string> extra;  // after render --lv2 BUNDLE melody.mid -o OUT
  int status;
  const char* message;
};

TEST_F(Lv2Render, RefusesWhatLv2CannotDoAndWritesNothing) {
  const std::string params = mScratch.Path("params.fxp");
  cchost::FxProgram program;  // a program file of parameter values ('FxCk')
  program.pluginId = 0x6C734363;
  program.numParams = 3;
  program.params = {0.0f, 0.5f, 1.0f};
  program.name = "Values";
  WriteBytes(params, cchost::WriteProgramFile(program));
  const Refusal cases[] = {
      {"unknown URI", {"--lv2", "https://larkspire.example/plugins/none"}, 1, "no LV2 plug-in with the URI"},
      {"folder that is no bundle", {"--lv2", kSource + "/examples"}, 1, "no LV2 bundle"},
      {"missing folder", {"--lv2", mScratch.Path("Gone.lv2")}, 1, "no LV2 bundle"},
      {"program", {"--program", "1"}, 2, "--program works with VST plug-ins only"},
      {"save-fxp", {"--save-fxp", mScratch.Path("x.fxp")}, 2, "--save-fxp works with VST plug-ins only"},
      {"unknown control", {"--set", "Colour=Red"}, 1, "no control named Colour"},
      {"value out of range", {"--set", "ParVel=200"}, 1, "ParVel goes from"},
      {"no such label", {"--set", "v1algo=Sideways"}, 1, "'Sideways' is no value of v1algo"},
      {"preset of parameter values", {"--load-fxp", params}, 1, "no LV2 ports to go to"},
  };
  for (const Refusal& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string out = mScratch.Path("out.mid");
    std::vector<std::string> args = {"render", "--lv2", kBundle, kSource + "/examples/melody.mid", "-o", out};
    args.insert(args.end(), c.extra.begin(), c.extra.end());  // a second --lv2 replaces the first
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, c.status) << run.err << run.out;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_FALSE(FileExists(out));
  }
  const ToolRun noMidi = RunTool({"render", "--lv2", kBundle, "-o", mScratch.Path("out.mid")});
  EXPECT_EQ(noMidi.status, 2) << noMidi.err;
}

}  // namespace
