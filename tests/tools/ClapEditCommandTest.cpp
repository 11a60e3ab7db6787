// cyclochord-host edit with a CLAP file: the editor is embedded, and the tool's loop serves its timers and
// main-thread callback (the echo plug-in logs once its third timer tick has brought on_main_thread).
#include <gtest/gtest.h>

#include <cstdlib>

#include "ToolTestSupport.h"

using namespace cchost_test;

TEST(ClapEditCommand, ServesTheEditorsTimersAndMainThreadCallback) {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) GTEST_SKIP() << "no X server";
  ScratchFolder scratch;
  const ToolRun run =
      RunTool({"edit", ModulePath("ClapEcho.clap"), "--after", "500", "--screenshot", scratch.Path("echo.png")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("editor of Clap Echo open in window"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("(240 x 80)"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("log           main-thread callback after 3 timer ticks"), std::string::npos) << run.out;
  EXPECT_TRUE(FileExists(scratch.Path("echo.png")));
}

TEST(ClapEditCommand, AFileWithoutClapEntryIsRefused) {
  const ToolRun run = RunTool({"edit", ModulePath("NoEntry.clap")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("exports no clap_entry"), std::string::npos) << run.err;
}
