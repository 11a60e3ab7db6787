// The Windows graphics host and editor window on a small test plug-in: class registration, reopening, the timer's
// redraws, mouse and wheel routing, keys, the typed-entry box and its states, GDI text and images from resources;
// and the host's hand-over to a window, on a window that only records.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "EditorWindowWin.h"
#include "FakeEditorWindow.h"
#include "IControl.h"
#include "IFaderControl.h"
#include "IGraphicsWin.h"
#include "IParamTextControl.h"
#include "IParameter.h"
#include "PlatformGraphics.h"
#include "RasterBitmap.h"
#include "TestHost.h"
#include "TestPlugin.h"
#include "WinInput.h"

namespace {

const IRect kTextRect(114, 125, 174, 141);
const IWindowNames kTestWindowNames{"TestEditorClass", "Test editor"};

class WinEditorPlugin : public TestPlugin {
 public:
  WinEditorPlugin() {
    mGraphics = static_cast<IGraphicsWin*>(MakePlatformGraphics(this, 410, 680, 0, nullptr, kTestWindowNames));
    mGraphics->AttachBackground(100, "img/bg.png");
    const IBitmap handle = mGraphics->LoadBitmap(101, "img/fader-handle.png", 1);
    mFader = new IFaderControl(this, 120, 213, 184, kTestInt, handle, IFaderControl::kHorizontal);
    mGraphics->AttachControl(mFader);
    const ITextStyle style("Arial", 14, IColor(255, 0, 0, 0), ITextStyle::StyleNormal, ITextStyle::AlignNear, 0);
    mText = new IParamTextControl(this, kTextRect, kTestEnum, style);
    mGraphics->AttachControl(mText);
    AttachEditor(mGraphics);
  }
  static IPluginBase* Create() { return new WinEditorPlugin(); }

  // A host may close the editor from inside the call that tells it of a new value.
  void OnParameterChange(int paramIdx) override {
    TestPlugin::OnParameterChange(paramIdx);
    if (mCloseEditorOnChange) mGraphics->CloseWindow();
  }

  bool mCloseEditorOnChange = false;
  IGraphicsWin* mGraphics;
  IFaderControl* mFader;
  IParamTextControl* mText;
};

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// One parent for the whole run: without a window manager, Wine waits two seconds for each top-level window that
// goes away.
HWND MakeParent() {
  static HWND parent = nullptr;
  if (parent) return parent;
  WNDCLASSA windowClass = {};
  if (!GetClassInfoA(GetModuleHandleA(nullptr), "TestParent", &windowClass)) {
    windowClass.lpfnWndProc = ParentProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TestParent";
    RegisterClassA(&windowClass);
  }
  parent = CreateWindowExA(0, "TestParent", "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 500,
                           760, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  return parent;
}

bool ClassRegistered() {
  WNDCLASSA info;
  HINSTANCE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&MakePlatformGraphics), &module);
  return GetClassInfoA(module, kTestWindowNames.mClassName, &info) != 0;
}

// Editor windows inside parent, counted the way the window system sees them.
int EditorWindowsIn(HWND parent) {
  int n = 0;
  for (HWND w = FindWindowExA(parent, nullptr, kTestWindowNames.mClassName, nullptr); w;
       w = FindWindowExA(parent, w, kTestWindowNames.mClassName, nullptr))
    ++n;
  return n;
}

void Pump(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

class WinEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    AEffect* effect = mHost.Load(WinEditorPlugin::Create);
    mPlug = static_cast<WinEditorPlugin*>(VstPluginOf(effect));
    g = mPlug->mGraphics;
    mParent = MakeParent();
    ASSERT_NE(mParent, nullptr);
    ASSERT_EQ(mHost.Dispatch(effEditOpen, 0, 0, mParent), 1);
    mEditor = static_cast<HWND>(g->GetWindow());
    ASSERT_NE(mEditor, nullptr);
  }
  void TearDown() override {
    mHost.Dispatch(effEditClose);
    mHost.Close();
  }
  void Tick() { SendMessageA(mEditor, WM_TIMER, EditorWindowWin::kTimerId, 0); }
  EditorWindowWin* Window() const { return static_cast<EditorWindowWin*>(g->Window()); }
  HWND EntryBox() const { return Window() ? Window()->EntryBox() : nullptr; }
  EEntryState EntryState() const { return Window()->GetEntryState(); }
  int Calls(VstInt32 opcode) const { return static_cast<int>(mHost.CallsWith(opcode).size()); }

  TestHost mHost;
  WinEditorPlugin* mPlug = nullptr;
  IGraphicsWin* g = nullptr;
  HWND mParent = nullptr;
  HWND mEditor = nullptr;
};

}  // namespace

