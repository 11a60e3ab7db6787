// Cyclochord.dll's editor in a real top-level window: its first picture on screen against the Linux off-screen
// render, then real mouse input (a click on a fader track, a delay chosen from the list) and what the host hears.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "Cyclochord.h"
#include "CyclochordParams.h"
#include "EditorHostWindow.h"
#include "FileIo.h"
#include "IControl.h"
#include "IGraphicsWin.h"
#include "ITextControl.h"
#include "ModuleLibrary.h"
#include "PngDecoder.h"
#include "PngWriter.h"
#include "RasterBitmap.h"
#include "TestHost.h"
#include "UserSettings.h"

namespace {

struct HostCallRecord {
  VstInt32 mOpcode;
  VstInt32 mIndex;
  float mValue;
};
std::vector<HostCallRecord> gCalls;

VstIntPtr VST_CALLBACK RecordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float opt) {
  if (opcode == audioMasterVersion) return 2400;
  if (opcode == audioMasterAutomate || opcode == audioMasterBeginEdit || opcode == audioMasterEndEdit)
    gCalls.push_back({opcode, index, opt});
  return 0;
}

// Where the editor draws text: read-outs and parameter texts, as an in-process copy of the editor lays them out.
std::vector<IRect> TextAreas() {
  TestHost host;
  AEffect* effect = host.Load(CreatePluginInstance);
  auto* graphics = static_cast<IGraphics*>(VstPluginOf(effect)->GetGraphics());
  std::vector<IRect> areas;
  for (int i = 0; i < graphics->NControls(); ++i)
    if (dynamic_cast<ITextControl*>(graphics->GetControl(i))) areas.push_back(graphics->GetControl(i)->GetRECT());
  return areas;
}

class EditorSession : public ::testing::Test {
 protected:
  void SetUp() override {
    gCalls.clear();
    std::string why;
    mModule = cchost::OpenModule("Cyclochord.dll", &why);
    ASSERT_NE(mModule, nullptr) << why;
    auto entry = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(cchost::FindModuleSymbol(mModule, "VSTPluginMain"));
    ASSERT_NE(entry, nullptr);
    mEffect = entry(RecordingHost);
    ASSERT_NE(mEffect, nullptr);
    Dispatch(effOpen);
    ERect* rect = nullptr;
    ASSERT_EQ(Dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    std::string error;
    mWindow = cchost::EditorHostWindow::Create(CyclochordIdentity::kWindowTitle, rect->right - rect->left, rect->bottom - rect->top,
                                               &error);
    ASSERT_NE(mWindow, nullptr) << error;
    ASSERT_EQ(Dispatch(effEditOpen, 0, 0, mWindow->ParentHandle()), 1);
    mEditor = FindWindowExA(static_cast<HWND>(mWindow->ParentHandle()), nullptr, CyclochordIdentity::kWindowClassName,
                            nullptr);
    ASSERT_NE(mEditor, nullptr);
    Run(400);
  }

  void TearDown() override {
    if (mEffect) {
      Dispatch(effEditClose);
      mWindow.reset();
      Dispatch(effClose);
    }
    if (mModule) cchost::CloseModule(mModule);
  }

  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr) {
    return mEffect->dispatcher(mEffect, opcode, index, value, ptr, 0.0f);
  }

  // Lets the window system and the editor's timer run.
  void Run(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) mWindow->ProcessEvents(10);
  }

  // A press and release of a real button at a point of a window, through the system's input queue.
  void Click(HWND window, int x, int y, bool right = false) {
    POINT p = {x, y};
    ClientToScreen(window, &p);
    SetCursorPos(p.x, p.y);
    Run(50);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(2, input, sizeof(INPUT)), 2u);
    Run(250);
  }

  std::vector<HostCallRecord> CallsFor(int paramIdx) const {
    std::vector<HostCallRecord> calls;
    for (const HostCallRecord& c : gCalls)
      if (c.mIndex == paramIdx) calls.push_back(c);
    return calls;
  }

  void* mModule = nullptr;
  AEffect* mEffect = nullptr;
  std::unique_ptr<cchost::EditorHostWindow> mWindow;
  HWND mEditor = nullptr;
};

bool SavePng(const std::vector<std::uint32_t>& pixels, int w, int h, const std::string& path) {
  cchost::RgbImage image(w, h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.Set(x, y, pixels[static_cast<size_t>(y * w + x)] & 0xFFFFFF);
  std::vector<uint8_t> bytes;
  std::string error;
  if (!cchost::EncodePng(image, &bytes, &error)) return false;
  cchost::OutputFiles files;
  files.Add(path, std::move(bytes));
  return files.Commit(&error);
}

int Brightness(std::uint32_t p) { return int((p >> 16) & 0xFF) + int((p >> 8) & 0xFF) + int(p & 0xFF); }

// Bounds of the dark pixels inside area that the bare background does not have there.
IRect InkBounds(const std::uint32_t* pixels, int span, RasterBitmap& background, const IRect& area) {
  IRect bounds;
  for (int y = area.T; y < area.B; ++y)
    for (int x = area.L; x < area.R; ++x) {
      if (Brightness(pixels[y * span + x]) >= 300 || Brightness(RowAddress(background, y)[x]) < 300) continue;
      const IRect one(x, y, x + 1, y + 1);
      bounds = bounds.Union(&one);
    }
  return bounds;
}

}  // namespace

