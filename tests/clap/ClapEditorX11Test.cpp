// Cyclochord's CLAP editor in a real X11 window: on the host's own loop when the host offers timers and
// descriptors, so that every editor call runs on the host's main thread; on a thread of its own otherwise.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "ClapEntry.h"
#include "ClapTestHost.h"
#include "ClapTestHostGtest.h"
#include "UserSettings.h"
#include "X11TestDisplay.h"

namespace {

const clap_plugin_entry_t kLinkedEntry = {CLAP_VERSION, ClapEntryInit, ClapEntryDeinit, ClapEntryGetFactory};

// The editor's background green, as the window shows it once drawn.
bool ShowsTheEditor(X11TestDisplay& display, xcb_window_t frame) {
  const std::vector<uint32_t> pixels = display.Pixels(frame, 410, 680);
  return std::count(pixels.begin(), pixels.end(), 0x719854u) > 10000;
}

// Embeds the editor in a new window of the test's display, as a host's frame.
::testing::AssertionResult OpenEditor(clap_test::ClapTestHost& host, X11TestDisplay& display, xcb_window_t* frame) {
  if (!host.Load()) return ::testing::AssertionFailure() << "no plug-in";
  *frame = display.MakeWindow(0, 0, 410, 680);
  if (!host.GuiCreate("x11", false)) return ::testing::AssertionFailure() << "gui.create refused";
  clap_window_t window = {};
  window.api = "x11";
  window.x11 = *frame;
  if (!host.GuiSetParent(window)) return ::testing::AssertionFailure() << "gui.set_parent refused";
  return ::testing::AssertionSuccess();
}

TEST(ClapEditorX11, RunsOnTheHostsLoopAndLeavesItClean) {
  X11TestDisplay display;
  REQUIRE_X_DISPLAY(display);
  clap_test::ClapTestHost host(&kLinkedEntry);
  xcb_window_t frame = 0;
  ASSERT_TRUE(OpenEditor(host, display, &frame));
  EXPECT_EQ(host.Timers().size(), 1u);
  ASSERT_EQ(host.Fds().size(), 1u);
  // Nothing draws until the host's loop says so.
  EXPECT_TRUE(WaitFor([&] {
    host.FireFd(host.Fds().begin()->first, CLAP_POSIX_FD_READ);
    host.FireTimers(true);
    return ShowsTheEditor(display, frame);
  }));
  EXPECT_EQ(display.Children(frame).size(), 1u);
  host.GuiDestroy();
  EXPECT_TRUE(host.Timers().empty());
  EXPECT_TRUE(host.Fds().empty());
  display.Sync();
  EXPECT_TRUE(display.Children(frame).empty());
  EXPECT_TRUE(clap_test::NoViolations(host));
}

TEST(ClapEditorX11, WithoutTheHostsLoopDrawsOnItsOwnThread) {
  X11TestDisplay display;
  REQUIRE_X_DISPLAY(display);
  clap_test::ClapTestHost host(&kLinkedEntry);
  host.OfferLoopExtensions(false);
  xcb_window_t frame = 0;
  ASSERT_TRUE(OpenEditor(host, display, &frame));
  EXPECT_TRUE(host.Timers().empty());
  EXPECT_TRUE(WaitFor([&] { return ShowsTheEditor(display, frame); }));
  host.GuiDestroy();
  EXPECT_TRUE(clap_test::NoViolations(host));
}

TEST(ClapEditorX11, ANewScaleWhileOpenResizesTheEditorFromEitherThread) {
  // On the host's loop every call shares the main thread; on the editor's own thread the scale crosses over.
  for (bool loop : {true, false}) {
    X11TestDisplay display;
    REQUIRE_X_DISPLAY(display);
    clap_test::ClapTestHost host(&kLinkedEntry);
    host.OfferLoopExtensions(loop);
    xcb_window_t frame = 0;
    ASSERT_TRUE(OpenEditor(host, display, &frame));
    auto pump = [&] {
      if (!loop) return;
      for (const auto& fd : host.Fds()) host.FireFd(fd.first, CLAP_POSIX_FD_READ);
      host.FireTimers(true);
    };
    EXPECT_TRUE(WaitFor([&] {
      pump();
      return ShowsTheEditor(display, frame);
    })) << loop;
    EXPECT_TRUE(host.GuiSetScale(1.5));
    uint32_t width = 0, height = 0;
    ASSERT_TRUE(host.GuiGetSize(&width, &height));
    EXPECT_EQ(width, 615u);
    EXPECT_EQ(height, 1020u);
    const std::vector<xcb_window_t> children = display.Children(frame);
    ASSERT_EQ(children.size(), 1u);
    EXPECT_TRUE(WaitFor([&] {
      pump();
      int w = 0, h = 0;
      display.Size(children[0], &w, &h);
      return w == 615 && h == 1020;
    })) << loop;
    host.GuiDestroy();
    EXPECT_TRUE(clap_test::NoViolations(host));
  }
}

TEST(ClapEditorX11, WithoutAScaleFromTheHostTheDesktopsIsTakenAndRequested) {
  X11TestDisplay display;
  REQUIRE_X_DISPLAY(display);
  setenv("GDK_SCALE", "2", 1);
  clap_test::ClapTestHost host(&kLinkedEntry);
  xcb_window_t frame = 0;
  const bool opened = OpenEditor(host, display, &frame);
  unsetenv("GDK_SCALE");
  ASSERT_TRUE(opened);
  uint32_t width = 0, height = 0;
  ASSERT_TRUE(host.GuiGetSize(&width, &height));
  EXPECT_EQ(width, 820u);
  EXPECT_EQ(height, 1360u);
  const auto resizes = host.Requests().resizes;
  ASSERT_EQ(resizes.size(), 1u);
  EXPECT_EQ(resizes[0], std::make_pair(820u, 1360u));
  host.GuiDestroy();
  EXPECT_TRUE(clap_test::NoViolations(host));
}

TEST(ClapEditorX11, TheUsersSizeFromTheMenuIsRequestedFromTheHost) {
  const std::string settings = UserSettings::DefaultPath("cyclochord");
  std::remove(settings.c_str());
  X11TestDisplay display;
  REQUIRE_X_DISPLAY(display);
  clap_test::ClapTestHost host(&kLinkedEntry);
  host.OfferLoopExtensions(false);
  xcb_window_t frame = 0;
  ASSERT_TRUE(OpenEditor(host, display, &frame));
  EXPECT_TRUE(WaitFor([&] { return ShowsTheEditor(display, frame); }));
  const std::vector<xcb_window_t> children = display.Children(frame);
  ASSERT_EQ(children.size(), 1u);
  // The size menu's list, and its fourth item, 200 %.
  display.Click(children[0], 310, 17, 1);
  xcb_window_t list = 0;
  ASSERT_TRUE(WaitFor([&] {
    const std::vector<xcb_window_t> boxes = display.Children(children[0]);
    list = boxes.empty() ? 0 : boxes[0];
    return list != 0;
  }));
  display.Click(list, 20, 1 + 3 * 18 + 9, 1);
  EXPECT_TRUE(WaitFor([&] { return !host.Requests().resizes.empty(); }));
  const auto resizes = host.Requests().resizes;
  ASSERT_EQ(resizes.size(), 1u);
  EXPECT_EQ(resizes[0], std::make_pair(820u, 1360u));
  uint32_t width = 0, height = 0;
  ASSERT_TRUE(host.GuiGetSize(&width, &height));
  EXPECT_EQ(width, 820u);
  // The user's choice stands against the host's scale.
  EXPECT_FALSE(host.GuiSetScale(1.0));
  host.GuiDestroy();
  EXPECT_TRUE(clap_test::NoViolations(host));
  std::remove(settings.c_str());
}

}  // namespace