TEST(WinInput, KeyCodesOfArrowsDigitsLettersAndTheLowerCaseRange) {
  const struct {
    WPARAM key;
    int code;
  } cases[] = {{VK_SPACE, KeySpace}, {VK_UP, KeyUpArrow}, {VK_DOWN, KeyDownArrow}, {VK_LEFT, KeyLeftArrow},
               {VK_RIGHT, KeyRightArrow}, {'0', 5}, {'9', 14}, {'A', 15}, {'Z', 40}, {0x61, 15}, {0x7A, 40},
               {VK_RETURN, -1}, {VK_ESCAPE, -1}, {0x60, -1}, {0x7B, -1}, {VK_SHIFT, -1}, {'/', -1}, {':', -1}};
  for (const auto& c : cases) EXPECT_EQ(wininput::KeyCodeFor(c.key), c.code) << c.key;
}

TEST(WinInput, ModifiersComeFromTheMessagesFlagsAndAltFromTheCaller) {
  const struct {
    WPARAM keys;
    bool alt;
    IMouseMods mods;
  } cases[] = {{0, false, IMouseMods(false, false)},
               {MK_LBUTTON, false, IMouseMods(true, false)},
               {MK_RBUTTON | MK_SHIFT, false, IMouseMods(false, true, true, false)},
               {MK_CONTROL, true, IMouseMods(false, false, false, true, true)},
               {MK_MBUTTON | MK_XBUTTON1, false, IMouseMods(false, false)}};
  for (const auto& c : cases) {
    const IMouseMods mods = wininput::ModsFor(c.keys, c.alt);
    EXPECT_EQ(mods.L, c.mods.L) << c.keys;
    EXPECT_EQ(mods.R, c.mods.R) << c.keys;
    EXPECT_EQ(mods.S, c.mods.S) << c.keys;
    EXPECT_EQ(mods.C, c.mods.C) << c.keys;
    EXPECT_EQ(mods.A, c.mods.A) << c.keys;
  }
}

TEST(IGraphicsWinClass, RegisteredWithTheFirstWindowAndGoneWithTheLast) {
  TestHost host1, host2;
  host1.Load(WinEditorPlugin::Create);
  host2.Load(WinEditorPlugin::Create);
  HWND parent = MakeParent();
  EXPECT_FALSE(ClassRegistered());
  ASSERT_EQ(host1.Dispatch(effEditOpen, 0, 0, parent), 1);
  EXPECT_TRUE(ClassRegistered());
  ASSERT_EQ(host2.Dispatch(effEditOpen, 0, 0, parent), 1);
  EXPECT_EQ(EditorWindowsIn(parent), 2);
  host1.Dispatch(effEditClose);
  EXPECT_TRUE(ClassRegistered()) << "the second window still uses it";
  host2.Dispatch(effEditClose);
  EXPECT_FALSE(ClassRegistered());
  EXPECT_EQ(EditorWindowsIn(parent), 0);

  // A parent that is no window: creation fails, and the registration is as before, also for the next window.
  EXPECT_EQ(host1.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(0x7ff0)), 0);
  EXPECT_EQ(EditorWindowsIn(parent), 0);
  EXPECT_FALSE(ClassRegistered());
  ASSERT_EQ(host1.Dispatch(effEditOpen, 0, 0, parent), 1);
  host1.Dispatch(effEditClose);
  EXPECT_FALSE(ClassRegistered()) << "a failed open left the class in use";
}

TEST_F(WinEditor, IsAChildOfTheHostWindowWithTheEditorSizeAndTakesTheFocus) {
  EXPECT_EQ(GetParent(mEditor), mParent);
  EXPECT_TRUE(GetWindowLongA(mEditor, GWL_STYLE) & WS_CHILD);
  RECT r;
  GetClientRect(mEditor, &r);
  EXPECT_EQ(r.right, 410);
  EXPECT_EQ(r.bottom, 680);
  EXPECT_EQ(GetFocus(), mEditor);
}