TEST_F(EditorSession, FirstPictureOnScreenMatchesTheLinuxRenderOutsideTheText) {
  std::vector<std::uint32_t> shown;
  int w = 0, h = 0;
  ASSERT_TRUE(mWindow->Capture(&shown, &w, &h));
  ASSERT_EQ(w, 410);
  ASSERT_EQ(h, 680);
  const std::string name = sizeof(void*) == 4 ? "editor-win32.png" : "editor-win64.png";
  EXPECT_TRUE(SavePng(shown, w, h, name));

  const char* referencePath = std::getenv("CYCLOCHORD_EDITOR_REFERENCE");
  ASSERT_NE(referencePath, nullptr) << "CYCLOCHORD_EDITOR_REFERENCE names the Linux editor-render.png";
  std::vector<uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(cchost::ReadWholeFile(referencePath, &bytes, &error)) << error;
  std::unique_ptr<RasterBitmap> reference(PngFromMemory(bytes.data(), bytes.size(), nullptr));
  ASSERT_NE(reference, nullptr);
  ASSERT_EQ(reference->Width(), w);
  ASSERT_EQ(reference->Height(), h);

  // Text is antialiased by different renderers; everywhere else the pictures agree to the pixel.
  const std::vector<IRect> text = TextAreas();
  ASSERT_EQ(text.size(), 25u) << "12 read-outs, 12 parameter texts and the size menu";
  auto inText = [&](int x, int y) {
    for (const IRect& r : text)
      if (x >= r.L - 2 && x < r.R + 2 && y >= r.T - 2 && y < r.B + 2) return true;
    return false;
  };
  int differing = 0, compared = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (inText(x, y)) continue;
      ++compared;
      const std::uint32_t a = shown[static_cast<size_t>(y * w + x)] & 0xFFFFFF;
      const std::uint32_t b = RowAddress(*reference, y)[x] & 0xFFFFFF;
      if (a != b && differing++ < 5) ADD_FAILURE() << "pixel " << x << "," << y << std::hex << ": " << a << " vs " << b;
    }
  EXPECT_EQ(differing, 0) << "of " << compared << " pixels outside the text";
  std::printf("screen against the Linux render: %d of %d pixels outside the text differ\n", differing, compared);

  // In the text areas both show the same texts: ink in the same places, give or take the renderers' metrics.
  TestHost host;
  AEffect* effect = host.Load(CreatePluginInstance);
  auto* graphics = static_cast<IGraphics*>(VstPluginOf(effect)->GetGraphics());
  RasterBitmap* background = graphics->LoadBitmap(100, "img/bg.png").mData;
  for (const IRect& r : text) {
    // The size menu's light text on the dark title bar is not ink to this measure.
    if (r.T < 30) continue;
    // Parameter texts may run past their box; the picture leaves room to the right.
    const IRect area(r.L - 2, r.T - 2, std::min(r.R + 20, w), r.B + 2);
    const IRect a = InkBounds(shown.data(), w, *background, area);
    const IRect b = InkBounds(RowAddress(*reference, 0), reference->RowSpan(), *background, area);
    ASSERT_FALSE(a.Empty()) << "no text shown at " << r.L << "," << r.T;
    ASSERT_FALSE(b.Empty());
    EXPECT_NEAR(a.L, b.L, 2) << r.L << "," << r.T;
    EXPECT_NEAR(a.R, b.R, 3) << r.L << "," << r.T;
    EXPECT_NEAR(a.T, b.T, 2) << r.L << "," << r.T;
    EXPECT_NEAR(a.B, b.B, 2) << r.L << "," << r.T;
  }
}

TEST_F(EditorSession, AClickOnAFaderTrackSetsItsParameterInsideOneGesture) {
  // The parallel interval's track starts at x 120; its 12-pixel handle centred on x 126 means the lowest value.
  ASSERT_NE(mEffect->getParameter(mEffect, kParInt), 0.0f);
  Click(mEditor, 126, 195);
  EXPECT_EQ(mEffect->getParameter(mEffect, kParInt), 0.0f);
  const std::vector<HostCallRecord> calls = CallsFor(kParInt);
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].mOpcode, audioMasterBeginEdit);
  EXPECT_EQ(calls[1].mOpcode, audioMasterAutomate);
  EXPECT_EQ(calls[1].mValue, 0.0f);
  EXPECT_EQ(calls[2].mOpcode, audioMasterEndEdit);
  char display[64] = {};
  Dispatch(effGetParamDisplay, kParInt, 0, display);
  EXPECT_STREQ(display, "-24");
}

