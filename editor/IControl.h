// The base of every editor control: a rectangle with a normalised value, dirty state and mouse behaviour.
#pragma once

#include "IGraphicsStructs.h"
#include "ISubject.h"

class IGraphics;
class IPluginBase;

// The value is one plain double and the flags plain bools, so that a lock or atomics can be put around them
// later without changing the classes' shape.
class IControl : public ISubject {
 public:
  IControl(IPluginBase* plug, const IRect& rect, int paramIdx = -1, int blendMethod = IBlend::BlendAlpha,
           float blendWeight = 1.0f);
  ~IControl() override;

  virtual void OnMouseDown(int x, int y, const IMouseMods* mods);
  virtual void OnMouseUp(int x, int y, const IMouseMods* mods);
  virtual void OnMouseDrag(int x, int y, int dX, int dY, const IMouseMods* mods);
  virtual void OnMouseDblClick(int x, int y, const IMouseMods* mods);
  virtual void OnMouseWheel(int x, int y, const IMouseMods* mods, int d);
  virtual void OnKeyDown(int x, int y, int key);
  virtual void OnMouseOver(int x, int y, const IMouseMods* mods);
  virtual void OnMouseOut();
  virtual bool Draw(IGraphics* graphics) = 0;
  virtual void SetValueFromPlug(double value);
  virtual void Hide(bool hide);
  virtual void GrayOut(bool gray);
  virtual bool IsHit(int x, int y) const;
  virtual void SetDirty(bool pushToPlug = true);
  virtual void SetClean();
  virtual bool IsDirty() const { return mDirty; }
  virtual void ResetToDefault();

  void SetValueFromUserInput(double value);
  void PromptUserInput();

  const IRect& GetRECT() const { return mRect; }
  const IRect& GetHitRECT() const { return mHitRect; }
  int ParamIdx() const { return mParamIdx; }
  double GetValue() const { return mValue; }
  double GetDefaultValue() const { return mDefaultValue; }
  const IBlend& GetBlend() const { return mBlend; }
  bool IsHidden() const { return mHidden; }
  bool IsGrayed() const { return mGrayed; }
  bool DoubleClickAsDown() const { return mDoubleClickAsDown; }
  void SetDoubleClickAsDown(bool on) { mDoubleClickAsDown = on; }
  void DisablePrompt(bool disable) { mPromptDisabled = disable; }
  void SetHitRECT(const IRect& rect) { mHitRect = rect; }

 protected:
  static bool HasShiftOrControl(const IMouseMods* mods) { return mods && (mods->S || mods->C); }

  IPluginBase* mPlug;
  IRect mRect;
  IRect mHitRect;
  int mParamIdx;
  double mValue = 0.0;
  double mDefaultValue = -1.0;
  double mLowLimit = 0.0;
  double mHighLimit = 1.0;
  bool mDirty = true;
  bool mHidden = false;
  bool mGrayed = false;
  bool mRedrawPending = false;
  bool mPromptDisabled = false;
  bool mDoubleClickAsDown = false;
  IBlend mBlend;
};