TEST_F(WinEditor, OpeningAgainWithoutClosingKeepsTheWindowsSizeAndPlace) {
  SetWindowPos(mEditor, nullptr, 5, 7, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_EQ(mHost.Dispatch(effEditOpen, 0, 0, mParent), 1);
  HWND again = static_cast<HWND>(g->GetWindow());
  EXPECT_FALSE(IsWindow(mEditor)) << "the first window is gone";
  RECT r;
  GetWindowRect(again, &r);
  MapWindowPoints(nullptr, mParent, reinterpret_cast<POINT*>(&r), 2);
  // The parent here has a frame and a caption: the place is kept in its client area all the same.
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.top, 7);
  EXPECT_EQ(r.right - r.left, 300);
  EXPECT_EQ(r.bottom - r.top, 200);
  EXPECT_EQ(EditorWindowsIn(mParent), 1);
  mEditor = again;
}

TEST_F(WinEditor, AHostThatDestroyedItsWindowFirstGetsAFullSizedEditorInTheNextOne) {
  HWND doomed = CreateWindowExA(0, "TestParent", "doomed", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500, 760, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_EQ(mHost.Dispatch(effEditOpen, 0, 0, doomed), 1);
  DestroyWindow(doomed);
  ASSERT_EQ(mHost.Dispatch(effEditOpen, 0, 0, mParent), 1);
  mEditor = static_cast<HWND>(g->GetWindow());
  RECT r;
  GetClientRect(mEditor, &r);
  EXPECT_EQ(r.right, 410);
  EXPECT_EQ(r.bottom, 680);
  EXPECT_EQ(EditorWindowsIn(mParent), 1);
  // The window that went with its parent no longer counts: closing the one left gives the class back.
  mHost.Dispatch(effEditClose);
  EXPECT_FALSE(ClassRegistered());
  ASSERT_EQ(mHost.Dispatch(effEditOpen, 0, 0, mParent), 1);
  mEditor = static_cast<HWND>(g->GetWindow());
}

TEST_F(WinEditor, TheTimerRepaintsWhatTheHostChanged) {
  Pump(200);
  for (int i = 0; i < g->NControls(); ++i) EXPECT_FALSE(g->GetControl(i)->IsDirty()) << "control " << i;
  mHost.SetParameter(kTestInt, 1.0f);
  EXPECT_FALSE(mPlug->mFader->IsDirty()) << "the host's thread never touches the editor";
  Pump(200);
  EXPECT_FALSE(mPlug->mFader->IsDirty()) << "taken and drawn by a later tick";
  // The handle now sits at the far end of its track in the draw bitmap.
  RasterBitmap* drawn = g->GetDrawBitmap();
  const IBitmap handle = g->LoadBitmap(101, "img/fader-handle.png");
  const Pixel centre = RowAddress(*handle.mData, 6)[6];
  EXPECT_EQ(RowAddress(*drawn, 213 + 6)[120 + 172 + 6] & 0xFFFFFF, centre & 0xFFFFFF);
}

TEST_F(WinEditor, PressDragAndReleaseCaptureThePointerAndBracketTheHostGesture) {
  SendMessageA(mEditor, WM_LBUTTONDOWN, MK_LBUTTON, At(126, 219));
  EXPECT_EQ(GetCapture(), mEditor);
  EXPECT_EQ(mHost.GetParameter(kTestInt), 0.0f);
  EXPECT_EQ(Calls(audioMasterBeginEdit), 1);
  SendMessageA(mEditor, WM_MOUSEMOVE, MK_LBUTTON, At(126 + 86, 400));  // far below: the capture keeps it
  EXPECT_FLOAT_EQ(mHost.GetParameter(kTestInt), 0.5f);
  SendMessageA(mEditor, WM_MOUSEMOVE, 0, At(300, 219));  // no button: no drag
  EXPECT_FLOAT_EQ(mHost.GetParameter(kTestInt), 0.5f);
  SendMessageA(mEditor, WM_LBUTTONUP, 0, At(126 + 86, 400));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Calls(audioMasterEndEdit), 1);
  EXPECT_EQ(g->CaptureIndex(), -1);
}

