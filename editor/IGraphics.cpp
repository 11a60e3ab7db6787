// The graphics host's control list, redraw cycle and parameter synchronisation.
#include "IGraphics.h"

#include <cmath>
#include <cstdlib>

#include "IBitmapControl.h"
#include "IControl.h"
#include "IParameter.h"
#include "IPluginBase.h"
#include "Text.h"
#include "UserSettings.h"

IGraphics::IGraphics(IPluginBase* plug, int width, int height, int frameRate)
    : mPlug(plug), mWidth(width), mHeight(height), mFPS(frameRate > 0 ? frameRate : kDefaultFrameRate) {}

IGraphics::~IGraphics() { DeleteControls(); }

void IGraphics::SetWindowNames(const IWindowNames& names) {
  const bool hasClass = names.mClassName && names.mClassName[0] != '\0';
  CopyText(mWindowClassName, sizeof(mWindowClassName), hasClass ? names.mClassName : kDefaultWindowClass);
  CopyText(mWindowTitle, sizeof(mWindowTitle), names.mTitle);
}

void IGraphics::DeleteControls() {
  while (!mControls.empty()) mControls.pop_back();
  // Read-outs refer to their subjects, so they go only after every control.
  mObservers.clear();
  mEdControl = nullptr;
  mEdParam = nullptr;
}

int IGraphics::AttachControl(IControl* control) {
  mControls.emplace_back(control);
  return NControls() - 1;
}

void IGraphics::AdoptObserver(IObserverInterface* observer) { mObservers.emplace_back(observer); }

IControl* IGraphics::GetControl(int idx) const {
  if (idx < 0 || idx >= NControls()) return nullptr;
  return mControls[static_cast<size_t>(idx)].get();
}

void IGraphics::AttachBackground(int id, const char* name) {
  const IBitmap bitmap = LoadBitmap(id, name, 1);
  auto background = std::make_unique<IBitmapControl>(mPlug, 0, 0, -1, bitmap, IBlend::BlendCopy);
  mControls.insert(mControls.begin(), std::move(background));
  // Indices held by the mouse routing moved up with the list.
  if (mMouseCapture >= 0) ++mMouseCapture;
  if (mMouseOver >= 0) ++mMouseOver;
}

bool IGraphics::DrawBitmapFrame(const IBitmap* bitmap, const IRect* dest, int frame, const IBlend* blend) {
  int srcY = 0;
  if (bitmap->N > 1 && frame > 1) srcY = static_cast<int>(double(bitmap->H) * (frame - 1) / bitmap->N + 0.5);
  return DrawBitmap(bitmap, dest, 0, srcY, blend);
}

bool IGraphics::DrawVerticalLine(const IColor* color, int x, int yLow, int yHigh) {
  const IBlend copy(IBlend::BlendCopy, 1.0f);
  return DrawLine(color, float(x), float(yLow), float(x), float(yHigh), &copy, false);
}

bool IGraphics::DrawHorizontalLine(const IColor* color, int y, int xLow, int xHigh) {
  const IBlend copy(IBlend::BlendCopy, 1.0f);
  return DrawLine(color, float(xLow), float(y), float(xHigh), float(y), &copy, false);
}

void IGraphics::Resize(int width, int height) {
  mWidth = width;
  mHeight = height;
  EndGesture();
  mMouseCapture = mMouseOver = -1;
  mMouseX = mMouseY = -1;
  DeleteControls();
  if (mPlug) mPlug->OnEditorResized(width, height);
}

// ---- Scale ----

double IGraphics::SetScale(double scale) {
  if (!(scale >= kMinScale)) scale = kMinScale;  // NaN too
  if (scale > kMaxScale) scale = kMaxScale;
  if (scale == mScale) return mScale;
  mScale = scale;
  // A press in progress was measured at the old scale.
  CancelMouseCapture();
  OnScaleChanged();
  SetAllControlsDirty();
  return mScale;
}

namespace {
constexpr const char* kScaleKey = "editor-scale";
}

void IGraphics::UseSettingsFile(const std::string& path) {
  mSettingsPath = path;
  UserSettings settings(path);
  if (!settings.Load()) return;
  const double scale = settings.GetNumber(kScaleKey, 0.0);
  // Only what the menu offers: a hand-edited or damaged file gives no size of its own.
  for (double offered : kMenuScales)
    if (scale == offered) {
      mUserScale = scale;
      SetScale(scale);
    }
}

bool IGraphics::SetHostScale(double scale) {
  if (!(scale >= kMinScale && scale <= kMaxScale)) return false;
  mHostScale = scale;
  if (mUserScale > 0.0) return false;
  SetScale(scale);
  return true;
}

void IGraphics::FollowDesktopScale(double scale) {
  if (mUserScale > 0.0 || mHostScale > 0.0 || !(scale >= kMinScale)) return;
  const double before = mScale;
  if (SetScale(scale) != before && mPlug) mPlug->OnEditorResized(WindowWidth(), WindowHeight());
}

