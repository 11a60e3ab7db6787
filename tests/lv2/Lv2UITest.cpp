// The editor as an LV2 X11 UI under a virtual display: the same pixels as the VST editor, host changes shown,
// and the editor's gestures reaching the host as touches around port writes that do not come back as changes.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <thread>

#include <lv2/atom/atom.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <string>
#include <vector>

#include "LilvHost.h"
#include "TestHost.h"
#include "X11TestDisplay.h"

namespace {
using std::chrono::milliseconds;

constexpr int kWidth = 410, kHeight = 680;
const char kUri[] = "https://larkspire.example/plugins/cyclochord";

// What an LV2 host gives a UI and hears from it.
class UIHost {
 public:
  // With a scale above 0, the host passes it as ui:scaleFactor among its options, with a URID map.
  UIHost(LilvHost::Instance* instance, xcb_window_t parent, float scale = 0.0f) {
    mModule = dlopen(CYCLOCHORD_LV2_BUNDLE_DIR "Cyclochord.so", RTLD_NOW | RTLD_LOCAL);
    auto entry = mModule ? reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(mModule, "lv2ui_descriptor")) : nullptr;
    mDescriptor = entry ? entry(0) : nullptr;
    if (!mDescriptor) return;
    mResize = {this, [](LV2UI_Feature_Handle h, int w, int hh) {
                 auto* self = static_cast<UIHost*>(h);
                 self->mWidth = w;
                 self->mHeight = hh;
                 return 0;
               }};
    mTouch = {this, [](LV2UI_Feature_Handle h, uint32_t port, bool grabbed) {
                auto* self = static_cast<UIHost*>(h);
                std::lock_guard<std::mutex> lock(self->mLock);
                self->mCalls.push_back({grabbed ? Call::kGrab : Call::kRelease, port, 0.0f});
              }};
    mFeatures[0] = {LV2_UI__parent, reinterpret_cast<void*>(uintptr_t(parent))};
    mFeatures[1] = {LV2_INSTANCE_ACCESS_URI, lilv_instance_get_handle(instance->Get())};
    mFeatures[2] = {LV2_UI__resize, &mResize};
    mFeatures[3] = {LV2_UI__touch, &mTouch};
    mMap = {this, [](LV2_URID_Map_Handle h, const char* uri) { return static_cast<UIHost*>(h)->Urid(uri); }};
    mScale = scale;
    mOptions[0] = {LV2_OPTIONS_INSTANCE, 0, Urid(LV2_UI__scaleFactor), sizeof(float), Urid(LV2_ATOM__Float), &mScale};
    mOptions[1] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
    mFeatures[4] = {LV2_URID__map, &mMap};
    mFeatures[5] = {LV2_OPTIONS__options, mOptions};
    const LV2_Feature* features[] = {&mFeatures[0], &mFeatures[1], &mFeatures[2], &mFeatures[3],
                                     scale > 0 ? &mFeatures[4] : nullptr, &mFeatures[5], nullptr};
    mUI = mDescriptor->instantiate(mDescriptor, kUri, CYCLOCHORD_LV2_BUNDLE_DIR, Write, this, &mWidget, features);
    mIdle = static_cast<const LV2UI_Idle_Interface*>(mDescriptor->extension_data(LV2_UI__idleInterface));
  }
  ~UIHost() {
    if (mUI) mDescriptor->cleanup(mUI);
    if (mModule) dlclose(mModule);
  }
  bool Ok() const { return mUI && mWidget && mIdle; }
  uint32_t Urid(const char* uri) {
    const auto found = std::find(mUris.begin(), mUris.end(), uri);
    if (found != mUris.end()) return uint32_t(found - mUris.begin()) + 1;
    mUris.emplace_back(uri);
    return uint32_t(mUris.size());
  }
  // The options interface, as a host changes the scale of an open UI.
  uint32_t SetScale(float scale) {
    const auto* options = static_cast<const LV2_Options_Interface*>(mDescriptor->extension_data(LV2_OPTIONS__interface));
    if (!options) return ~0u;
    const float value = scale;
    const LV2_Options_Option set[] = {
        {LV2_OPTIONS_INSTANCE, 0, Urid(LV2_UI__scaleFactor), sizeof(float), Urid(LV2_ATOM__Float), &value},
        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
    return options->set(mUI, set);
  }
  void Idle() { mIdle->idle(mUI); }
  xcb_window_t Widget() const { return xcb_window_t(reinterpret_cast<uintptr_t>(mWidget)); }

  struct Call {
    enum Kind { kGrab, kWrite, kRelease } mKind;
    uint32_t mPort;
    float mValue;
  };
  std::vector<Call> Calls() {
    std::lock_guard<std::mutex> lock(mLock);
    return mCalls;
  }
  int mWidth = 0, mHeight = 0;

 private:
  static void Write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol, const void* buffer) {
    auto* self = static_cast<UIHost*>(controller);
    EXPECT_EQ(size, sizeof(float));
    EXPECT_EQ(protocol, 0u);
    std::lock_guard<std::mutex> lock(self->mLock);
    self->mCalls.push_back({Call::kWrite, port, *static_cast<const float*>(buffer)});
  }