TEST_F(WinEditor, ClosingDuringADragEndsTheHostGesture) {
  SendMessageA(mEditor, WM_LBUTTONDOWN, MK_LBUTTON, At(126, 219));
  SendMessageA(mEditor, WM_MOUSEMOVE, MK_LBUTTON, At(150, 219));
  ASSERT_EQ(Calls(audioMasterBeginEdit), 1);
  mHost.Dispatch(effEditClose);
  EXPECT_EQ(Calls(audioMasterEndEdit), 1);
  EXPECT_EQ(g->CaptureIndex(), -1);
}

TEST_F(WinEditor, ModifierKeysOfTheMessageReachTheControl) {
  // A fader's wheel moves by a hundredth, or by a thousandth with shift held.
  POINT p = {200, 219};
  ClientToScreen(mEditor, &p);
  const double before = mPlug->mFader->GetValue();
  SendMessageA(mEditor, WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, 120), MAKELPARAM(p.x, p.y));
  EXPECT_NEAR(mPlug->mFader->GetValue() - before, 0.001, 1e-9);
  SendMessageA(mEditor, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(p.x, p.y));
  EXPECT_NEAR(mPlug->mFader->GetValue() - before, 0.011, 1e-9);
}

TEST_F(WinEditor, ADoubleClickActsAsAPressOnlyForControlsThatAskForIt) {
  SendMessageA(mEditor, WM_LBUTTONDBLCLK, MK_LBUTTON, At(126, 219));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(mHost.GetParameter(kTestInt), 0.5f);
  mPlug->mFader->SetDoubleClickAsDown(true);
  SendMessageA(mEditor, WM_LBUTTONDBLCLK, MK_LBUTTON, At(126, 219));
  EXPECT_EQ(GetCapture(), mEditor);
  EXPECT_EQ(mHost.GetParameter(kTestInt), 0.0f);
  SendMessageA(mEditor, WM_LBUTTONUP, 0, At(126, 219));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WinEditor, WheelStepsAreWholeNotchesAndEvenZeroStepsAreDelivered) {
  POINT p = {kTextRect.L + 5, kTextRect.T + 5};
  ClientToScreen(mEditor, &p);
  mHost.ClearCalls();
  SendMessageA(mEditor, WM_MOUSEWHEEL, MAKEWPARAM(0, 119), MAKELPARAM(p.x, p.y));
  ASSERT_EQ(Calls(audioMasterAutomate), 1) << "delivered, with 0 steps";
  EXPECT_EQ(mHost.GetParameter(kTestEnum), 0.0f);
  SendMessageA(mEditor, WM_MOUSEWHEEL, MAKEWPARAM(0, 240), MAKELPARAM(p.x, p.y));
  EXPECT_FLOAT_EQ(mHost.GetParameter(kTestEnum), 2.0f / 3.0f);
  SendMessageA(mEditor, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), MAKELPARAM(p.x, p.y));
  EXPECT_FLOAT_EQ(mHost.GetParameter(kTestEnum), 1.0f / 3.0f);
  // Over no control nothing happens; the wheel's position is in screen coordinates.
  mHost.ClearCalls();
  SendMessageA(mEditor, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(kTextRect.L + 5, kTextRect.T + 5));
  EXPECT_EQ(mHost.GetParameter(kTestEnum), 1.0f / 3.0f);
}