void IGraphics::TakeRequestedUserScale() {
  const double scale = mRequestedUserScale;
  mRequestedUserScale = 0.0;
  if (!(scale >= kMinScale && scale <= kMaxScale)) return;
  mUserScale = scale;
  UserSettings settings(mSettingsPath);
  settings.Load();
  settings.SetNumber(kScaleKey, scale);
  // A settings file that cannot be written costs only the memory of the choice.
  settings.Save();
  if (SetScale(scale) == scale && mPlug) mPlug->OnEditorResized(WindowWidth(), WindowHeight());
}

int IGraphics::ToPhysical(int v) const {
  return mScale == 1.0 ? v : static_cast<int>(std::lround(v * mScale));
}

IRect IGraphics::ToPhysical(const IRect& r) const {
  if (r.Empty()) return r;
  return IRect(ToPhysical(r.L), ToPhysical(r.T), ToPhysical(r.R), ToPhysical(r.B));
}

int IGraphics::ToLogical(int v) const {
  // A pixel belongs to the unit its centre falls in; a centre on a boundary goes to the unit that ToPhysical's
  // rounding (halves up) gave it.
  return mScale == 1.0 ? v : static_cast<int>(std::floor((v + 0.5) / mScale - 1e-9));
}

IRect IGraphics::ToLogicalCover(const IRect& r) const {
  if (r.Empty() || mScale == 1.0) return r;
  return IRect(static_cast<int>(std::floor(r.L / mScale)), static_cast<int>(std::floor(r.T / mScale)),
               static_cast<int>(std::ceil(r.R / mScale)), static_cast<int>(std::ceil(r.B / mScale)));
}

// ---- Parameters ----

void IGraphics::SetParameterFromPlug(int paramIdx, double value, bool normalized) {
  if (!normalized) {
    const IParameter* param = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    // No parameter, nothing to normalise against and no control can be bound to it.
    if (!param) return;
    value = param->NormalizeValue(value);
  }
  for (auto& control : mControls)
    if (control->ParamIdx() == paramIdx) control->SetValueFromPlug(value);
}

void IGraphics::SetControlFromPlug(int paramIdx, double normalizedValue) {
  for (auto& control : mControls)
    if (control->ParamIdx() == paramIdx) control->SetValueFromUserInput(normalizedValue);
}

void IGraphics::SetAllControlsDirty() {
  for (auto& control : mControls) control->SetDirty(false);
}

// ---- Redraw cycle ----

void IGraphics::FollowParameters() {
  if (!mPlug) return;
  const int n = mPlug->NParams();
  // Attaching showed every value as it was before any change was counted.
  if (static_cast<int>(mShownGenerations.size()) != n) mShownGenerations.resize(static_cast<size_t>(n), 0);
  for (int i = 0; i < n; ++i) {
    const uint32_t generation = mPlug->ParameterGeneration(i);
    if (generation == mShownGenerations[size_t(i)]) continue;
    mShownGenerations[size_t(i)] = generation;
    SetParameterFromPlug(i, mPlug->GetParam(i)->Normalized(), true);
  }
}

bool IGraphics::IsDirty(IRect* r) {
  if (mRequestedUserScale != 0.0) TakeRequestedUserScale();
  FollowParameters();
  bool dirty = false;
  for (auto& control : mControls) {
    // Notifying first lets a read-out mark its own text dirty before the scan reaches it.
    control->NotifyObservers();
    if (control->IsDirty()) {
      *r = r->Union(&control->GetRECT());
      dirty = true;
    }
  }
  return dirty;
}

bool IGraphics::Draw(const IRect* r) {
  if (mControls.empty()) return true;
  if (mStrict) {
    mDrawRect = *r;
    for (auto& control : mControls)
      if (!control->IsHidden() && r->Intersects(&control->GetRECT())) control->Draw(this);
    for (auto& control : mControls) control->SetClean();
  } else {
    IControl* background = mControls[0].get();
    if (background->IsDirty()) {
      mDrawRect = background->GetRECT();
      for (size_t i = 0; i < mControls.size(); ++i) {
        IControl* control = mControls[i].get();
        if (i == 0 || !control->IsHidden()) {
          control->Draw(this);
          control->SetClean();
        }
      }
    } else {
      for (size_t i = 1; i < mControls.size(); ++i) {
        IControl* control = mControls[i].get();
        if (!control->IsDirty()) continue;
        mDrawRect = control->GetRECT();
        for (size_t j = 0; j < mControls.size(); ++j) {
          IControl* other = mControls[j].get();
          if ((j == i || !other->IsHidden()) && mDrawRect.Intersects(&other->GetRECT())) other->Draw(this);
        }
        control->SetClean();
      }
    }
  }
  return PaintToWindow(r);
}

// ---- Typed entry ----

void IGraphics::CommitTextEntry(const char* text) {
  if (!mEdControl || !mEdParam || !text) return;
  double value = 0.0;
  if (mEdParam->NumDisplayTexts() != 0) {
    int found = 0;
    if (mEdParam->ValueForDisplayText(text, &found)) value = found;
  } else {
    value = std::strtod(text, nullptr);
  }
  mEdControl->SetValueFromUserInput(mEdParam->NormalizeValue(value));
}
