#include "IParameter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "Text.h"

void IParameter::DefineBool(const char* name, bool defaultValue) {
  if (mType == kParamNone) mType = kParamBool;
  DefineDouble(name, defaultValue ? 1.0 : 0.0, 0.0, 1.0, 1.0, "");
  AddDisplayText(0, "off");
  AddDisplayText(1, "on");
}

void IParameter::DefineEnum(const char* name, int defaultValue, int count) {
  if (mType == kParamNone) mType = kParamEnum;
  DefineDouble(name, defaultValue, 0.0, count - 1, 1.0, "");
}

void IParameter::DefineInt(const char* name, int defaultValue, int minValue, int maxValue, const char* label) {
  if (mType == kParamNone) mType = kParamInt;
  DefineDouble(name, defaultValue, minValue, maxValue, 1.0, label);
}

void IParameter::DefineDouble(const char* name, double defaultValue, double minValue, double maxValue, double step,
                              const char* label) {
  if (mType == kParamNone) mType = kParamDouble;
  CopyText(mName, sizeof(mName), name);
  CopyText(mLabel, sizeof(mLabel), label);
  mValue.store(defaultValue, std::memory_order_relaxed);
  mDefault = defaultValue;
  mMin = minValue;
  mMax = std::max(maxValue, minValue + step);
  mStep = step;
  mDisplayPrecision = 0;
  while (step != std::floor(step) && mDisplayPrecision < 6) {
    step *= 10.0;
    ++mDisplayPrecision;
  }
}

void IParameter::Describe(const char* longName, const char* group, bool hidden) {
  CopyText(mLongName, sizeof(mLongName), longName);
  CopyText(mGroup, sizeof(mGroup), group);
  mHidden = hidden;
}

void IParameter::AddDisplayText(int value, const char* text) {
  DisplayTextEntry entry;
  entry.mValue = value;
  CopyText(entry.mText, sizeof(entry.mText), text);
  mDisplayTexts.push_back(entry);
}

void IParameter::SetClamped(double v) {
  mValue.store(std::isnan(v) ? mMax : std::clamp(v, mMin, mMax), std::memory_order_relaxed);
}

void IParameter::SetFromNormalized(double x) {
  // A value that is not a number says nothing about where the parameter should be.
  if (std::isnan(x)) return;
  double v = mMin + x * (mMax - mMin);
  if (mType != kParamDouble) v = std::floor(v / mStep + 0.5) * mStep;
  // Handlers index tables with these values, so both bounds hold.
  mValue.store(std::clamp(v, mMin, mMax), std::memory_order_relaxed);
}

double IParameter::NormalizeValue(double v) const {
  if (std::isnan(v)) return 0.0;
  v = std::clamp(v, mMin, mMax);
  return (v - mMin) / (mMax - mMin);
}

const char* IParameter::DisplayText(int entryIdx) const {
  if (entryIdx < 0 || entryIdx >= NumDisplayTexts()) return "";
  return mDisplayTexts[static_cast<std::size_t>(entryIdx)].mText;
}

const char* IParameter::DisplayTextFor(int value) const {
  for (const DisplayTextEntry& entry : mDisplayTexts)
    if (entry.mValue == value) return entry.mText;
  return "";
}

bool IParameter::ValueForDisplayText(const char* text, int* value) const {
  if (!text) return false;
  for (const DisplayTextEntry& entry : mDisplayTexts) {
    if (std::strcmp(entry.mText, text) == 0) {
      if (value) *value = entry.mValue;
      return true;
    }
  }
  return false;
}

void IParameter::FormatDisplay(double value, bool normalized, char* out) const {
  const double v = normalized ? mMin + value * (mMax - mMin) : value;
  if (!mDisplayTexts.empty()) {
    const char* text = DisplayTextFor(TruncToInt32(v));
    if (text[0] != '\0') {
      CopyText(out, kParamTextSize, text);
      return;
    }
  }
  if (v == 0.0) {
    CopyText(out, kParamTextSize, "0");
  } else if (mDisplayPrecision == 0) {
    std::snprintf(out, kParamTextSize, "%d", TruncToInt32(v));
  } else {
    std::snprintf(out, kParamTextSize, "%.*f", mDisplayPrecision, v);
  }
}
