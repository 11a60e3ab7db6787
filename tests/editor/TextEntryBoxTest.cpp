// The typed-entry box without a window: where it goes, how keys and clicks change it, what it paints.
#include <gtest/gtest.h>

#include <memory>

#include "FreeTypeFont.h"
#include "PixelContext.h"
#include "TextEntryBox.h"

namespace {

const IRect kEditor(0, 0, 410, 680);

std::vector<std::string> Delays() {
  return {"--off--", "1/1",  "1/2d", "1/2",   "1/4d", "1/4",  "1/8d",  "1/2t", "1/8",
          "1/16d",   "1/4t", "1/16", "1/32d", "1/8t", "1/32", "1/16t", "1/32t"};
}

std::unique_ptr<FreeTypeFont> Font() {
  const ITextStyle style("Arial", 14, IColor(255, 0, 0, 0), ITextStyle::StyleNormal, ITextStyle::AlignNear, 0);
  return FreeTypeFont::Create(&style);
}

struct Surface {
  std::vector<Pixel> pixels;
  PixelContext context;
  explicit Surface(const IRect& r) : pixels(size_t(r.W()) * size_t(r.H())) {
    context.mBits = pixels.data();
    context.mWidth = r.W();
    context.mHeight = r.H();
    context.mRowSpan = r.W();
  }
  Pixel At(int x, int y) const { return pixels[size_t(y) * size_t(context.mWidth) + size_t(x)]; }
  // Dark pixels in a band of rows.
  int Ink(int top, int bottom) const {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = 0; x < context.mWidth; ++x) n += (At(x, y) & 0xFF) < 100 && ((At(x, y) >> 16) & 0xFF) < 100;
    return n;
  }
};

}  // namespace

TEST(TextEntryBoxList, SizedByTheLongestItemAndPlacedBelowTheCentre) {
  const TextEntryBox box = TextEntryBox::List(Delays(), "--off--", 280, 133, kEditor);
  EXPECT_EQ(box.Kind(), TextEntryBox::kList);
  // 8 pixels per character of "--off--" plus 24; one 18-pixel row per item and a frame.
  EXPECT_EQ(box.Rect(), IRect(240, 133, 320, 133 + 17 * 18 + 2));
  EXPECT_EQ(box.Text(), "--off--");
  // Short items: never narrower than 24 + 8.
  EXPECT_EQ(TextEntryBox::List({"C"}, "D", 100, 50, kEditor).Rect(), IRect(84, 50, 116, 70));
  EXPECT_EQ(TextEntryBox::List({"C"}, "D", 100, 50, kEditor).Text(), "");
}

TEST(TextEntryBoxList, MovesInsideTheEditorAndScrollsWhenTallerThanIt) {
  // A delay text near the bottom right: the list moves up and left instead of hanging out of the window.
  const TextEntryBox low = TextEntryBox::List(Delays(), "1/32t", 400, 653, kEditor);
  EXPECT_EQ(low.Rect(), IRect(330, 680 - 308, 410, 680));
  std::vector<std::string> many;
  for (int i = 0; i < 100; ++i) many.push_back(std::to_string(i));
  TextEntryBox tall = TextEntryBox::List(many, "99", 200, 300, kEditor);
  EXPECT_EQ(tall.Rect().H(), 680);
  EXPECT_EQ(tall.Rect().T, 0);
  const int rows = (680 - 2) / 18;
  EXPECT_EQ(tall.FirstVisible(), 100 - rows) << "the marked item is in view";
  EXPECT_EQ(tall.OnKey(TextEntryBox::kKeyHome), TextEntryBox::kChanged);
  EXPECT_EQ(tall.FirstVisible(), 0);
  // A click picks the row under it, counted from the first row in view.
  tall.OnKey(TextEntryBox::kKeyEnd);
  EXPECT_EQ(tall.OnClick(10, 1 + 18 + 5, nullptr), TextEntryBox::kCommit);
  EXPECT_EQ(tall.Text(), std::to_string(100 - rows + 1));
}

TEST(TextEntryBoxList, KeysMoveTheMarkEnterAndClicksChoose) {
  TextEntryBox box = TextEntryBox::List(Delays(), "1/3", 280, 133, kEditor);
  EXPECT_EQ(box.OnKey(TextEntryBox::kKeyDown), TextEntryBox::kChanged);
  EXPECT_EQ(box.Text(), "--off--");
  EXPECT_EQ(box.OnKey(TextEntryBox::kKeyUp), TextEntryBox::kIgnored) << "already at the top";
  box.OnKey(TextEntryBox::kKeyEnd);
  EXPECT_EQ(box.Text(), "1/32t");
  EXPECT_EQ(box.OnKey(TextEntryBox::kKeyDown), TextEntryBox::kIgnored);
  EXPECT_EQ(box.OnCharacter('1'), TextEntryBox::kChanged);
  EXPECT_EQ(box.Text(), "1/1") << "typing jumps to the next item that starts so, from the top again";
  EXPECT_EQ(box.OnKey(TextEntryBox::kKeyEnter), TextEntryBox::kCommit);
  EXPECT_EQ(box.OnClick(10, 1 + 5 * 18 + 3, nullptr), TextEntryBox::kCommit);
  EXPECT_EQ(box.Text(), "1/4");
  EXPECT_EQ(box.OnClick(10, 0, nullptr), TextEntryBox::kIgnored) << "the frame";
  EXPECT_EQ(box.OnClick(90, 20, nullptr), TextEntryBox::kIgnored) << "outside";
}