  void* mModule = nullptr;
  const LV2UI_Descriptor* mDescriptor = nullptr;
  const LV2UI_Idle_Interface* mIdle = nullptr;
  LV2UI_Handle mUI = nullptr;
  LV2UI_Widget mWidget = nullptr;
  LV2UI_Resize mResize;
  LV2UI_Touch mTouch;
  LV2_Feature mFeatures[6];
  LV2_URID_Map mMap;
  LV2_Options_Option mOptions[2];
  float mScale = 0.0f;
  std::vector<std::string> mUris;
  std::mutex mLock;
  std::vector<Call> mCalls;
};

// The window's pixels once they have stopped changing: the editors draw on their own timer.
std::vector<uint32_t> SettledPixels(X11TestDisplay& x, xcb_window_t window) {
  std::vector<uint32_t> last;
  for (int i = 0; i < 40; ++i) {
    std::this_thread::sleep_for(milliseconds(100));
    std::vector<uint32_t> now = x.Pixels(window, kWidth, kHeight);
    if (now == last) return now;
    last = std::move(now);
  }
  return last;
}

// A parameter's value as the plug-in holds it, read from the state it saves.
double SavedValue(LilvHost::Instance& instance, int paramIdx) {
  const auto* state = static_cast<const LV2_State_Interface*>(
      lilv_instance_get_extension_data(instance.Get(), LV2_STATE__interface));
  std::vector<uint8_t> chunk;
  state->save(
      lilv_instance_get_handle(instance.Get()),
      [](LV2_State_Handle h, uint32_t, const void* value, size_t size, uint32_t, uint32_t) {
        auto* out = static_cast<std::vector<uint8_t>*>(h);
        if (size > 8) out->assign(static_cast<const uint8_t*>(value), static_cast<const uint8_t*>(value) + size);
        return LV2_STATE_SUCCESS;
      },
      &chunk, 0, nullptr);
  double v = -1000.0;
  const size_t at = 8 + 8 * static_cast<size_t>(paramIdx);
  if (chunk.size() >= at + 8) std::memcpy(&v, &chunk[at], 8);
  return v;
}

int Differences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  if (a.size() != b.size()) return -1;
  int n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

class Lv2UITest : public testing::Test {
 protected:
  LilvHost mHost{CYCLOCHORD_LV2_BUNDLE_DIR, kUri};
};

