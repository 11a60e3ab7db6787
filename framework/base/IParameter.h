// One automatable value: real value, range, step, type, texts and its normalised form. The value may be set and
// read from any thread at once; the range and the texts are fixed once defined.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

enum EParamType { kParamNone = 0, kParamBool = 1, kParamInt = 2, kParamEnum = 3, kParamDouble = 4 };

constexpr std::size_t kParamTextSize = 32;

struct DisplayTextEntry {
  int32_t mValue;
  char mText[kParamTextSize];
};

class IParameter {
 public:
  IParameter() = default;

  void DefineBool(const char* name, bool defaultValue);
  void DefineEnum(const char* name, int defaultValue, int count);
  void DefineInt(const char* name, int defaultValue, int minValue, int maxValue, const char* label);
  void DefineDouble(const char* name, double defaultValue, double minValue, double maxValue, double step,
                    const char* label);
  void AddDisplayText(int value, const char* text);
  // How hosts with room for long names list it ("Rotator 1 Delay" in group "Rotator 1"); a hidden parameter has
  // no audible effect, so such hosts need not offer it.
  void Describe(const char* longName, const char* group, bool hidden = false);

  double Value() const { return mValue.load(std::memory_order_relaxed); }
  void SetClamped(double v);
  void SetFromNormalized(double x);
  double Normalized() const { return NormalizeValue(Value()); }
  double NormalizeValue(double v) const;

  const char* Name() const { return mName; }
  const char* Label() const { return mLabel; }
  const char* LongName() const { return mLongName[0] ? mLongName : mName; }
  const char* Group() const { return mGroup; }
  bool Hidden() const { return mHidden; }
  double Default() const { return mDefault; }
  EParamType Type() const { return static_cast<EParamType>(mType); }
  double Min() const { return mMin; }
  double Max() const { return mMax; }
  double Step() const { return mStep; }
  int DisplayPrecision() const { return mDisplayPrecision; }

  int NumDisplayTexts() const { return static_cast<int>(mDisplayTexts.size()); }
  const char* DisplayText(int entryIdx) const;
  const char* DisplayTextFor(int value) const;
  bool ValueForDisplayText(const char* text, int* value) const;

  // out must hold kParamTextSize bytes.
  void FormatDisplay(double value, bool normalized, char* out) const;
  void FormatCurrentDisplay(char* out) const { FormatDisplay(Value(), false, out); }

 private:
  int32_t mType = kParamNone;
  std::atomic<double> mValue{0.0};
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mDefault = 0.0;
  int32_t mDisplayPrecision = 0;
  bool mHidden = false;
  char mName[kParamTextSize] = {};
  char mLabel[kParamTextSize] = {};
  char mLongName[2 * kParamTextSize] = {};
  char mGroup[kParamTextSize] = {};
  std::vector<DisplayTextEntry> mDisplayTexts;
};
