// The Windows editor window's typed-entry box: a drop-down list or a small edit box over a control, its subclass
// procedure and the requests (commit, cancel, refresh) that the window's timer serves.
#include <cstring>
#include <string>

#include "EditorWindowWin.h"
#include "IControl.h"
#include "IGraphicsWin.h"
#include "IParameter.h"
#include "ITextControl.h"

namespace {
constexpr int kListItemHeight = 36;
constexpr int kEditWidth = 36;
constexpr int kEditHeight = 16;
}  // namespace

bool EditorWindowWin::OpenTextEntry(IControl* control, IParameter* param, bool textMode) {
  if (!control || (!param && !textMode) || mEntryBox || !mWindow) return false;
  // The box lives in window pixels, over the control's place at the current scale.
  const IRect rect = mGraphics->ToPhysical(control->GetRECT());
  const double scale = mGraphics->Scale();
  auto scaled = [scale](int v) { return static_cast<int>(v * scale + 0.5); };
  std::string text;
  int centreX, centreY;
  if (textMode) {
    // Only text controls have text of their own; the others open with an empty box.
    if (const auto* textControl = dynamic_cast<const ITextControl*>(control)) text = textControl->GetText();
    centreX = rect.L + (rect.R - rect.L) / 2;
    centreY = rect.T + (rect.B - rect.T) / 2;
  } else {
    char display[kParamTextSize] = {};
    param->FormatDisplay(param->Value(), false, display);
    text = display;
    centreX = static_cast<int>((rect.L + rect.R) * 0.5);
    centreY = static_cast<int>((rect.T + rect.B) * 0.5);
  }
  if (text.size() > 999) text.resize(999);

  const int nItems = !textMode ? param->NumDisplayTexts() : 0;
  HWND box = nullptr;
  const HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEntryBoxId));
  if (nItems > 0) {
    int width = scaled(24);
    for (int i = 0; i < nItems; ++i) {
      const int itemWidth = scaled(8 * static_cast<int>(std::strlen(param->DisplayTextFor(i))) + 24);
      if (itemWidth > width) width = itemWidth;
    }
    box = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, centreX - width / 2, centreY,
                          width, scaled(kListItemHeight) * (nItems + 1), mWindow, id, mModule, nullptr);
    if (!box) return false;
    int selected = -1;
    for (int i = 0; i < nItems; ++i) {
      const char* item = param->DisplayTextFor(i);
      SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
      if (text == item) selected = i;
    }
    SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  } else {
    box = CreateWindowExA(0, "EDIT", text.c_str(), WS_CHILD | WS_VISIBLE | ES_CENTER | ES_MULTILINE,
                          centreX - scaled(kEditWidth) / 2, centreY - scaled(kEditHeight) / 2, scaled(kEditWidth),
                          scaled(kEditHeight), mWindow, id, mModule, nullptr);
    if (!box) return false;
    SendMessageA(box, EM_SETSEL, 0, -1);
  }

  mEntryBox = box;
  // Subclassed before it takes the focus, so the focus message already finds the entry procedure.
  mEntryBoxProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditorWindowWin::EntryProc)));
  SetWindowLongPtrA(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  mEntryFont = CreateFontA(scaled(14), 0, 0, 0, 0, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Arial");
  SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(mEntryFont), 0);
  SetFocus(box);
  return true;
}

LRESULT CALLBACK EditorWindowWin::EntryProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* window = reinterpret_cast<EditorWindowWin*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!window || window->mEntryBox != hwnd || !window->mEntryBoxProc)
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  const WNDPROC own = window->mEntryBoxProc;
  switch (msg) {
    case WM_SETFOCUS:
      window->mEntryState = EntryEditing;
      break;
    case WM_KILLFOCUS:
      window->mEntryState = EntryNone;
      break;
    case WM_GETDLGCODE: {
      LRESULT code = CallWindowProcA(own, hwnd, msg, wParam, lParam);
      const MSG* query = reinterpret_cast<const MSG*>(lParam);
      if (query && query->message == WM_KEYDOWN && query->wParam == VK_RETURN) code |= DLGC_WANTALLKEYS;
      return code;
    }
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        window->mEntryState = EntryCommit;
        return 0;
      }
      break;
    case WM_COMMAND:
      // The list inside a drop-down reports a new selection to the box with the same code the box uses.
      if (HIWORD(wParam) == CBN_SELCHANGE) {
        window->mEntryState = EntryCommit;
        return 0;
      }
      break;
    default:
      break;
  }
  return CallWindowProcA(own, hwnd, msg, wParam, lParam);
}

void EditorWindowWin::ReadEntryText(char* text) const {
  text[0] = '\0';
  SendMessageA(mEntryBox, WM_GETTEXT, kEntryTextSize - 1, reinterpret_cast<LPARAM>(text));
  text[kEntryTextSize - 1] = '\0';
}

void EditorWindowWin::ServeEntryState() {
  IParameter* param = mGraphics->EditedParam();
  switch (mEntryState) {
    case EntryUpdate:
      if (param) {
        char display[kParamTextSize] = {};
        param->FormatDisplay(param->Value(), false, display);
        char text[kEntryTextSize];
        ReadEntryText(text);
        if (std::strcmp(display, text) != 0) {
          if (param->NumDisplayTexts() > 0) {
            // An exact match: a prefix search would take "1/4d" for "1/4".
            const LRESULT item = SendMessageA(mEntryBox, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(display));
            if (item != CB_ERR) SendMessageA(mEntryBox, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
          } else {
            SendMessageA(mEntryBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(display));
          }
        }
      }
      break;
    case EntryCancel:
      CloseEntryBox();
      break;
    case EntryCommit: {
      char text[kEntryTextSize];
      ReadEntryText(text);
      // The host hears of the new value and may close the editor from inside that call; this window is gone then.
      bool closed = false;
      mClosed = &closed;
      mGraphics->CommitTextEntry(text);
      if (closed) return;
      mClosed = nullptr;
      CloseEntryBox();
      break;
    }
    default:
      break;
  }
  mEntryState = EntryNone;
}

void EditorWindowWin::CloseEntryBox() {
  if (mEntryBox) {
    const bool hadFocus = GetFocus() == mEntryBox;
    SetWindowLongPtrA(mEntryBox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(mEntryBoxProc));
    DestroyWindow(mEntryBox);
    // Keys go back to the editor rather than nowhere.
    if (hadFocus && mWindow && IsWindow(mWindow)) SetFocus(mWindow);
  }
  mEntryBox = nullptr;
  mEntryBoxProc = nullptr;
  mGraphics->SetEdited(nullptr, nullptr);
  mEntryState = EntryNone;
  if (mEntryFont) {
    DeleteObject(mEntryFont);
    mEntryFont = nullptr;
  }
}