TEST_F(Lv2UITest, ShowsWhatTheVstEditorShows) {
  X11TestDisplay x;
  REQUIRE_X_DISPLAY(x);
  LilvHost::Instance lv2(&mHost, 48000.0, 512);
  ASSERT_TRUE(lv2.Ok());
  TestHost vst;
  std::string error;
  ASSERT_TRUE(vst.LoadModule(CYCLOCHORD_VST_MODULE, &error)) << error;
  vst.Start(48000.0, 512);

  const xcb_window_t lv2Parent = x.MakeWindow(0, 0, kWidth, kHeight);
  const xcb_window_t vstParent = x.MakeWindow(kWidth + 10, 0, kWidth, kHeight);
  UIHost ui(&lv2, lv2Parent);
  ASSERT_TRUE(ui.Ok());
  EXPECT_EQ(ui.mWidth, kWidth);
  EXPECT_EQ(ui.mHeight, kHeight);
  EXPECT_EQ(x.Children(lv2Parent), std::vector<xcb_window_t>{ui.Widget()});
  ASSERT_EQ(vst.Effect()->dispatcher(vst.Effect(), effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t(vstParent)), 0), 1);

  std::vector<uint32_t> fromLV2 = SettledPixels(x, lv2Parent), fromVst = SettledPixels(x, vstParent);
  ASSERT_EQ(fromLV2.size(), size_t(kWidth * kHeight));
  EXPECT_EQ(Differences(fromLV2, fromVst), 0) << "of " << fromLV2.size() << " pixels";

  // Values the host sets reach both editors.
  const std::vector<std::pair<const char*, float>> changes = {{"v1Int1", 12}, {"ParVel", -30}, {"v2algo", 4},
                                                              {"Snap", 1}, {"MnDelay", 9}};
  std::vector<float> mins(lilv_plugin_get_num_ports(mHost.Plugin())), maxs(mins.size());
  lilv_plugin_get_port_ranges_float(mHost.Plugin(), mins.data(), maxs.data(), nullptr);
  for (const auto& [name, value] : changes) {
    lv2.SetControl(name, value);
    const auto port = static_cast<size_t>(lv2.ControlIndex(name));
    vst.SetParameter(vst.ParamIndex(name), (value - mins[port]) / (maxs[port] - mins[port]));
  }
  // Both engines take the values in a block, and the rotators' next-interval lights follow.
  lv2.Run(64);
  vst.Process(64);
  const std::vector<uint32_t> changedLV2 = SettledPixels(x, lv2Parent), changedVst = SettledPixels(x, vstParent);
  EXPECT_GT(Differences(changedLV2, fromLV2), 0) << "the changes show";
  EXPECT_EQ(Differences(changedLV2, changedVst), 0) << "of " << changedLV2.size() << " pixels";
  vst.Effect()->dispatcher(vst.Effect(), effEditClose, 0, 0, nullptr, 0);
}

TEST_F(Lv2UITest, GesturesBecomeTouchesAroundPortWrites) {
  X11TestDisplay x;
  REQUIRE_X_DISPLAY(x);
  LilvHost::Instance lv2(&mHost, 48000.0, 512);
  ASSERT_TRUE(lv2.Ok());
  const xcb_window_t parent = x.MakeWindow(0, 0, kWidth, kHeight);
  UIHost ui(&lv2, parent);
  ASSERT_TRUE(ui.Ok());
  SettledPixels(x, parent);
  const auto port = static_cast<uint32_t>(lv2.ControlIndex("v1Int1"));

  // Drag the first rotator's first interval to the right; the host hears of it only through idle calls.
  x.MoveTo(ui.Widget(), 212, 307);
  x.Press(1);
  for (int px = 220; px <= 320; px += 20) {
    x.MoveTo(ui.Widget(), px, 307);
    std::this_thread::sleep_for(milliseconds(60));
    ui.Idle();
  }
  ASSERT_TRUE(WaitFor([&] {
    ui.Idle();
    const auto calls = ui.Calls();
    return calls.size() >= 2 && calls.back().mKind == UIHost::Call::kWrite;
  }));
  std::vector<UIHost::Call> calls = ui.Calls();
  ASSERT_EQ(calls.front().mKind, UIHost::Call::kGrab);
  EXPECT_EQ(calls.front().mPort, port);
  const float firstWrite = calls[1].mValue;
  const float during = calls.back().mValue;
  EXPECT_GT(during, 0.0f);
  EXPECT_EQ(during, static_cast<float>(static_cast<int>(during))) << "whole semitones";

  // While the drag goes on, an older value echoed by the host changes nothing.
  lv2.SetControl("v1Int1", firstWrite);
  lv2.Run(64);
  x.Release(1);
  ASSERT_TRUE(WaitFor([&] {
    ui.Idle();
    return ui.Calls().back().mKind == UIHost::Call::kRelease;
  }));
  calls = ui.Calls();
  for (const UIHost::Call& c : calls) EXPECT_EQ(c.mPort, port);
  float last = 0.0f;
  for (const UIHost::Call& c : calls)
    if (c.mKind == UIHost::Call::kWrite) last = c.mValue;
  EXPECT_GE(last, during);
  constexpr int kV1Int1 = 14;
  EXPECT_EQ(SavedValue(lv2, kV1Int1), last) << "the plug-in holds what the editor sent last";

  // The host sets the port to what it was told, as hosts do: no change; the editor still shows the value.
  const std::vector<uint32_t> shown = SettledPixels(x, parent);
  lv2.SetControl("v1Int1", last);
  lv2.Run(64);
  EXPECT_EQ(Differences(SettledPixels(x, parent), shown), 0);
  // Then the host's own automation moves it back: the editor follows.
  lv2.SetControl("v1Int1", 0);
  lv2.Run(64);
  EXPECT_EQ(SavedValue(lv2, kV1Int1), 0.0);
  EXPECT_GT(Differences(SettledPixels(x, parent), shown), 0);
}
}  // namespace