TEST_F(EditorSession, ARightClickOnADelayOpensTheListAndAChosenItemBecomesTheDelay) {
  Click(mEditor, 270, 132, true);
  HWND box = FindWindowExA(mEditor, nullptr, "ComboBox", nullptr);
  ASSERT_NE(box, nullptr) << "the list opens over the main voice's delay";
  EXPECT_EQ(SendMessageA(box, CB_GETCOUNT, 0, 0), 17);
  char current[32] = {};
  SendMessageA(box, WM_GETTEXT, sizeof(current), reinterpret_cast<LPARAM>(current));
  EXPECT_STREQ(current, "--off--");

  // Open the list with the mouse and pick the fifth item.
  RECT boxRect;
  GetClientRect(box, &boxRect);
  Click(box, boxRect.right / 2, boxRect.bottom / 2);
  COMBOBOXINFO info = {};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(GetComboBoxInfo(box, &info));
  ASSERT_TRUE(IsWindowVisible(info.hwndList)) << "the list dropped down";
  RECT item;
  ASSERT_NE(SendMessageA(info.hwndList, LB_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&item)), LB_ERR);
  char itemText[32] = {};
  SendMessageA(box, CB_GETLBTEXT, 4, reinterpret_cast<LPARAM>(itemText));
  Click(info.hwndList, (item.left + item.right) / 2, (item.top + item.bottom) / 2);
  Run(200);

  EXPECT_EQ(FindWindowExA(mEditor, nullptr, "ComboBox", nullptr), nullptr) << "the box closed";
  char display[64] = {};
  Dispatch(effGetParamDisplay, kMnDelay, 0, display);
  EXPECT_STREQ(display, itemText);
  const std::vector<HostCallRecord> calls = CallsFor(kMnDelay);
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].mOpcode, audioMasterBeginEdit) << "the right press";
  EXPECT_EQ(calls[1].mOpcode, audioMasterEndEdit) << "the right release";
  EXPECT_EQ(calls[2].mOpcode, audioMasterAutomate);
  EXPECT_EQ(calls[2].mValue, mEffect->getParameter(mEffect, kMnDelay));

  std::vector<std::uint32_t> shown;
  int w = 0, h = 0;
  ASSERT_TRUE(mWindow->Capture(&shown, &w, &h));
  EXPECT_TRUE(SavePng(shown, w, h, sizeof(void*) == 4 ? "editor-win32-after.png" : "editor-win64-after.png"));
}

TEST_F(EditorSession, TheSizeMenuMakesTheEditorLargerAndClicksStillLandOnTheirControls) {
  Click(mEditor, 310, 17);
  HWND box = FindWindowExA(mEditor, nullptr, "ComboBox", nullptr);
  ASSERT_NE(box, nullptr) << "the size menu's list";
  ASSERT_EQ(SendMessageA(box, CB_GETCOUNT, 0, 0), 5);
  RECT boxRect;
  GetClientRect(box, &boxRect);
  Click(box, boxRect.right / 2, boxRect.bottom / 2);
  COMBOBOXINFO info = {};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(GetComboBoxInfo(box, &info));
  RECT item;
  ASSERT_NE(SendMessageA(info.hwndList, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item)), LB_ERR);
  char itemText[32] = {};
  SendMessageA(box, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(itemText));
  EXPECT_STREQ(itemText, "150 %");
  Click(info.hwndList, (item.left + item.right) / 2, (item.top + item.bottom) / 2);
  Run(300);
  RECT client;
  GetClientRect(mEditor, &client);
  EXPECT_EQ(client.right - client.left, 615);
  EXPECT_EQ(client.bottom - client.top, 1020);
  // The parallel interval's lowest value, where the track's start is drawn now.
  ASSERT_NE(mEffect->getParameter(mEffect, kParInt), 0.0f);
  Click(mEditor, 189, 293);
  EXPECT_EQ(mEffect->getParameter(mEffect, kParInt), 0.0f);
  // The choice went to this test process's settings file; the other tests open at 100 %.
  UserSettings saved(UserSettings::DefaultPath("cyclochord"));
  ASSERT_TRUE(saved.Load());
  EXPECT_EQ(saved.GetNumber("editor-scale", 0.0), 1.5);
  std::remove(saved.Path().c_str());
}

TEST_F(EditorSession, ARightClickOnAFaderTakesATypedNumber) {
  Click(mEditor, 212, 195, true);
  HWND box = FindWindowExA(mEditor, nullptr, "Edit", nullptr);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(GetFocus(), box);
  INPUT keys[8] = {};
  const WORD typed[] = {VK_OEM_MINUS, '5', VK_RETURN};
  int n = 0;
  // Select everything first so the typing replaces the shown value.
  for (WORD key : typed) {
    keys[n].type = INPUT_KEYBOARD;
    keys[n++].ki.wVk = key;
    keys[n].type = INPUT_KEYBOARD;
    keys[n].ki.wVk = key;
    keys[n++].ki.dwFlags = KEYEVENTF_KEYUP;
  }
  ASSERT_EQ(SendInput(static_cast<UINT>(n), keys, sizeof(INPUT)), static_cast<UINT>(n));
  Run(300);
  EXPECT_EQ(FindWindowExA(mEditor, nullptr, "Edit", nullptr), nullptr);
  char display[64] = {};
  Dispatch(effGetParamDisplay, kParInt, 0, display);
  EXPECT_STREQ(display, "-5");
}
