// The platform window behind a Linux graphics host: what the host needs of it, so that the window system
// lives in its own files.
#pragma once

#include <memory>

#include "IGraphicsStructs.h"

class IControl;
class IGraphicsLinux;
class IParameter;

class EditorWindow {
 public:
  virtual ~EditorWindow() = default;
  // The native window (an X11 window id on Linux).
  virtual void* Handle() const = 0;
  // Copies r of the host's draw bitmap to the same place on screen.
  virtual bool Paint(const IRect* r) = 0;
  // Shows a typed-entry box over the control; false when none could be made.
  virtual bool OpenTextEntry(IControl* control, IParameter* param, bool textMode) = 0;
  virtual bool HasTextEntry() const = 0;
};

// Makes the window inside parent, or returns null when it cannot.
using EditorWindowFactory = std::unique_ptr<EditorWindow> (*)(IGraphicsLinux* graphics, void* parent);
