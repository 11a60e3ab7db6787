// The abstract graphics host: owns an editor's controls, finds what to redraw, routes mouse input and carries
// parameter values between the plug-in and the controls.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "IEditorInterface.h"
#include "IGraphicsStructs.h"

class IControl;
class IObserverInterface;
class IParameter;
class IPluginBase;

class IGraphics : public IEditorInterface {
 public:
  static constexpr int kDefaultFrameRate = 24;

  // A frame rate of 0 or less selects the default.
  IGraphics(IPluginBase* plug, int width, int height, int frameRate = 0);
  // Deletes the controls, the last first, then the adopted observers.
  ~IGraphics() override;
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // ---- Drawing and window, supplied by the raster and platform classes ----
  void PrepareDrawing() override = 0;
  virtual bool PaintToWindow(const IRect* r) = 0;
  // Blits from (srcX, srcY) of the bitmap into dest, clipped to the draw rectangle; a null blend is source alpha.
  virtual bool DrawBitmap(const IBitmap* bitmap, const IRect* dest, int srcX, int srcY, const IBlend* blend) = 0;
  virtual bool DrawRotatedBitmap(const IBitmap* bitmap, int destCentreX, int destCentreY, double angle,
                                 int yOffsetZeroDeg, const IBlend* blend) = 0;
  virtual bool DrawRotatedMask(const IBitmap* base, const IBitmap* mask, const IBitmap* top, int x, int y,
                               double angle, const IBlend* blend) = 0;
  virtual bool DrawPoint(const IColor* color, float x, float y, const IBlend* blend, bool antialias) = 0;
  virtual bool SetPixel(const IColor* color, int x, int y) = 0;
  virtual bool DrawLine(const IColor* color, float x1, float y1, float x2, float y2, const IBlend* blend,
                        bool antialias) = 0;
  virtual bool DrawArc(const IColor* color, float cx, float cy, float r, float minAngle, float maxAngle,
                       const IBlend* blend, bool antialias) = 0;
  virtual bool DrawCircle(const IColor* color, float cx, float cy, float r, const IBlend* blend,
                          bool antialias) = 0;
  virtual bool FillRect(const IColor* color, const IRect* rect, const IBlend* blend) = 0;
  virtual bool DrawText(const ITextStyle* style, const char* text, const IRect* rect) = 0;
  virtual IColor GetPixel(int x, int y) = 0;
  virtual void* GetDrawBits() = 0;
  virtual void Resize(int width, int height);
  virtual bool WindowIsOpen() { return GetWindow() != nullptr; }
  // Asks the platform for a typed-entry box over the control: a parameter's value, or the control's text.
  virtual void OpenTextEntry(IControl* control, IParameter* param, bool textMode) = 0;
  void* OpenWindow(void* parentWindow) override = 0;
  void CloseWindow() override = 0;
  virtual void* GetWindow() = 0;
  virtual IBitmap LoadBitmap(int id, const char* name, int nFrames = 1) = 0;
  virtual IBitmap ScaleBitmap(const IBitmap* bitmap, int width, int height) = 0;
  virtual IBitmap CropBitmap(const IBitmap* bitmap, const IRect* rect) = 0;
  // Puts the background bitmap control at index 0, ahead of every control attached so far.
  virtual void AttachBackground(int id, const char* name);
  virtual bool DrawVerticalLine(const IColor* color, int x, int yLow, int yHigh);
  virtual bool DrawHorizontalLine(const IColor* color, int y, int xLow, int xHigh);
  virtual void RetainBitmap(const IBitmap* bitmap) = 0;
  virtual void ReleaseBitmap(const IBitmap* bitmap) = 0;

  // ---- Controls ----
  // Takes ownership; returns the control's index.
  int AttachControl(IControl* control);
  // Keeps an observer (a read-out) alive until every control is gone.
  void AdoptObserver(IObserverInterface* observer);
  IControl* GetControl(int idx) const;
  int NControls() const { return static_cast<int>(mControls.size()); }

  // Draws frame k (from 1) of a bitmap whose frames are stacked vertically.
  bool DrawBitmapFrame(const IBitmap* bitmap, const IRect* dest, int frame, const IBlend* blend);

  // ---- Parameters ----
  // [any thread, under the plug-in's lock] Moves every control bound to the parameter; never calls back.
  void SetParameterFromPlug(int paramIdx, double value, bool normalized) override;
  // Moves the controls as if the user had, so they push the value to the plug-in.
  void SetControlFromPlug(int paramIdx, double normalizedValue);
  // The editor's own copy of what it shows: takes the values that others changed since the last call.
  void FollowParameters();
  void SetAllControlsDirty();

  // ---- Redraw cycle ----
  // Delivers observer notifications and widens r by every dirty control; true when anything is dirty.
  bool IsDirty(IRect* r);
  // Draws the controls that meet r, cleans every control and shows r.
  bool Draw(const IRect* r);

