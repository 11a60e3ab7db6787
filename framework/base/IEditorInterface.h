// What the plug-in base and the wrapper need of an attached editor (the graphics host).
#pragma once

// A host's main loop that can run the editor in place of a thread of the editor's own: it watches a file
// descriptor for reading and fires a timer, calling the editor back on the host's main thread.
class IEditorHostLoop {
 public:
  virtual bool WatchFd(int fd) = 0;
  virtual bool StartTimer(int periodMs) = 0;
  // Unwatches the descriptor and stops the timer.
  virtual void Stop() = 0;

 protected:
  ~IEditorHostLoop() = default;
};

class IEditorInterface {
 public:
  virtual ~IEditorInterface() = default;
  virtual void PrepareDrawing() = 0;
  virtual void SetParameterFromPlug(int paramIdx, double value, bool normalized) = 0;
  // The editor's size in its own logical units, which stay the same at every scale.
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // The window's size in pixels of the screen: the logical size at the scale.
  virtual int WindowWidth() const { return Width(); }
  virtual int WindowHeight() const { return Height(); }
  // Screen pixels per logical unit (1 = 100 %).
  virtual double Scale() const { return 1.0; }
  // The scale the host draws at; false when the editor keeps another (the user chose one, or it cannot scale).
  virtual bool SetHostScale(double /*scale*/) { return false; }
  // Returns the editor's window, or null when it could not be opened.
  virtual void* OpenWindow(void* parentWindow) = 0;
  virtual void CloseWindow() = 0;
  // The loop that windows opened from now on run on, where their platform can (null: their own thread).
  virtual void SetHostLoop(IEditorHostLoop* /*loop*/) {}
  // [host loop's thread] The watched descriptor is readable; the timer fired.
  virtual void OnHostLoopFd() {}
  virtual void OnHostLoopTimer() {}
};
