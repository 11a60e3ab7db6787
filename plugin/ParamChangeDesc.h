// Constant descriptor records that define Cyclochord's parameters and name their change handlers.
#pragma once

#include <cstdint>

class Cyclochord;
struct ParamChangeDesc;

// Receives the parameter's real (not normalised) value.
typedef void (Cyclochord::*ParamChangeHandler)(const ParamChangeDesc* pDesc, double value);

struct ParamChangeDesc {
  const char* mName;
  const char* mLabel;
  int32_t mParamIdx;
  ParamChangeHandler mHandler;
};

struct IntParamDesc : ParamChangeDesc {
  int32_t mDefault;
  int32_t mMin;
  int32_t mMax;
};

struct BoolParamDesc : ParamChangeDesc {
  uint8_t mDefault;
};

struct EnumParamDesc : ParamChangeDesc {
  int32_t mDefault;
  int32_t mCount;
  const char* const* mpDisplayTexts;  // mCount texts; text i belongs to value i
};

struct DoubleParamDesc : ParamChangeDesc {
  double mDefault;
  double mMin;
  double mMax;
  double mStep;
};
