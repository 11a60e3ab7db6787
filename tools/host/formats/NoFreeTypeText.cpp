// Builds without FreeType draw picture text with the built-in bitmap font.
#include "TextPainter.h"

namespace cchost {

std::unique_ptr<TextPainter> MakeTextPainter() { return MakeBitmapTextPainter(); }

bool BuildHasFontRendering() { return false; }

}  // namespace cchost
