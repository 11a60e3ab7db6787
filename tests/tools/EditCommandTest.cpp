// cyclochord-host edit, run as its own process under a virtual X server: the screenshot shows the editor as it is
// drawn off screen, and what a user does in the editor reaches the host's automation log.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>

#include "Commands.h"
#include "Cyclochord.h"
#include "CyclochordParams.h"
#include "IGraphicsLinux.h"
#include "PngDecoder.h"
#include "TestHost.h"
#include "ToolTestSupport.h"
#include "X11TestDisplay.h"

extern char** environ;

namespace {

using cchost_test::ScratchFolder;
using std::chrono::milliseconds;

// cyclochord-host in a process of its own, its standard output read line by line.
class HostProcess {
 public:
  explicit HostProcess(const std::vector<std::string>& args, bool withDisplay = true) {
    int out[2];
    if (pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<std::string> all = {"./cyclochord-host"};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<char*> env;
    for (char** e = environ; *e; ++e)
      if (withDisplay || std::strncmp(*e, "DISPLAY=", 8) != 0) env.push_back(*e);
    env.push_back(nullptr);
    if (posix_spawn(&mPid, argv[0], &actions, nullptr, argv.data(), env.data()) != 0) mPid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    mOut = out[0];
    fcntl(mOut, F_SETFL, O_NONBLOCK);
  }
  ~HostProcess() {
    if (mPid > 0 && mStatus < 0) {
      kill(mPid, SIGKILL);
      waitpid(mPid, nullptr, 0);
    }
    if (mOut >= 0) close(mOut);
  }

  // Waits for an output line that starts with start; the whole line, or "" when none came in time.
  std::string WaitForLine(const std::string& start, milliseconds timeout = milliseconds(5000)) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      for (; mNext < mLines.size(); ++mNext)
        if (mLines[mNext].rfind(start, 0) == 0) return mLines[mNext++];
      const auto left = std::chrono::duration_cast<milliseconds>(end - std::chrono::steady_clock::now()).count();
      if (left <= 0 || !Read(int(left))) return "";
    }
  }
  // The exit status, or -1 when the process has not ended in time.
  int Wait(milliseconds timeout = milliseconds(5000)) {
    WaitFor([&] { return waitpid(mPid, &mStatus, WNOHANG) == mPid; }, timeout);
    while (Read(0)) {
    }
    return mStatus >= 0 && WIFEXITED(mStatus) ? WEXITSTATUS(mStatus) : -1;
  }
  const std::vector<std::string>& Lines() const { return mLines; }

 private:
  bool Read(int timeoutMs) {
    pollfd fd = {mOut, POLLIN, 0};
    if (poll(&fd, 1, timeoutMs) <= 0) return false;
    char buffer[4096];
    const ssize_t n = read(mOut, buffer, sizeof(buffer));
    if (n <= 0) return false;
    mPartial.append(buffer, size_t(n));
    for (size_t nl; (nl = mPartial.find('\n')) != std::string::npos; mPartial.erase(0, nl + 1))
      mLines.push_back(mPartial.substr(0, nl));
    return true;
  }

  pid_t mPid = -1;
  int mOut = -1;
  int mStatus = -1;
  std::string mPartial;
  std::vector<std::string> mLines;
  size_t mNext = 0;
};

xcb_window_t WindowFrom(const std::string& openLine) {
  const size_t at = openLine.find("window 0x");
  return at == std::string::npos ? 0 : xcb_window_t(std::strtoul(openLine.c_str() + at + 7, nullptr, 16));
}

// Cyclochord's editor as its first ticks draw it, off screen: pixels 0xRRGGBB.
std::vector<std::uint32_t> OffScreenRender() {
  TestHost host;
  AEffect* effect = host.Load(CreatePluginInstance);
  auto* g = dynamic_cast<IGraphicsLinux*>(VstPluginOf(effect)->GetGraphics());
  g->SetAllControlsDirty();
  for (int pass = 0; pass < 2; ++pass) {
    IRect r;
    if (g->IsDirty(&r)) g->Draw(&r);
  }
  RasterBitmap* b = g->GetDrawBitmap();
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < b->Height(); ++y)
    for (int x = 0; x < b->Width(); ++x) pixels.push_back(RowAddress(*b, y)[x] & 0xFFFFFFu);
  return pixels;
}

}  // namespace

TEST(EditCommand, ScreenshotShowsTheEditorExactlyAsDrawnOffScreen) {
  X11TestDisplay x;
  REQUIRE_X_DISPLAY(x);
  ScratchFolder scratch;
  const std::string shot = scratch.Path("editor.png");
  HostProcess host({"edit", "./Cyclochord.so", "--screenshot", shot, "--after", "600"});
  EXPECT_NE(host.WaitForLine("editor of Cyclochord open in window 0x"), "");
  EXPECT_NE(host.WaitForLine("wrote"), "");
  ASSERT_EQ(host.Wait(), cchost::kExitOk);

  const std::vector<uint8_t> png = cchost_test::ReadBytes(shot);
  std::unique_ptr<RasterBitmap> picture(PngFromMemory(png.data(), png.size(), nullptr));
  ASSERT_NE(picture, nullptr);
  ASSERT_EQ(picture->Width(), 410);
  ASSERT_EQ(picture->Height(), 680);
  const std::vector<std::uint32_t> expected = OffScreenRender();
  int differences = 0;
  for (int y = 0; y < 680; ++y)
    for (int px = 0; px < 410; ++px)
      differences += (RowAddress(*picture, y)[px] & 0xFFFFFFu) != expected[size_t(y) * 410 + size_t(px)];
  EXPECT_EQ(differences, 0);
}

