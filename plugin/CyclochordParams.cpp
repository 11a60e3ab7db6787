// Cyclochord's parameter set: the descriptor tables, their registration, the dispatch and the handlers.
#include <algorithm>

#include "Assert.h"
#include "Cyclochord.h"
#include "CyclochordParams.h"
#include "DelayDivisions.h"
#include "Text.h"

namespace {
const char kNoLabel[] = "";

// Channels 1..16 are stored as 0..15.
int ChannelIndex(double value) { return std::clamp(TruncToInt32(value - 1.0), 0, NUM_MIDI_CHANNELS - 1); }
bool IsOn(double value) { return value > 0.5; }
}  // namespace

const IntParamDesc Cyclochord::kIntParams[] = {
    {{"MainChan", kNoLabel, kMainChan, &Cyclochord::OnChannel}, 1, 1, 16},
    {{"ParChan", kNoLabel, kParChan, &Cyclochord::OnChannel}, 1, 1, 16},
    {{"ParVel", kNoLabel, kParVel, &Cyclochord::OnVelocity}, 0, -30, 30},
    {{"ParInt", kNoLabel, kParInt, &Cyclochord::OnParallelInterval}, 0, -24, 24},
    {{"v1Chan", kNoLabel, kV1Chan, &Cyclochord::OnChannel}, 1, 1, 16},
    {{"v1Vel", kNoLabel, kV1Vel, &Cyclochord::OnVelocity}, 0, -30, 30},
    {{"v1Int1", kNoLabel, kV1Int1 + 0, &Cyclochord::OnRotatorInterval}, 0, -24, 24},
    {{"v1Int2", kNoLabel, kV1Int1 + 1, &Cyclochord::OnRotatorInterval}, 0, -24, 24},
    {{"v1Int3", kNoLabel, kV1Int1 + 2, &Cyclochord::OnRotatorInterval}, 0, -24, 24},
    {{"v1Int4", kNoLabel, kV1Int1 + 3, &Cyclochord::OnRotatorInterval}, 0, -24, 24},
    {{"v2Chan", kNoLabel, kV2Chan, &Cyclochord::OnChannel}, 1, 1, 16},
    {{"v2Vel", kNoLabel, kV2Vel, &Cyclochord::OnVelocity}, 0, -30, 30},
    {{"v2Int1", kNoLabel, kV2Int1 + 0, &Cyclochord::OnRotatorInterval}, 0, -24, 24},
    {{"v2Int2", kNoLabel, kV2Int1 + 1, &Cyclochord::OnRotatorInterval}, 0, -24, 24},
    {{"v2Int3", kNoLabel, kV2Int1 + 2, &Cyclochord::OnRotatorInterval}, 0, -24, 24},
    {{"v2Int4", kNoLabel, kV2Int1 + 3, &Cyclochord::OnRotatorInterval}, 0, -24, 24},
};

const BoolParamDesc Cyclochord::kBoolParams[] = {
    {{"MainMute", kNoLabel, kMainMute, &Cyclochord::OnVoiceMute}, 0},
    {{"ParMute", kNoLabel, kParMute, &Cyclochord::OnVoiceMute}, 0},
    {{"v1Mute", kNoLabel, kV1Mute, &Cyclochord::OnVoiceMute}, 0},
    {{"v1Mute1", kNoLabel, kV1Mute1 + 0, &Cyclochord::OnIntervalMute}, 0},
    {{"v1Mute2", kNoLabel, kV1Mute1 + 1, &Cyclochord::OnIntervalMute}, 0},
    {{"v1Mute3", kNoLabel, kV1Mute1 + 2, &Cyclochord::OnIntervalMute}, 0},
    {{"v1Mute4", kNoLabel, kV1Mute1 + 3, &Cyclochord::OnIntervalMute}, 0},
    {{"v2Mute", kNoLabel, kV2Mute, &Cyclochord::OnVoiceMute}, 0},
    {{"v2Mute1", kNoLabel, kV2Mute1 + 0, &Cyclochord::OnIntervalMute}, 0},
    {{"v2Mute2", kNoLabel, kV2Mute1 + 1, &Cyclochord::OnIntervalMute}, 0},
    {{"v2Mute3", kNoLabel, kV2Mute1 + 2, &Cyclochord::OnIntervalMute}, 0},
    {{"v2Mute4", kNoLabel, kV2Mute1 + 3, &Cyclochord::OnIntervalMute}, 0},
    {{"Snap", kNoLabel, kSnap, &Cyclochord::OnSnap}, 0},
};