TEST(TextEntryBoxList, OpensOnTheLastEqualItemShowMarksTheFirstOrKeepsTheMark) {
  TextEntryBox box = TextEntryBox::List({"a", "b", "b", "c"}, "b", 100, 100, kEditor);
  EXPECT_EQ(box.Selected(), 2);
  box.OnKey(TextEntryBox::kKeyDown);
  EXPECT_EQ(box.ValueShown(), "b") << "the user's marking is not a shown value";
  box.Show("b");
  EXPECT_EQ(box.Selected(), 1);
  box.Show("zz");
  EXPECT_EQ(box.Selected(), 1);
  EXPECT_EQ(box.ValueShown(), "zz");
}

TEST(TextEntryBoxEdit, ThirtySixBySixteenCentredWithEverythingSelected) {
  TextEntryBox box = TextEntryBox::Edit("1", 144, 133, kEditor);
  EXPECT_EQ(box.Kind(), TextEntryBox::kEdit);
  EXPECT_EQ(box.Rect(), IRect(126, 125, 162, 141));
  EXPECT_TRUE(box.AllSelected());
  EXPECT_EQ(TextEntryBox::Edit("1", 5, 3, kEditor).Rect(), IRect(0, 0, 36, 16));
  // Typing replaces the selection, then inserts at the caret.
  EXPECT_EQ(box.OnCharacter('1'), TextEntryBox::kChanged);
  EXPECT_EQ(box.OnCharacter('2'), TextEntryBox::kChanged);
  EXPECT_EQ(box.Text(), "12");
  EXPECT_EQ(box.OnCharacter('\t'), TextEntryBox::kIgnored);
  EXPECT_EQ(box.OnKey(TextEntryBox::kKeyEnter), TextEntryBox::kCommit);
}

TEST(TextEntryBoxEdit, CaretKeysBackspaceAndDelete) {
  TextEntryBox box = TextEntryBox::Edit("-24", 100, 100, kEditor);
  box.OnKey(TextEntryBox::kKeyLeft);  // ends the selection at its start
  EXPECT_EQ(box.Caret(), 0);
  EXPECT_FALSE(box.AllSelected());
  EXPECT_EQ(box.OnKey(TextEntryBox::kKeyBackspace), TextEntryBox::kIgnored);
  EXPECT_EQ(box.OnKey(TextEntryBox::kKeyDelete), TextEntryBox::kChanged);
  EXPECT_EQ(box.Text(), "24");
  box.OnKey(TextEntryBox::kKeyEnd);
  box.OnKey(TextEntryBox::kKeyBackspace);
  box.OnCharacter('0');
  EXPECT_EQ(box.Text(), "20");
  box.OnKey(TextEntryBox::kKeyHome);
  box.OnCharacter('-');
  EXPECT_EQ(box.Text(), "-20");
  EXPECT_EQ(box.OnKey(TextEntryBox::kKeyDelete), TextEntryBox::kChanged);
  EXPECT_EQ(box.Text(), "-0");
  EXPECT_EQ(box.OnKey(TextEntryBox::kKeyUp), TextEntryBox::kIgnored);
  // With everything selected a backspace empties the box.
  box.Show("5");
  EXPECT_EQ(box.OnKey(TextEntryBox::kKeyBackspace), TextEntryBox::kChanged);
  EXPECT_EQ(box.Text(), "");
}

TEST(TextEntryBoxEdit, ClickPutsTheCaretAtTheNearestBoundary) {
  auto font = Font();
  ASSERT_NE(font, nullptr);
  TextEntryBox box = TextEntryBox::Edit("1234", 100, 100, kEditor);
  // The text is centred in the box: a click on its right half lands after the last digit.
  const int width = font->TextWidth("1234");
  const int left = (36 - width) / 2;
  box.OnClick(left + width - 1, 8, font.get());
  EXPECT_EQ(box.Caret(), 4);
  box.OnClick(left + font->TextWidth("1") + 1, 8, font.get());
  EXPECT_EQ(box.Caret(), 1);
  EXPECT_FALSE(box.AllSelected());
}

TEST(TextEntryBoxPaint, MarkedRowAndSelectedTextAreHighlightedCaretShownAfterwards) {
  auto font = Font();
  ASSERT_NE(font, nullptr);
  const TextEntryBox list = TextEntryBox::List(Delays(), "1/2d", 280, 133, kEditor);
  Surface s(list.Rect());
  list.Paint(&s.context, font.get());
  EXPECT_EQ(s.At(0, 0), 0xFF7A7A7Au) << "frame";
  EXPECT_EQ(s.At(70, 1 + 2 * 18 + 1), 0xFF0078D7u) << "marked row";
  EXPECT_EQ(s.At(70, 1 + 3 * 18 + 1), 0xFFFFFFFFu) << "next row";
  for (int row = 0; row < 17; ++row) {
    if (row == 2) continue;  // white on the mark
    EXPECT_GT(s.Ink(1 + row * 18, 1 + (row + 1) * 18), 5) << "row " << row;
  }

  TextEntryBox edit = TextEntryBox::Edit("7", 100, 100, kEditor);
  Surface selected(edit.Rect());
  edit.Paint(&selected.context, font.get());
  const int left = (36 - font->TextWidth("7")) / 2;
  EXPECT_EQ(selected.At(left + 1, 13), 0xFF0078D7u) << "selection behind the text";
  edit.OnKey(TextEntryBox::kKeyEnd);
  Surface caret(edit.Rect());
  edit.Paint(&caret.context, font.get());
  const int caretX = left + font->TextWidth("7");
  EXPECT_EQ(caret.At(caretX, 8), 0xFF000000u);
  EXPECT_EQ(caret.At(caretX + 2, 8), 0xFFFFFFFFu);
}