TEST_F(WinEditor, RightClickOnAFaderOpensACentredEditBoxThatCommitsATypedNumber) {
  mHost.ClearCalls();
  SendMessageA(mEditor, WM_RBUTTONDOWN, MK_RBUTTON, At(200, 219));
  HWND box = EntryBox();
  ASSERT_NE(box, nullptr);
  char className[32] = {};
  GetClassNameA(box, className, sizeof(className));
  EXPECT_STREQ(className, "Edit");
  EXPECT_EQ(GetDlgCtrlID(box), EditorWindowWin::kEntryBoxId);
  RECT r;
  GetWindowRect(box, &r);
  MapWindowPoints(nullptr, mEditor, reinterpret_cast<POINT*>(&r), 2);
  // The fader is 120..304 x 213..225 (the handle's height): centre (212, 219).
  EXPECT_EQ(r.left, 212 - 18);
  EXPECT_EQ(r.top, 219 - 8);
  EXPECT_EQ(r.right - r.left, 36);
  EXPECT_EQ(r.bottom - r.top, 16);
  char text[64] = {};
  GetWindowTextA(box, text, sizeof(text));
  EXPECT_STREQ(text, "0");
  EXPECT_EQ(GetFocus(), box);
  EXPECT_EQ(EntryState(), EntryEditing);
  // The press that opened the box keeps the pointer until its release, which also ends the host's gesture.
  EXPECT_EQ(GetCapture(), mEditor);
  EXPECT_EQ(Calls(audioMasterBeginEdit), 1);
  EXPECT_EQ(Calls(audioMasterEndEdit), 0);
  SendMessageA(mEditor, WM_RBUTTONUP, 0, At(200, 219));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Calls(audioMasterEndEdit), 1);
  EXPECT_EQ(EntryBox(), box);

  // While the box is typed in, the timer does nothing and the editor ignores the left button.
  Tick();
  EXPECT_EQ(EntryBox(), box);
  SendMessageA(mEditor, WM_LBUTTONDOWN, MK_LBUTTON, At(126, 219));
  EXPECT_EQ(mHost.GetParameter(kTestInt), 0.5f);

  SetWindowTextA(box, "12abc");
  SendMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(EntryState(), EntryCommit);
  mPlug->mFader->SetClean();
  Tick();
  EXPECT_EQ(EntryBox(), nullptr);
  EXPECT_FALSE(IsWindow(box));
  EXPECT_EQ(mPlug->GetParam(kTestInt)->Value(), 12.0);
  EXPECT_TRUE(mPlug->mFader->IsDirty()) << "the commit tick draws nothing";
  Tick();
  Tick();
  EXPECT_FALSE(mPlug->mFader->IsDirty()) << "later ticks draw it";
  EXPECT_EQ(GetFocus(), mEditor) << "keys go back to the editor";
}