const EnumParamDesc Cyclochord::kEnumParams[] = {
    {{"v1algo", kNoLabel, kV1Algo, &Cyclochord::OnAlgorithm}, kAlgoUp, kNumAlgorithms, kAlgorithmNames},
    {{"v2algo", kNoLabel, kV2Algo, &Cyclochord::OnAlgorithm}, kAlgoUp, kNumAlgorithms, kAlgorithmNames},
    {{"Tonic", kNoLabel, kTonic, &Cyclochord::OnTonic}, 0, kNumPitchClasses, kTonicNames},
    {{"Scale", kNoLabel, kScale, &Cyclochord::OnScale}, 0, kNumScales, kScaleNames},
    {{"MnDelay", kNoLabel, kMnDelay, &Cyclochord::OnDelay}, 0, kNumDelayDivisions, kDelayDivisionNames},
    {{"pDelay", kNoLabel, kPDelay, &Cyclochord::OnDelay}, 0, kNumDelayDivisions, kDelayDivisionNames},
    {{"v1Delay", kNoLabel, kV1Delay, &Cyclochord::OnDelay}, 0, kNumDelayDivisions, kDelayDivisionNames},
    {{"v2Delay", kNoLabel, kV2Delay, &Cyclochord::OnDelay}, 0, kNumDelayDivisions, kDelayDivisionNames},
};

const DoubleParamDesc Cyclochord::kDoubleParams[] = {
    {{"Human", kNoLabel, kHuman, &Cyclochord::OnHuman}, 0.0, 0.0, 1.0, 0.01},
};

const ParamChangeDesc Cyclochord::kInternalParams[] = {
    {"PresetLoad", kNoLabel, kPresetLoad, &Cyclochord::OnInactive},
    {"PresetSave", kNoLabel, kPresetSave, &Cyclochord::OnInactive},
    {"ScaleLoad", kNoLabel, kScaleLoad, &Cyclochord::OnInactive},
    {"FileSelect", kNoLabel, kFileSelect, &Cyclochord::OnInactive},
};

