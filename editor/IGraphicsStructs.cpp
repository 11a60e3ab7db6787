// Constructors of the editor's shared records.
#include "IGraphicsStructs.h"

#include "Text.h"

ITextStyle::ITextStyle(const char* face, int size, const IColor& color, int style, int align, int orientation)
    : mSize(size), mColor(color), mStyle(style), mAlign(align), mOrientation(orientation) {
  CopyText(mFont, sizeof(mFont), face);
}