TEST_F(WinEditor, RightClickOnATextWithDisplayTextsOpensAListThatCommitsASelection) {
  mHost.SetParameter(kTestEnum, 2.0f / 3.0f);
  SendMessageA(mEditor, WM_RBUTTONDOWN, MK_RBUTTON, At(120, 130));
  HWND box = EntryBox();
  ASSERT_NE(box, nullptr);
  char className[32] = {};
  GetClassNameA(box, className, sizeof(className));
  EXPECT_STREQ(className, "ComboBox");
  ASSERT_EQ(SendMessageA(box, CB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(SendMessageA(box, CB_GETCURSEL, 0, 0), 2);
  char item[32] = {};
  SendMessageA(box, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
  EXPECT_STREQ(item, mPlug->GetParam(kTestEnum)->DisplayTextFor(0));
  int longest = 0;
  for (int i = 0; i < 4; ++i)
    longest = std::max(longest, static_cast<int>(std::strlen(mPlug->GetParam(kTestEnum)->DisplayTextFor(i))));
  RECT r;
  GetWindowRect(box, &r);
  MapWindowPoints(nullptr, mEditor, reinterpret_cast<POINT*>(&r), 2);
  const int width = std::max(24, 8 * longest + 24);
  EXPECT_EQ(r.right - r.left, width);
  EXPECT_EQ(r.left, 144 - width / 2);
  EXPECT_EQ(r.top, 133);

  // The list inside the box reports a new selection to the box, which commits it at the next tick.
  SendMessageA(box, CB_SETCURSEL, 1, 0);
  SendMessageA(box, WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), 0);
  EXPECT_EQ(EntryState(), EntryCommit);
  Tick();
  EXPECT_EQ(EntryBox(), nullptr);
  EXPECT_EQ(mPlug->GetParam(kTestEnum)->Value(), 1.0);
}

TEST_F(WinEditor, RightPressOnTheEditorCancelsTheBoxWithoutApplying) {
  SendMessageA(mEditor, WM_RBUTTONDOWN, MK_RBUTTON, At(200, 219));
  HWND box = EntryBox();
  ASSERT_NE(box, nullptr);
  SetWindowTextA(box, "25");
  SendMessageA(mEditor, WM_RBUTTONDOWN, MK_RBUTTON, At(10, 10));
  EXPECT_EQ(EntryState(), EntryCancel);
  Tick();
  EXPECT_EQ(EntryBox(), nullptr);
  EXPECT_EQ(mPlug->GetParam(kTestInt)->Value(), 0.0);
}

TEST_F(WinEditor, AnUnfocusedBoxFollowsTheHostAndALeftPressCommitsIt) {
  SendMessageA(mEditor, WM_RBUTTONDOWN, MK_RBUTTON, At(200, 219));
  HWND box = EntryBox();
  ASSERT_NE(box, nullptr);
  SetFocus(mEditor);
  EXPECT_EQ(EntryState(), EntryNone) << "losing the focus keeps the box";
  mHost.SetParameter(kTestInt, 40.0f / 60.0f);
  Tick();  // draws the fader, then asks for the box to follow
  EXPECT_EQ(EntryState(), EntryUpdate);
  Tick();
  char text[64] = {};
  GetWindowTextA(box, text, sizeof(text));
  EXPECT_STREQ(text, "10");
  SetWindowTextA(box, "-7");
  SendMessageA(mEditor, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
  SendMessageA(mEditor, WM_LBUTTONUP, 0, At(10, 10));
  EXPECT_EQ(EntryState(), EntryCommit);
  Tick();
  EXPECT_EQ(mPlug->GetParam(kTestInt)->Value(), -7.0);
}

TEST_F(WinEditor, ClosingTheEditorWithABoxOpenLeavesNoBoxBehind) {
  SendMessageA(mEditor, WM_RBUTTONDOWN, MK_RBUTTON, At(200, 219));
  HWND box = EntryBox();
  ASSERT_NE(box, nullptr);
  mHost.Dispatch(effEditClose);
  EXPECT_EQ(g->Window(), nullptr);
  EXPECT_FALSE(IsWindow(box));
  EXPECT_EQ(g->EditedControl(), nullptr);
  ASSERT_EQ(mHost.Dispatch(effEditOpen, 0, 0, mParent), 1);
  mEditor = static_cast<HWND>(g->GetWindow());
  SendMessageA(mEditor, WM_RBUTTONDOWN, MK_RBUTTON, At(200, 219));
  EXPECT_NE(EntryBox(), nullptr) << "a new box can open";
}

TEST_F(WinEditor, AHostThatClosesTheEditorWhileATypedValueIsAppliedKeepsTheValueAndNoWindow) {
  SendMessageA(mEditor, WM_RBUTTONDOWN, MK_RBUTTON, At(200, 219));
  SendMessageA(mEditor, WM_RBUTTONUP, 0, At(200, 219));
  HWND box = EntryBox();
  ASSERT_NE(box, nullptr);
  SetWindowTextA(box, "12");
  SendMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
  mPlug->mCloseEditorOnChange = true;
  Tick();
  EXPECT_EQ(mPlug->GetParam(kTestInt)->Value(), 12.0);
  EXPECT_EQ(g->Window(), nullptr);
  EXPECT_FALSE(IsWindow(mEditor));
  EXPECT_FALSE(IsWindow(box));
  EXPECT_EQ(g->EditedControl(), nullptr);
  EXPECT_FALSE(ClassRegistered());
  // The editor opens again as usual.
  mPlug->mCloseEditorOnChange = false;
  ASSERT_EQ(mHost.Dispatch(effEditOpen, 0, 0, mParent), 1);
  mEditor = static_cast<HWND>(g->GetWindow());
  EXPECT_EQ(EditorWindowsIn(mParent), 1);
}

TEST_F(WinEditor, TextFontIsMadeOnceAndLaterStylesChangeOnlyTheColour) {
  HDC dc = static_cast<HDC>(g->GetDrawBitmap()->DeviceContext());
  const IRect area(0, 0, 100, 30);
  const ITextStyle first("Arial", 14, IColor(255, 10, 20, 30), ITextStyle::StyleNormal, ITextStyle::AlignNear, 0);
  EXPECT_TRUE(g->DrawText(&first, "", &area)) << "nothing to draw is no failure";
  EXPECT_EQ(g->TextFont(), nullptr);
  EXPECT_TRUE(g->DrawText(&first, "Hello", &area));
  HFONT font = g->TextFont();
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
  EXPECT_EQ(GetTextColor(dc), RGB(10, 20, 30));
  LOGFONTA made = {};
  GetObjectA(font, sizeof(made), &made);
  EXPECT_EQ(made.lfHeight, 14);
  EXPECT_STREQ(made.lfFaceName, "Arial");

  const ITextStyle second("Courier", 30, IColor(255, 200, 0, 0), ITextStyle::StyleBold, ITextStyle::AlignFar, 90);
  EXPECT_TRUE(g->DrawText(&second, "Hello", &area));
  EXPECT_EQ(g->TextFont(), font);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
  EXPECT_EQ(GetTextColor(dc), RGB(200, 0, 0));
  EXPECT_EQ(g->LastTextColor(), IColor(255, 200, 0, 0));
}

TEST_F(WinEditor, TextLandsInTheDrawBitmapAlignedInItsRectangle) {
  RasterBitmap* drawn = g->GetDrawBitmap();
  auto fillWhite = [&] {
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 200; ++x) RowAddress(*drawn, y)[x] = 0xFFFFFFFF;
  };
  auto inkColumns = [&](int* left, int* right) {
    *left = 1000;
    *right = -1;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 200; ++x)
        if ((RowAddress(*drawn, y)[x] & 0xFF) < 128) {
          *left = std::min(*left, x);
          *right = std::max(*right, x);
        }
  };
  int l1, r1, l2, r2;
  const IRect box(10, 5, 190, 25);
  fillWhite();
  const ITextStyle left("Arial", 14, IColor(255, 0, 0, 0), ITextStyle::StyleNormal, ITextStyle::AlignNear, 0);
  ASSERT_TRUE(g->DrawText(&left, "Cyclochord", &box));
  inkColumns(&l1, &r1);
  fillWhite();
  const ITextStyle right("Arial", 14, IColor(255, 0, 0, 0), ITextStyle::StyleNormal, ITextStyle::AlignFar, 0);
  ASSERT_TRUE(g->DrawText(&right, "Cyclochord", &box));
  inkColumns(&l2, &r2);
  EXPECT_LT(l1, 14);
  EXPECT_GT(r2, 184);
  EXPECT_NEAR(r1 - l1, r2 - l2, 1) << "the same text, moved";
}

TEST_F(WinEditor, BitmapsComeFromTheModulesPngResourcesByExtension) {
  RasterBitmap* bg = g->LoadPlatformBitmap(100, "img/bg.png");
  ASSERT_NE(bg, nullptr);
  EXPECT_EQ(bg->Width(), 410);
  EXPECT_EQ(bg->Height(), 680);
  delete bg;
  RasterBitmap* upper = g->LoadPlatformBitmap(101, "HANDLE.PNG");
  EXPECT_NE(upper, nullptr);
  delete upper;
  EXPECT_EQ(g->LoadPlatformBitmap(100, "img/bg.bmp"), nullptr);
  EXPECT_EQ(g->LoadPlatformBitmap(100, "png"), nullptr);
  EXPECT_EQ(g->LoadPlatformBitmap(555, "img/none.png"), nullptr);
}

// ---- The host's hand-over to its window ----

namespace {

struct PlaceRecorder {
  static std::vector<IRect> sPlaces;  // the host's WindowPlace each time it made a window
  static std::unique_ptr<EditorWindow> Make(IGraphicsWin* graphics, void* parent) {
    sPlaces.push_back(graphics->WindowPlace());
    return FakeEditorWindow::Make(graphics, parent);
  }
};
std::vector<IRect> PlaceRecorder::sPlaces;

struct PlainControl : IControl {
  using IControl::IControl;
  bool Draw(IGraphics*) override { return true; }
};

std::unique_ptr<IGraphicsWin> HostOnFakeWindows(int w = 200, int h = 60) {
  FakeEditorWindow::Reset();
  PlaceRecorder::sPlaces.clear();
  std::unique_ptr<IGraphicsWin> g(
      static_cast<IGraphicsWin*>(MakePlatformGraphics(nullptr, w, h, 0, nullptr, kTestWindowNames)));
  g->PrepareDrawing();
  g->SetWindowFactory(PlaceRecorder::Make);
  return g;
}

}  // namespace

TEST(IGraphicsWinWindow, WithoutAWindowPaintingIsANoOpAndNoBoxOpens) {
  auto g = HostOnFakeWindows();
  g->SetWindowFactory(nullptr);
  const IRect r(0, 0, 10, 10);
  EXPECT_TRUE(g->PaintToWindow(&r));
  EXPECT_EQ(g->OpenWindow(reinterpret_cast<void*>(0x99)), nullptr);
  EXPECT_EQ(g->GetWindow(), nullptr);
  EXPECT_FALSE(g->WindowIsOpen());
  PlainControl control(nullptr, IRect(0, 0, 5, 5), 0);
  IParameter param;
  g->OpenTextEntry(&control, &param, false);
  EXPECT_EQ(g->EditedControl(), nullptr);
  g->Resize(220, 70);
  EXPECT_EQ(g->Width(), 220);
}

TEST(IGraphicsWinWindow, WindowGetsPaintsGrowthAndEntryRequestsAndATextBoxEditsNoParameter) {
  auto g = HostOnFakeWindows();
  auto* control = new PlainControl(nullptr, IRect(0, 0, 5, 5), 0);
  g->AttachControl(control);
  const IRect all(0, 0, 200, 60);
  g->Draw(&all);
  ASSERT_FALSE(control->IsDirty());
  EXPECT_EQ(g->OpenWindow(reinterpret_cast<void*>(0x99)), reinterpret_cast<void*>(0x1234));
  EXPECT_EQ(g->ParentWindow(), reinterpret_cast<HWND>(0x99));
  EXPECT_TRUE(control->IsDirty()) << "a new window shows everything";
  FakeEditorWindow* window = FakeEditorWindow::sLast;
  ASSERT_NE(window, nullptr);
  IRect dirty;
  ASSERT_TRUE(g->IsDirty(&dirty));
  g->Draw(&dirty);
  EXPECT_EQ(window->mPaints, (std::vector<IRect>{IRect(0, 0, 5, 5)}));

  g->Resize(250, 40);
  g->Resize(250, 40);
  EXPECT_EQ(window->mGrowths, (std::vector<std::pair<int, int>>{{50, -20}, {0, 0}}));

  IParameter param;
  g->OpenTextEntry(nullptr, &param, false);
  g->OpenTextEntry(control, nullptr, false);
  EXPECT_TRUE(window->mEntries.empty());
  g->OpenTextEntry(control, &param, true);
  ASSERT_EQ(window->mEntries.size(), 1u);
  EXPECT_TRUE(window->mEntries[0].mTextMode);
  EXPECT_EQ(g->EditedControl(), control);
  EXPECT_EQ(g->EditedParam(), nullptr) << "what is typed in text mode sets no parameter";
  g->OpenTextEntry(control, &param, false);  // a box is open already
  EXPECT_EQ(window->mEntries.size(), 1u);
  g->CloseWindow();
  EXPECT_EQ(FakeEditorWindow::sLast, nullptr);
  EXPECT_EQ(g->EditedControl(), nullptr);
}

TEST(IGraphicsWinWindow, OpeningAgainWithoutClosingPlacesTheNewWindowWhereTheOldOneStood) {
  const struct {
    bool oldKnowsPlace;
    IRect expected;
  } cases[] = {{true, IRect(5, 7, 305, 207)}, {false, IRect(0, 0, 200, 60)}};
  for (const auto& c : cases) {
    auto g = HostOnFakeWindows();
    FakeEditorWindow::sKnowsPlace = c.oldKnowsPlace;
    FakeEditorWindow::sPlace = IRect(5, 7, 305, 207);
    ASSERT_NE(g->OpenWindow(reinterpret_cast<void*>(0x99)), nullptr);
    ASSERT_NE(g->OpenWindow(reinterpret_cast<void*>(0x99)), nullptr);
    EXPECT_EQ(FakeEditorWindow::sMade, 2);
    ASSERT_EQ(PlaceRecorder::sPlaces.size(), 2u);
    EXPECT_EQ(PlaceRecorder::sPlaces[0], IRect(0, 0, 200, 60));
    EXPECT_EQ(PlaceRecorder::sPlaces[1], c.expected) << c.oldKnowsPlace;
    // Closed in between, the next window starts afresh.
    g->CloseWindow();
    ASSERT_NE(g->OpenWindow(reinterpret_cast<void*>(0x99)), nullptr);
    EXPECT_EQ(PlaceRecorder::sPlaces.back(), IRect(0, 0, 200, 60));
  }
}
