// The typed-entry box's behaviour and painting: list marking, edit-box typing with a caret, placement.
#include "TextEntryBox.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "FreeTypeFont.h"
#include "PixelContext.h"

namespace {

constexpr Pixel kWhite = 0xFFFFFFFFu;
constexpr Pixel kFrame = 0xFF7A7A7Au;
constexpr Pixel kMark = 0xFF0078D7u;
const IColor kTextColor(255, 0, 0, 0);
const IColor kMarkedTextColor(255, 255, 255, 255);

void Fill(PixelContext* s, IRect r, Pixel p) {
  r.L = std::max(r.L, 0);
  r.T = std::max(r.T, 0);
  r.R = std::min(r.R, s->mWidth);
  r.B = std::min(r.B, s->mHeight);
  for (int y = r.T; y < r.B; ++y) std::fill(s->mBits + y * s->mRowSpan + r.L, s->mBits + y * s->mRowSpan + r.R, p);
}

void Frame(PixelContext* s, Pixel background) {
  Fill(s, IRect(0, 0, s->mWidth, s->mHeight), kFrame);
  Fill(s, IRect(1, 1, s->mWidth - 1, s->mHeight - 1), background);
}

// Moves r inside bounds as far as it fits, shrinking it where it cannot.
IRect PlaceInside(IRect r, const IRect& bounds) {
  const int w = std::min(r.W(), bounds.W());
  const int h = std::min(r.H(), bounds.H());
  r.L = std::clamp(r.L, bounds.L, bounds.R - w);
  r.T = std::clamp(r.T, bounds.T, bounds.B - h);
  r.R = r.L + w;
  r.B = r.T + h;
  return r;
}

int Width(FreeTypeFont* font, const std::string& text) { return font ? font->TextWidth(text.c_str()) : 0; }

int Scaled(int v, double scale) { return static_cast<int>(std::lround(v * scale)); }

}  // namespace

TextEntryBox TextEntryBox::List(std::vector<std::string> items, const std::string& value, int cx, int cy,
                                const IRect& bounds, double scale) {
  TextEntryBox box;
  box.mKind = kList;
  box.mRowHeight = Scaled(kRowHeight, scale);
  const int n = static_cast<int>(items.size());
  int width = Scaled(24, scale);
  for (const std::string& item : items)
    width = std::max(width, Scaled(8 * static_cast<int>(item.size()) + 24, scale));
  // The list is never taller than the height its rows ask for, up to the tallest that a drop-down may be.
  const int height = std::min(n * box.mRowHeight + 2, Scaled(36 * (n + 1), scale));
  box.mRect = PlaceInside(IRect(cx - width / 2, cy, cx - width / 2 + width, cy + height), bounds);
  box.mItems = std::move(items);
  for (int i = 0; i < n; ++i)
    if (box.mItems[size_t(i)] == value) box.mSelected = i;
  box.mValueShown = value;
  box.KeepSelectedVisible();
  return box;
}

TextEntryBox TextEntryBox::Edit(const std::string& text, int cx, int cy, const IRect& bounds, double scale) {
  TextEntryBox box;
  box.mKind = kEdit;
  const int w = Scaled(kEditWidth, scale), h = Scaled(kEditHeight, scale);
  box.mRect = PlaceInside(IRect(cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2), bounds);
  box.Show(text);
  return box;
}

int TextEntryBox::VisibleRows() const { return std::max(1, (mRect.H() - 2) / mRowHeight); }

void TextEntryBox::KeepSelectedVisible() {
  const int rows = VisibleRows();
  const int n = static_cast<int>(mItems.size());
  if (mSelected >= 0) {
    if (mSelected < mFirstVisible) mFirstVisible = mSelected;
    if (mSelected >= mFirstVisible + rows) mFirstVisible = mSelected - rows + 1;
  }
  mFirstVisible = std::clamp(mFirstVisible, 0, std::max(0, n - rows));
}

void TextEntryBox::ReplaceSelection() {
  if (!mAllSelected) return;
  mText.clear();
  mCaret = 0;
  mAllSelected = false;
}

TextEntryBox::EAnswer TextEntryBox::OnKey(EKey key) {
  if (key == kKeyEnter) return kCommit;
  if (mKind == kList) {
    const int last = static_cast<int>(mItems.size()) - 1;
    int to = mSelected;
    if (key == kKeyUp) to = mSelected < 0 ? 0 : mSelected - 1;
    if (key == kKeyDown) to = mSelected + 1;
    if (key == kKeyHome) to = 0;
    if (key == kKeyEnd) to = last;
    to = std::clamp(to, 0, last);
    if (last < 0 || to == mSelected) return kIgnored;
    mSelected = to;
    KeepSelectedVisible();
    return kChanged;
  }
  const int length = static_cast<int>(mText.size());
  switch (key) {
    case kKeyBackspace:
    case kKeyDelete:
      if (mAllSelected) {
        ReplaceSelection();
        return kChanged;
      }
      if (key == kKeyBackspace && mCaret > 0) {
        mText.erase(static_cast<size_t>(--mCaret), 1);
        return kChanged;
      }
      if (key == kKeyDelete && mCaret < length) {
        mText.erase(static_cast<size_t>(mCaret), 1);
        return kChanged;
      }
      return kIgnored;
    case kKeyLeft:
      mCaret = mAllSelected ? 0 : std::max(0, mCaret - 1);
      break;
    case kKeyRight:
      mCaret = mAllSelected ? length : std::min(length, mCaret + 1);
      break;
    case kKeyHome:
      mCaret = 0;
      break;
    case kKeyEnd:
      mCaret = length;
      break;
    default:
      return kIgnored;
  }
  mAllSelected = false;
  return kChanged;
}