TEST(EditCommand, AtTheDesktopsScaleTheHostWindowTakesTheEditorsSize) {
  X11TestDisplay x;
  REQUIRE_X_DISPLAY(x);
  // The editor opens at GDK_SCALE and asks the host for its size with audioMasterSizeWindow.
  setenv("GDK_SCALE", "2", 1);
  HostProcess host({"edit", "./Cyclochord.so", "--after", "800"});
  unsetenv("GDK_SCALE");
  const std::string open = host.WaitForLine("editor of Cyclochord open in window 0x");
  EXPECT_NE(open.find("(820 x 1360)"), std::string::npos) << open;
  const xcb_window_t window = WindowFrom(open);
  ASSERT_NE(window, 0u);
  EXPECT_TRUE(WaitFor([&] {
    int w = 0, h = 0;
    x.Size(window, &w, &h);
    return w == 820 && h == 1360;
  }));
  EXPECT_EQ(host.Wait(), cchost::kExitOk);
}

TEST(EditCommand, WhatTheUserDoesInTheEditorReachesTheHostLog) {
  X11TestDisplay x;
  REQUIRE_X_DISPLAY(x);
  HostProcess host({"edit", "./Cyclochord.so", "--log-automation"});
  const xcb_window_t frame = WindowFrom(host.WaitForLine("editor of Cyclochord open in window 0x"));
  ASSERT_NE(frame, 0u);
  std::vector<xcb_window_t> children;
  ASSERT_TRUE(WaitFor([&] { return (children = x.Children(frame)).size() == 1; }));
  const xcb_window_t editor = children[0];
  auto boxOpen = [&] { return WaitFor([&] { return x.Children(editor).size() == 1; }); };
  auto boxClosed = [&] { return WaitFor([&] { return x.Children(editor).empty(); }); };
  std::this_thread::sleep_for(milliseconds(200));

  // A click at x 126 on the parallel voice's interval track: its lowest value.
  x.Click(frame, 126, 195, 1);
  EXPECT_EQ(host.WaitForLine("begin-edit"), "begin-edit 8");
  EXPECT_EQ(host.WaitForLine("automate"), "automate 8 0.000000");
  EXPECT_EQ(host.WaitForLine("end-edit"), "end-edit 8");

  // Dragging the first rotator's algorithm text up by 16 pixels: two sixteenths of its range.
  x.MoveTo(frame, 140, 400);
  x.Press(1);
  x.MoveTo(frame, 140, 392);
  x.MoveTo(frame, 140, 384);
  x.Release(1);
  EXPECT_EQ(host.WaitForLine("begin-edit"), "begin-edit 22");
  EXPECT_EQ(host.WaitForLine("automate"), "automate 22 0.062500");
  EXPECT_EQ(host.WaitForLine("automate"), "automate 22 0.125000");
  EXPECT_EQ(host.WaitForLine("end-edit"), "end-edit 22");

  // The wheel on the second rotator's velocity fader, one step up.
  x.Click(frame, 200, 631, 4);
  EXPECT_EQ(host.WaitForLine("begin-edit"), "begin-edit 27");
  EXPECT_EQ(host.WaitForLine("automate"), "automate 27 0.510000");
  EXPECT_EQ(host.WaitForLine("end-edit"), "end-edit 27");

  // A right click on the main voice's delay opens its list; "1/4" is the sixth item, 5/16 of the range.
  x.Click(frame, 280, 133, 3);
  ASSERT_TRUE(boxOpen());
  x.Click(frame, 270, 133 + 1 + 5 * 18 + 9, 1);
  ASSERT_TRUE(boxClosed());
  EXPECT_EQ(host.WaitForLine("automate"), "automate 3 0.312500");
  EXPECT_EQ(host.WaitForLine("end-edit"), "end-edit 3");

  // A right click on the main voice's channel opens a box for a number: channel 7 of 1..16.
  x.Click(frame, 144, 133, 3);
  ASSERT_TRUE(boxOpen());
  std::this_thread::sleep_for(milliseconds(100));
  x.Type("7");
  x.Key(0xFF0D);  // Return
  ASSERT_TRUE(boxClosed());
  EXPECT_EQ(host.WaitForLine("automate"), "automate 2 0.400000");
  EXPECT_EQ(host.WaitForLine("end-edit"), "end-edit 2");

  // Closing the window ends the command.
  x.AskToClose(frame);
  EXPECT_EQ(host.Wait(), cchost::kExitOk);
}

TEST(EditCommand, RefusesWhatItCannotShow) {
  std::ostringstream out, err;
  EXPECT_EQ(cchost::RunCommandLine({"edit"}, out, err), cchost::kExitUsage);
  EXPECT_EQ(cchost::RunCommandLine({"edit", "./Cyclochord.so", "--after", "soon"}, out, err), cchost::kExitUsage);
  EXPECT_EQ(cchost::RunCommandLine({"edit", "./Cyclochord.so", "--zoom"}, out, err), cchost::kExitUsage);
  EXPECT_EQ(cchost::RunCommandLine({"edit", "./TestPlugin.so", "--after", "0"}, out, err), cchost::kExitError);
  EXPECT_NE(err.str().find("has no editor"), std::string::npos) << err.str();

  HostProcess noDisplay({"edit", "./Cyclochord.so", "--after", "0"}, false);
  EXPECT_EQ(noDisplay.Wait(), cchost::kExitError);
}
