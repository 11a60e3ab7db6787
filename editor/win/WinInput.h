// Windows pointer and key messages in the graphics host's terms: modifiers and key codes. Nothing here creates
// or asks a window, so the rules stand on their own.
#pragma once

#include <windows.h>

#include "IGraphicsStructs.h"

namespace wininput {

// The modifiers of a mouse message's key flags (MK_*); the flags leave out alt, which the caller reads from the
// keyboard's state.
IMouseMods ModsFor(WPARAM keys, bool alt);

// The controls' key code of a virtual key: space, arrows, digits and letters; -1 for keys the controls do not
// know.
int KeyCodeFor(WPARAM virtualKey);

}  // namespace wininput
