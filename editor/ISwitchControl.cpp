// Stepping of multi-state switches.
#include "ISwitchControl.h"

void ISwitchControl::OnMouseDown(int, int, const IMouseMods* mods) {
  if (mods && mods->R) {
    PromptUserInput();
  } else {
    mValue += mBitmap.N >= 2 ? 1.0 / (mBitmap.N - 1) : 1.0;
  }
  // The margin absorbs the rounding of repeated 1 / (N - 1) steps.
  if (mValue > 1.001) mValue = 0.0;
  SetDirty(true);
}
