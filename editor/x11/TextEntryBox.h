// The typed-entry box apart from any window system: a list of a parameter's display texts to pick from, or a
// one-line edit box, with its keys, clicks, placement and painting.
#pragma once

#include <string>
#include <vector>

#include "IGraphicsStructs.h"

class FreeTypeFont;
struct PixelContext;

class TextEntryBox {
 public:
  enum EKind { kList, kEdit };
  enum EKey { kKeyEnter, kKeyBackspace, kKeyDelete, kKeyLeft, kKeyRight, kKeyHome, kKeyEnd, kKeyUp, kKeyDown };
  enum EAnswer { kIgnored, kChanged, kCommit };

  static constexpr int kEditWidth = 36;
  static constexpr int kEditHeight = 16;
  static constexpr int kRowHeight = 18;
  static constexpr int kMaxTextLength = 999;

  // A list of items with the last one equal to value marked (none when none is), its top centred under
  // (cx, cy), moved inside bounds as far as it fits.
  // Positions are in screen pixels; the box's own measures grow with scale (screen pixels per editor unit).
  static TextEntryBox List(std::vector<std::string> items, const std::string& value, int cx, int cy,
                           const IRect& bounds, double scale = 1.0);
  // An edit box centred on (cx, cy) holding text, all of it selected.
  static TextEntryBox Edit(const std::string& text, int cx, int cy, const IRect& bounds, double scale = 1.0);

  EKind Kind() const { return mKind; }
  // Where the box lies in the editor.
  const IRect& Rect() const { return mRect; }

  EAnswer OnKey(EKey key);
  EAnswer OnCharacter(char c);
  // A left click at (x, y) inside the box: a list chooses the item there, an edit box moves its caret there.
  EAnswer OnClick(int x, int y, FreeTypeFont* font);

  // The list's marked item ("" when none is), or the edit box's text.
  std::string Text() const;
  // Shows value: a list marks the first item equal to it, an edit box takes it as its text (all selected).
  void Show(const std::string& value);
  // The value that the box was opened with or last shown; what the user typed or marked since may differ.
  const std::string& ValueShown() const { return mValueShown; }

  // Paints the whole box into surface, whose top-left is the box's.
  void Paint(PixelContext* surface, FreeTypeFont* font) const;

  int Selected() const { return mSelected; }
  int FirstVisible() const { return mFirstVisible; }
  int Caret() const { return mCaret; }
  bool AllSelected() const { return mAllSelected; }
  const std::vector<std::string>& Items() const { return mItems; }

 private:
  TextEntryBox() = default;
  int VisibleRows() const;
  void KeepSelectedVisible();
  // Left edge of the text in the edit box, scrolled so that the caret is inside.
  int TextLeft(FreeTypeFont* font) const;
  void ReplaceSelection();

  EKind mKind = kEdit;
  IRect mRect;
  int mRowHeight = kRowHeight;
  std::vector<std::string> mItems;
  int mSelected = -1;
  int mFirstVisible = 0;
  std::string mText;
  int mCaret = 0;
  bool mAllSelected = false;
  std::string mValueShown;
};
