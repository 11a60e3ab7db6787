// What the plug-in base and the wrapper need of an attached editor (the graphics host).
#pragma once

class IEditorInterface {
 public:
  virtual ~IEditorInterface() = default;
  virtual void PrepareDrawing() = 0;
  virtual void SetParameterFromPlug(int paramIdx, double value, bool normalized) = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Returns the editor's window, or null when it could not be opened.
  virtual void* OpenWindow(void* parentWindow) = 0;
  virtual void CloseWindow() = 0;
};