namespace {
// What hosts with room for long names show in their automation lanes, by voice.
struct ReadableName {
  int mParamIdx;
  const char* mName;
  const char* mGroup;
};

const ReadableName kReadableNames[] = {
    {kMainMute, "Main Mute", "Main"},
    {kMainChan, "Main Channel", "Main"},
    {kMnDelay, "Main Delay", "Main"},
    {kParMute, "Parallel Mute", "Parallel"},
    {kParChan, "Parallel Channel", "Parallel"},
    {kParVel, "Parallel Velocity", "Parallel"},
    {kParInt, "Parallel Interval", "Parallel"},
    {kPDelay, "Parallel Delay", "Parallel"},
    {kV1Mute, "Rotator 1 Mute", "Rotator 1"},
    {kV1Chan, "Rotator 1 Channel", "Rotator 1"},
    {kV1Vel, "Rotator 1 Velocity", "Rotator 1"},
    {kV1Int1 + 0, "Rotator 1 Interval 1", "Rotator 1"},
    {kV1Int1 + 1, "Rotator 1 Interval 2", "Rotator 1"},
    {kV1Int1 + 2, "Rotator 1 Interval 3", "Rotator 1"},
    {kV1Int1 + 3, "Rotator 1 Interval 4", "Rotator 1"},
    {kV1Mute1 + 0, "Rotator 1 Interval 1 Mute", "Rotator 1"},
    {kV1Mute1 + 1, "Rotator 1 Interval 2 Mute", "Rotator 1"},
    {kV1Mute1 + 2, "Rotator 1 Interval 3 Mute", "Rotator 1"},
    {kV1Mute1 + 3, "Rotator 1 Interval 4 Mute", "Rotator 1"},
    {kV1Algo, "Rotator 1 Algorithm", "Rotator 1"},
    {kV1Delay, "Rotator 1 Delay", "Rotator 1"},
    {kV2Mute, "Rotator 2 Mute", "Rotator 2"},
    {kV2Chan, "Rotator 2 Channel", "Rotator 2"},
    {kV2Vel, "Rotator 2 Velocity", "Rotator 2"},
    {kV2Int1 + 0, "Rotator 2 Interval 1", "Rotator 2"},
    {kV2Int1 + 1, "Rotator 2 Interval 2", "Rotator 2"},
    {kV2Int1 + 2, "Rotator 2 Interval 3", "Rotator 2"},
    {kV2Int1 + 3, "Rotator 2 Interval 4", "Rotator 2"},
    {kV2Mute1 + 0, "Rotator 2 Interval 1 Mute", "Rotator 2"},
    {kV2Mute1 + 1, "Rotator 2 Interval 2 Mute", "Rotator 2"},
    {kV2Mute1 + 2, "Rotator 2 Interval 3 Mute", "Rotator 2"},
    {kV2Mute1 + 3, "Rotator 2 Interval 4 Mute", "Rotator 2"},
    {kV2Algo, "Rotator 2 Algorithm", "Rotator 2"},
    {kV2Delay, "Rotator 2 Delay", "Rotator 2"},
    {kSnap, "Snap to Scale", "Scale"},
    {kScale, "Scale", "Scale"},
    {kTonic, "Tonic", "Scale"},
    {kHuman, "Human", ""},
};
}  // namespace

void Cyclochord::RegisterParameters() {
  std::fill(std::begin(mpParamChangeDesc), std::end(mpParamChangeDesc), nullptr);
  // Defining a parameter does not run its handler: the host's open call runs them all.
  auto enter = [this](const ParamChangeDesc* pDesc) {
    if (pDesc->mParamIdx < 0) return;
    CC_ASSERT(pDesc->mParamIdx < kNumParams);
    CC_ASSERT(mpParamChangeDesc[ pDesc->mParamIdx ] == 0);
    mpParamChangeDesc[pDesc->mParamIdx] = pDesc;
  };
  for (const IntParamDesc& desc : kIntParams) {
    if (IParameter* param = GetParam(desc.mParamIdx))
      param->DefineInt(desc.mName, desc.mDefault, desc.mMin, desc.mMax, desc.mLabel);
    enter(&desc);
  }
  for (const BoolParamDesc& desc : kBoolParams) {
    if (IParameter* param = GetParam(desc.mParamIdx)) param->DefineBool(desc.mName, desc.mDefault != 0);
    enter(&desc);
  }
  for (const EnumParamDesc& desc : kEnumParams) {
    if (IParameter* param = GetParam(desc.mParamIdx)) {
      param->DefineEnum(desc.mName, desc.mDefault, desc.mCount);
      for (int i = 0; i < desc.mCount; ++i) param->AddDisplayText(i, desc.mpDisplayTexts[i]);
    }
    enter(&desc);
  }
  for (const DoubleParamDesc& desc : kDoubleParams) {
    if (IParameter* param = GetParam(desc.mParamIdx))
      param->DefineDouble(desc.mName, desc.mDefault, desc.mMin, desc.mMax, desc.mStep, desc.mLabel);
    enter(&desc);
  }
  for (const ParamChangeDesc& desc : kInternalParams) {
    if (IParameter* param = GetParam(desc.mParamIdx)) param->DefineDouble(desc.mName, 0.0, 0.0, 1.0, 1.0, desc.mLabel);
    enter(&desc);
  }
  // "Human" is stored and never heard.
  for (const ReadableName& name : kReadableNames)
    if (IParameter* param = GetParam(name.mParamIdx)) param->Describe(name.mName, name.mGroup, name.mParamIdx == kHuman);
}