  // ---- Mouse and keys ----
  int HitTest(int x, int y) const;
  void OnMouseDown(int x, int y, const IMouseMods* mods);
  void OnMouseUp(int x, int y, const IMouseMods* mods);
  // True when the window should capture the pointer.
  bool OnMouseDblClick(int x, int y, const IMouseMods* mods);
  void OnMouseDrag(int x, int y, const IMouseMods* mods);
  // True when the window should report the pointer leaving it.
  bool OnMouseOver(int x, int y, const IMouseMods* mods);
  void OnMouseOut();
  void OnMouseWheel(int x, int y, const IMouseMods* mods, int steps);
  void OnKeyDown(int x, int y, int key);
  // Ends a press whose release will never arrive (the window lost it): capture and host gesture end here.
  void CancelMouseCapture();

  // ---- Typed entry, shared by the platform windows ----
  IControl* EditedControl() const { return mEdControl; }
  IParameter* EditedParam() const { return mEdParam; }
  void SetEdited(IControl* control, IParameter* param) {
    mEdControl = control;
    mEdParam = param;
  }
  // Applies the text of a committed entry box to the edited control; text mode entries apply nothing.
  void CommitTextEntry(const char* text);

  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }

  // ---- Scale ----
  // Controls, hit-testing and drags work in logical units; the draw surface and the window are that many times
  // larger. The scale takes effect at once where no window is open, at the window's next tick where one is.
  static constexpr double kMinScale = 1.0;
  static constexpr double kMaxScale = 3.0;
  double Scale() const override { return mScale; }
  // Draws at scale from now on (clamped to 1..3) and gives the scale taken.
  virtual double SetScale(double scale);
  // Where the scale comes from: the user's choice from the size menu, remembered in the settings file, before
  // the host's, before the desktop's (asked when a window opens), before 100 %.
  static constexpr double kMenuScales[] = {1.0, 1.25, 1.5, 2.0, 3.0};
  static constexpr int kNumMenuScales = 5;
  // Reads the user's scale from the file, which the size menu writes; an empty path keeps nothing.
  void UseSettingsFile(const std::string& path);
  bool SetHostScale(double scale) override;
  // [editor thread] The size menu's choice: taken at the next tick, written to the settings file, and the
  // plug-in's host asked for the window's new size.
  void RequestUserScale(double scale) { mRequestedUserScale = scale; }
  double UserScale() const { return mUserScale; }
  // The desktop's (or the monitor's) scale, followed only while neither the user nor the host chose one; the
  // plug-in's host hears of a new size.
  void FollowDesktopScale(double scale);
  double HostScale() const { return mHostScale; }
  int WindowWidth() const override { return ToPhysical(mWidth); }
  int WindowHeight() const override { return ToPhysical(mHeight); }
  // Logical to screen pixels: edges round to the nearest pixel, so neighbouring rectangles stay neighbours.
  int ToPhysical(int v) const;
  IRect ToPhysical(const IRect& r) const;
  // Screen pixel to the logical unit that holds it.
  int ToLogical(int v) const;
  // The logical rectangle that covers a rectangle of screen pixels.
  IRect ToLogicalCover(const IRect& r) const;
  int FPS() const { return mFPS; }
  IPluginBase* GetPlug() const { return mPlug; }
  const IRect& GetDrawRect() const { return mDrawRect; }
  void SetStrictDrawing(bool strict) { mStrict = strict; }
  void HandleMouseOver(bool handle) { mHandleMouseOver = handle; }
  int CaptureIndex() const { return mMouseCapture; }
  // Copies the names (cut to fit); a missing or empty class name gives kDefaultWindowClass.
  void SetWindowNames(const IWindowNames& names);
  const char* WindowClassName() const { return mWindowClassName; }
  const char* WindowTitle() const { return mWindowTitle; }

  static constexpr const char* kDefaultWindowClass = "IGraphicsWindow";

 protected:
  std::vector<std::unique_ptr<IControl>> mControls;
  std::vector<uint32_t> mShownGenerations;  // per parameter, the change last shown
  IPluginBase* mPlug;
  IRect mDrawRect;
  IControl* mEdControl = nullptr;
  IParameter* mEdParam = nullptr;
  int mWidth;
  int mHeight;
  int mFPS;
  double mScale = 1.0;
  double mUserScale = 0.0;  // 0: none chosen
  double mHostScale = 0.0;  // 0: none given
  double mRequestedUserScale = 0.0;
  std::string mSettingsPath;
  int mMouseCapture = -1;
  int mMouseOver = -1;
  int mMouseX = 0;
  int mMouseY = 0;
  bool mHandleMouseOver = false;
  bool mStrict = true;
  char mWindowClassName[64] = "IGraphicsWindow";
  char mWindowTitle[128] = "";

 private:
  void DeleteControls();
  void TakeRequestedUserScale();
  // The platform and raster classes follow a new scale: surface, window, cached art, fonts.
  virtual void OnScaleChanged() {}
  void BeginGesture(int paramIdx);
  void EndGesture();

  // The parameter whose host gesture (begin edit) is open, -1 for none; keeps begin and end edits paired.
  int mGestureParam = -1;
  std::vector<std::unique_ptr<IObserverInterface>> mObservers;
};
