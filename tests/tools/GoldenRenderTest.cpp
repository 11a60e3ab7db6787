// Every example of examples/renders.list rendered through Cyclochord's VST and CLAP modules with its preset, byte
// for byte against the reviewed render in tests/golden/. A difference is a change of behaviour: read the diff, and when the change is
// intended run scripts/update-golden.sh and commit the new renders with it.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ToolTestSupport.h"

using namespace cchost_test;

#ifdef CYCLOCHORD_MODULE_BUILT

namespace {

const std::string kSource = CYCLOCHORD_SOURCE_DIR;

std::vector<Example> Examples() {
  std::string error;
  std::vector<Example> examples = ReadExamples(kSource + "/examples/renders.list", &error);
  if (!error.empty()) ADD_FAILURE() << error;
  return examples;
}

}  // namespace

TEST(GoldenRender, EveryExampleRendersExactlyAsReviewed) {
  const std::vector<Example> examples = Examples();
  ASSERT_FALSE(examples.empty()) << "no examples in " << kSource << "/examples/renders.list";
  ScratchFolder scratch;
  for (const Example& e : examples) {
    for (const std::string& module : {ModulePath("Cyclochord.so"), std::string("./Cyclochord.clap")}) {
      SCOPED_TRACE(e.name + " through " + module);
      const std::string out = scratch.Path(e.name + ".mid");
      const ToolRun run = RunTool({"render", module, kSource + "/examples/" + e.midi, "-o", out,
                                   "--load-fxp", kSource + "/presets/" + e.preset});
      ASSERT_EQ(run.status, 0) << run.err << run.out;
      const std::string golden = kSource + "/tests/golden/" + e.name + ".mid";
      ASSERT_TRUE(FileExists(golden)) << "no reviewed render " << golden << ": run scripts/update-golden.sh";
      const std::vector<uint8_t> expected = ReadBytes(golden);
      const std::vector<uint8_t> actual = ReadBytes(out);
      const auto differ = std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
      EXPECT_TRUE(differ.first == expected.end() && differ.second == actual.end())
          << "the render differs from " << golden << " from byte " << (differ.first - expected.begin()) << " ("
          << actual.size() << " bytes, reviewed " << expected.size()
          << "); if the change is intended, run scripts/update-golden.sh and commit the result";
    }
  }
}

#else

TEST(GoldenRender, NeedsTheCyclochordModule) { GTEST_SKIP() << "the Cyclochord module is not part of this build"; }

#endif