namespace {
TEST_F(Lv2UITest, ASecondUIKeepsTheEditorWhenTheFirstGoes) {
  X11TestDisplay x;
  REQUIRE_X_DISPLAY(x);
  LilvHost::Instance lv2(&mHost, 48000.0, 512);
  ASSERT_TRUE(lv2.Ok());
  const xcb_window_t first = x.MakeWindow(0, 0, kWidth, kHeight), second = x.MakeWindow(kWidth + 10, 0, kWidth, kHeight);
  auto a = std::make_unique<UIHost>(&lv2, first);
  ASSERT_TRUE(a->Ok());
  UIHost b(&lv2, second);
  ASSERT_TRUE(b.Ok());
  const std::vector<uint32_t> shown = SettledPixels(x, second);
  a.reset();
  EXPECT_EQ(x.Children(second), std::vector<xcb_window_t>{b.Widget()});
  EXPECT_EQ(Differences(SettledPixels(x, second), shown), 0);
  // And its gestures still reach its host.
  x.Click(b.Widget(), 212, 307, 1);
  EXPECT_TRUE(WaitFor([&] {
    b.Idle();
    return !b.Calls().empty() && b.Calls().back().mKind == UIHost::Call::kRelease;
  }));
}
// Hosts should end the UI first, but one that cleans the instance up before it gets a closed editor and a UI
// whose idle calls and cleanup touch nothing freed (the sanitizer builds would see it).
TEST_F(Lv2UITest, AnInstanceCleanedUpBeforeItsUI) {
  X11TestDisplay x;
  REQUIRE_X_DISPLAY(x);
  auto lv2 = std::make_unique<LilvHost::Instance>(&mHost, 48000.0, 512);
  ASSERT_TRUE(lv2->Ok());
  const xcb_window_t parent = x.MakeWindow(0, 0, kWidth, kHeight);
  UIHost ui(lv2.get(), parent);
  ASSERT_TRUE(ui.Ok());
  lv2.reset();
  EXPECT_TRUE(x.Children(parent).empty());
  ui.Idle();
}
}  // namespace

TEST_F(Lv2UITest, TheHostsScaleFactorSizesTheEditorAtInstantiationAndLater) {
  X11TestDisplay x;
  REQUIRE_X_DISPLAY(x);
  LilvHost::Instance lv2(&mHost, 48000.0, 512);
  ASSERT_TRUE(lv2.Ok());
  const xcb_window_t parent = x.MakeWindow(0, 0, 615, 1020);
  {
    UIHost ui(&lv2, parent, 1.5f);
    ASSERT_TRUE(ui.Ok());
    // The window opens at the host's scale and the host hears the size through ui:resize.
    EXPECT_EQ(ui.mWidth, 615);
    EXPECT_EQ(ui.mHeight, 1020);
    int w = 0, h = 0;
    x.Size(ui.Widget(), &w, &h);
    EXPECT_EQ(w, 615);
    EXPECT_EQ(h, 1020);
    // Through the options interface: a new scale, and the host is asked for the new size at once.
    EXPECT_EQ(ui.SetScale(1.0f), 0u);
    EXPECT_EQ(ui.mWidth, 410);
    EXPECT_EQ(ui.mHeight, 680);
    EXPECT_TRUE(WaitFor([&] {
      x.Size(ui.Widget(), &w, &h);
      return w == 410 && h == 680;
    }));
    // Out of the editor's range: refused in effect, the size stays.
    ui.SetScale(12.0f);
    EXPECT_EQ(ui.mWidth, 410);
  }
  x.DestroyWindow(parent);
}
