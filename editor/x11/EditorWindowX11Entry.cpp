// The X11 editor window's typed-entry box: opening it over a control, its events and its states.
#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "EditorWindowX11.h"
#include "FreeTypeFont.h"
#include "IControl.h"
#include "IGraphicsLinux.h"
#include "IParameter.h"
#include "IPluginBase.h"
#include "ITextControl.h"
#include "TextEntryX11.h"

namespace {
// Focus events with this detail or above concern the pointer, not the keyboard.
constexpr std::uint8_t kNotifyPointer = 5;
}  // namespace

bool EditorWindowX11::OpenTextEntry(IControl* control, IParameter* param, bool textMode) {
  if (!control || (!param && !textMode) || mHasEntry) return false;
  // The box lives in screen pixels, over the control's place at the current scale.
  const IRect rc = mGraphics->ToPhysical(control->GetRECT());
  const IRect bounds(0, 0, mWidth, mHeight);
  const double scale = mGraphics->Scale();
  mEntryScale = scale;
  if (textMode) {
    const auto* text = dynamic_cast<const ITextControl*>(control);
    const std::string shown = text ? std::string(text->GetText()).substr(0, 999) : std::string();
    mPendingEntry = std::make_unique<TextEntryBox>(
        TextEntryBox::Edit(shown, rc.L + (rc.R - rc.L) / 2, rc.T + (rc.B - rc.T) / 2, bounds, scale));
  } else {
    const int cx = static_cast<int>((rc.L + rc.R) * 0.5);
    const int cy = static_cast<int>((rc.T + rc.B) * 0.5);
    char current[kParamTextSize] = {};
    param->FormatDisplay(param->Value(), false, current);
    const int n = param->NumDisplayTexts();
    if (n > 0) {
      std::vector<std::string> items;
      for (int i = 0; i < n; ++i) items.emplace_back(param->DisplayTextFor(i));
      mPendingEntry =
          std::make_unique<TextEntryBox>(TextEntryBox::List(std::move(items), current, cx, cy, bounds, scale));
    } else {
      mPendingEntry = std::make_unique<TextEntryBox>(TextEntryBox::Edit(current, cx, cy, bounds, scale));
    }
  }
  mHasEntry = true;
  return true;
}

void EditorWindowX11::ShowPendingEntry(xcb_timestamp_t time) {
  if (mEntry || !mHasEntry) return;
  std::unique_ptr<TextEntryBox> box;
  {
    ControlsLock lock(this);
    if (!lock) return;
    box = std::move(mPendingEntry);
  }
  if (!box) return;
  const int size = static_cast<int>(std::lround(14 * mEntryScale));
  if (!mEntryFont || mEntryFont->CellHeight() != size) {
    const ITextStyle style("Arial", size, IColor(255, 0, 0, 0), ITextStyle::StyleNormal, ITextStyle::AlignNear, 0);
    mEntryFont = FreeTypeFont::Create(&style);
  }
  mEntry = std::make_unique<TextEntryX11>(mConnection, mWindow, mVisual, mDepth, mSwapBytes, std::move(*box),
                                          mEntryFont.get());
  mEntry->TakeFocus(time);
  xcb_flush(mConnection);
}