TextEntryBox::EAnswer TextEntryBox::OnCharacter(char c) {
  if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return kIgnored;
  if (mKind == kList) {
    // A letter moves the mark to the next item that starts with it, as list boxes do.
    const int n = static_cast<int>(mItems.size());
    const int lower = std::tolower(static_cast<unsigned char>(c));
    for (int step = 1; step <= n; ++step) {
      const int i = (mSelected + step + n) % n;
      if (!mItems[size_t(i)].empty() && std::tolower(static_cast<unsigned char>(mItems[size_t(i)][0])) == lower) {
        if (i == mSelected) return kIgnored;
        mSelected = i;
        KeepSelectedVisible();
        return kChanged;
      }
    }
    return kIgnored;
  }
  ReplaceSelection();
  if (static_cast<int>(mText.size()) >= kMaxTextLength) return kIgnored;
  mText.insert(static_cast<size_t>(mCaret++), 1, c);
  return kChanged;
}

TextEntryBox::EAnswer TextEntryBox::OnClick(int x, int y, FreeTypeFont* font) {
  if (x < 0 || y < 0 || x >= mRect.W() || y >= mRect.H()) return kIgnored;
  if (mKind == kList) {
    if (y < 1) return kIgnored;
    const int row = mFirstVisible + (y - 1) / mRowHeight;
    if (row >= static_cast<int>(mItems.size()) || row >= mFirstVisible + VisibleRows()) return kIgnored;
    mSelected = row;
    return kCommit;
  }
  // The caret goes to the character boundary nearest to the click.
  const int left = TextLeft(font);
  int best = 0;
  int bestDistance = std::abs(x - left);
  for (int i = 1; i <= static_cast<int>(mText.size()); ++i) {
    const int distance = std::abs(x - (left + Width(font, mText.substr(0, size_t(i)))));
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  mCaret = best;
  mAllSelected = false;
  return kChanged;
}

std::string TextEntryBox::Text() const {
  if (mKind == kEdit) return mText;
  return mSelected >= 0 ? mItems[size_t(mSelected)] : std::string();
}

void TextEntryBox::Show(const std::string& value) {
  mValueShown = value;
  if (mKind == kList) {
    const auto found = std::find(mItems.begin(), mItems.end(), value);
    if (found == mItems.end()) return;
    mSelected = static_cast<int>(found - mItems.begin());
    KeepSelectedVisible();
    return;
  }
  mText = value.substr(0, kMaxTextLength);
  mCaret = static_cast<int>(mText.size());
  mAllSelected = true;
}

int TextEntryBox::TextLeft(FreeTypeFont* font) const {
  const int width = Width(font, mText);
  if (width <= mRect.W() - 4) return (mRect.W() - width) / 2;
  // Too long to centre: scrolled so that the caret stays inside.
  const int caretX = Width(font, mText.substr(0, size_t(mCaret)));
  return std::min(2, mRect.W() - 3 - caretX);
}

void TextEntryBox::Paint(PixelContext* surface, FreeTypeFont* font) const {
  if (!surface || !surface->mBits) return;
  Frame(surface, kWhite);
  const IRect inside(1, 1, surface->mWidth - 1, surface->mHeight - 1);
  if (mKind == kList) {
    for (int i = mFirstVisible; i < static_cast<int>(mItems.size()) && i < mFirstVisible + VisibleRows(); ++i) {
      const int top = 1 + (i - mFirstVisible) * mRowHeight;
      const bool marked = i == mSelected;
      if (marked) Fill(surface, IRect(1, top, inside.R, top + mRowHeight), kMark);
      if (!font) continue;
      const IRect textRect(5, top + (mRowHeight - font->CellHeight()) / 2, inside.R - 2, top + mRowHeight);
      font->Draw(surface, mItems[size_t(i)].c_str(), &textRect, ITextStyle::AlignNear,
                 marked ? &kMarkedTextColor : &kTextColor, &inside);
    }
    return;
  }
  if (!font) return;
  const int left = TextLeft(font);
  const int top = std::max(0, (surface->mHeight - font->CellHeight()) / 2);
  const int width = Width(font, mText);
  if (mAllSelected && width > 0)
    Fill(surface, IRect(std::max(1, left), 2, std::min(inside.R, left + width), inside.B - 1), kMark);
  const IRect textRect(left, top, left + width + 1, top + font->CellHeight());
  font->Draw(surface, mText.c_str(), &textRect, ITextStyle::AlignNear, mAllSelected ? &kMarkedTextColor : &kTextColor,
             &inside);
  if (!mAllSelected) {
    const int caretX = left + Width(font, mText.substr(0, size_t(mCaret)));
    Fill(surface, IRect(caretX, 2, caretX + 1, inside.B - 1), 0xFF000000u);
  }
}