void Cyclochord::ApplyParameter(int paramIdx, double value) {
  if (paramIdx < 0 || paramIdx >= kNumParams) return;
  const ParamChangeDesc* pDesc = mpParamChangeDesc[paramIdx];
  if (pDesc) (this->*(pDesc->mHandler))(pDesc, value);
}

VoiceId Cyclochord::VoiceForParam(int paramIdx) {
  if (paramIdx <= kMnDelay) return kMainVoice;
  if (paramIdx <= kPDelay) return kParallelVoice;
  if (paramIdx <= kV1Delay) return kRotator1;
  return kRotator2;
}

void Cyclochord::OnChannel(const ParamChangeDesc* pDesc, double value) {
  mEngine.SetChannel(VoiceForParam(pDesc->mParamIdx), ChannelIndex(value));
}

void Cyclochord::OnVelocity(const ParamChangeDesc* pDesc, double value) {
  mEngine.SetVelocityOffset(VoiceForParam(pDesc->mParamIdx), TruncToInt32(value));
}

void Cyclochord::OnParallelInterval(const ParamChangeDesc*, double value) {
  mEngine.SetInterval(kParallelVoice, 0, TruncToInt32(value));
}

void Cyclochord::OnRotatorInterval(const ParamChangeDesc* pDesc, double value) {
  const int rotator = pDesc->mParamIdx < kV2Int1 ? 0 : 1;
  const int interval = pDesc->mParamIdx - (rotator == 0 ? kV1Int1 : kV2Int1);
  CC_ASSERT(interval >= 0 && interval <=3);
  mEngine.SetInterval(rotator == 0 ? kRotator1 : kRotator2, interval, TruncToInt32(value));
}

void Cyclochord::OnVoiceMute(const ParamChangeDesc* pDesc, double value) {
  mEngine.SetMute(VoiceForParam(pDesc->mParamIdx), IsOn(value));
}

void Cyclochord::OnIntervalMute(const ParamChangeDesc* pDesc, double value) {
  const int rotator = pDesc->mParamIdx < kV2Mute1 ? 0 : 1;
  const int interval = pDesc->mParamIdx - (rotator == 0 ? kV1Mute1 : kV2Mute1);
  CC_ASSERT(interval >= 0 && interval <=3);
  mEngine.SetIntervalMute(rotator == 0 ? kRotator1 : kRotator2, interval, IsOn(value));
}

void Cyclochord::OnDelay(const ParamChangeDesc* pDesc, double value) {
  mEngine.SetDelay(VoiceForParam(pDesc->mParamIdx), TruncToInt32(value));
}

void Cyclochord::OnAlgorithm(const ParamChangeDesc* pDesc, double value) {
  mEngine.SetAlgorithm(VoiceForParam(pDesc->mParamIdx), TruncToInt32(value));
}

void Cyclochord::OnSnap(const ParamChangeDesc*, double value) { mEngine.SetSnap(IsOn(value)); }

void Cyclochord::OnScale(const ParamChangeDesc*, double value) { mEngine.SetScale(TruncToInt32(value)); }

void Cyclochord::OnTonic(const ParamChangeDesc*, double value) { mEngine.SetTonic(TruncToInt32(value)); }

void Cyclochord::OnHuman(const ParamChangeDesc*, double value) { mHumanSpan = mSampleRate * 0.015 * value; }

void Cyclochord::OnInactive(const ParamChangeDesc*, double) {}

void Cyclochord::OnParameterChange(int paramIdx) {
  // The file-select button springs back at once for whoever reads it next, set directly: nobody is told.
  if (paramIdx == kFileSelect) GetParam(paramIdx)->SetClamped(0.0);
}