void EditorWindowX11::OnEntryEvent(const xcb_generic_event_t* event) {
  switch (event->response_type & 0x7F) {
    case XCB_EXPOSE:
      if (reinterpret_cast<const xcb_expose_event_t*>(event)->count == 0) mEntry->Repaint();
      return;
    case XCB_FOCUS_IN:
    case XCB_FOCUS_OUT: {
      const auto* e = reinterpret_cast<const xcb_focus_in_event_t*>(event);
      if (e->mode == XCB_NOTIFY_MODE_GRAB || e->mode == XCB_NOTIFY_MODE_UNGRAB || e->detail >= kNotifyPointer) return;
      // A decision already taken (Enter, a chosen item, a right click) outlives a change of focus.
      if (mEntryState == EntryCommit || mEntryState == EntryCancel) return;
      mEntryState = (event->response_type & 0x7F) == XCB_FOCUS_IN ? EntryEditing : EntryNone;
      return;
    }
    case XCB_BUTTON_PRESS: {
      const auto* e = reinterpret_cast<const xcb_button_press_event_t*>(event);
      // Two presses make a double-click only when nothing was pressed between them.
      mClicks.Reset();
      if (e->detail == x11input::kRightButton) {
        mEntryState = EntryCancel;
        return;
      }
      if (e->detail != x11input::kLeftButton) return;
      const TextEntryBox::EAnswer answer = mEntry->Box().OnClick(e->event_x, e->event_y, mEntry->Font());
      if (answer == TextEntryBox::kCommit) {
        mEntryState = EntryCommit;
      } else if (mEntryState != EntryEditing) {
        mEntry->TakeFocus(e->time);
      }
      mEntry->Repaint();
      return;
    }
    case XCB_KEY_PRESS: {
      const auto* e = reinterpret_cast<const xcb_key_press_event_t*>(event);
      namespace ks = x11input::keysym;
      const std::uint32_t sym = mKeyboard.KeysymFor(e->detail, e->state);
      TextEntryBox& box = mEntry->Box();
      TextEntryBox::EAnswer answer = TextEntryBox::kIgnored;
      switch (sym) {
        case ks::kReturn:
        case ks::kKeypadEnter:
          answer = box.OnKey(TextEntryBox::kKeyEnter);
          break;
        case ks::kBackSpace:
          answer = box.OnKey(TextEntryBox::kKeyBackspace);
          break;
        case ks::kDelete:
          answer = box.OnKey(TextEntryBox::kKeyDelete);
          break;
        case ks::kLeft:
          answer = box.OnKey(TextEntryBox::kKeyLeft);
          break;
        case ks::kRight:
          answer = box.OnKey(TextEntryBox::kKeyRight);
          break;
        case ks::kUp:
          answer = box.OnKey(TextEntryBox::kKeyUp);
          break;
        case ks::kDown:
          answer = box.OnKey(TextEntryBox::kKeyDown);
          break;
        case ks::kHome:
          answer = box.OnKey(TextEntryBox::kKeyHome);
          break;
        case ks::kEnd:
          answer = box.OnKey(TextEntryBox::kKeyEnd);
          break;
        default:
          if (!(e->state & (x11input::kControlMask | x11input::kMod1Mask)))
            answer = box.OnCharacter(x11input::CharacterFor(sym));
          break;
      }
      if (answer == TextEntryBox::kCommit) mEntryState = EntryCommit;
      if (answer == TextEntryBox::kChanged) mEntry->Repaint();
      return;
    }
    default:
      return;
  }
}

void EditorWindowX11::ServeEntryState() {
  const int state = mEntryState;
  mEntryState = EntryNone;
  if (state == EntryUpdate) {
    std::string shown;
    {
      ControlsLock lock(this);
      if (!lock) return;
      const IParameter* param = mGraphics->EditedParam();
      if (!param) return;
      char text[kParamTextSize] = {};
      param->FormatDisplay(param->Value(), false, text);
      shown = text;
    }
    // Only a value that changed since the box showed it replaces what the user has typed or marked there; any
    // redraw while the box is away from the keyboard would otherwise throw the typing away.
    if (shown != mEntry->Box().ValueShown()) {
      mEntry->Box().Show(shown);
      mEntry->Repaint();
    }
    return;
  }
  if (state == EntryCommit) {
    const std::string text = mEntry->Box().Text();
    ControlsLock lock(this);
    if (!lock) return;
    const IControl* control = mGraphics->EditedControl();
    const int paramIdx = control && mGraphics->EditedParam() ? control->ParamIdx() : -1;
    IPluginBase* plug = mGraphics->GetPlug();
    // A typed value is a gesture of its own for the host, like a drag.
    if (plug && paramIdx >= 0) plug->BeginHostEdit(paramIdx);
    mGraphics->CommitTextEntry(text.c_str());
    if (plug && paramIdx >= 0) plug->EndHostEdit(paramIdx);
  }
  CloseEntry();
}

void EditorWindowX11::CloseEntry() {
  mEntry.reset();
  mEntryState = EntryNone;
  ControlsLock lock(this);
  if (lock) mGraphics->SetEdited(nullptr, nullptr);
  mHasEntry = false;
  xcb_flush(mConnection);
}
