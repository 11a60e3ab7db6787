// The control tables of Cyclochord's editor and their construction, in the order that decides drawing and hits.
#include "CyclochordLayout.h"

#include "CyclochordParams.h"
#include "IFaderControl.h"
#include "IIndicatorControl.h"
#include "IGraphicsRaster.h"
#include "IParamTextControl.h"
#include "ISizeMenuControl.h"
#include "ISwitchControl.h"
#include "PlatformGraphics.h"
#include "UserSettings.h"
#include "ValueReadOut.h"
#include "VoiceActivity.h"

namespace {

constexpr int kFaderLength = 184;
constexpr int kParamTextGearing = 8;

struct FaderRow {
  int mParamIdx;
  int x;
  int y;  // top of the track in the picture; the handle sits 3 pixels higher
};

enum ELedKind { kMuteLed = 0, kSnapLed = 2 };

struct SwitchRow {
  int mParamIdx;
  int mLed;
  int x;
  int y;
};

struct ParamTextRow {
  int mParamIdx;
  int x;  // left of the box in the picture; the text starts 2 pixels inside
  int y;
};

// Interval 2 of the first rotator sits one pixel lower than its neighbours, as its track does in the picture.
const FaderRow kFaderRows[] = {
    {kParVel, 120, 216},     {kParInt, 120, 192},     {kV1Vel, 120, 420},      {kV1Int1, 120, 304},
    {kV1Int1 + 1, 120, 329}, {kV1Int1 + 2, 120, 352}, {kV1Int1 + 3, 120, 376}, {kV2Vel, 120, 628},
    {kV2Int1, 120, 512},     {kV2Int1 + 1, 120, 536}, {kV2Int1 + 2, 120, 560}, {kV2Int1 + 3, 120, 584},
};

const SwitchRow kSwitchRows[] = {
    {kMainMute, kMuteLed, 360, 128},    {kParMute, kMuteLed, 359, 232},     {kV1Mute, kMuteLed, 359, 439},
    {kV1Mute1, kMuteLed, 360, 304},     {kV1Mute1 + 1, kMuteLed, 360, 328}, {kV1Mute1 + 2, kMuteLed, 360, 352},
    {kV1Mute1 + 3, kMuteLed, 360, 376}, {kV2Mute, kMuteLed, 359, 647},      {kV2Mute1, kMuteLed, 360, 512},
    {kV2Mute1 + 1, kMuteLed, 360, 536}, {kV2Mute1 + 2, kMuteLed, 360, 560}, {kV2Mute1 + 3, kMuteLed, 360, 584},
    {kSnap, kSnapLed, 111, 39},
};

const ParamTextRow kParamTextRows[] = {
    {kMainChan, 112, 125}, {kMnDelay, 248, 125}, {kParChan, 112, 231}, {kPDelay, 248, 231},
    {kV1Chan, 112, 437},   {kV1Algo, 112, 393},  {kV1Delay, 248, 439}, {kV2Chan, 112, 645},
    {kV2Algo, 112, 601},   {kV2Delay, 248, 645}, {kTonic, 112, 61},    {kScale, 248, 63},
};

// Lights: one per voice at the right of its panel's title, sounding while it has notes on; one left of each
// rotator interval's track, lit for the interval the next trigger plays.
struct LightRow {
  uint32_t mBit;
  int x;
  int y;
};

const LightRow kLightRows[] = {
    {VoiceActivity::SoundingBit(kMainVoice), 382, 102},   {VoiceActivity::SoundingBit(kParallelVoice), 382, 166},
    {VoiceActivity::SoundingBit(kRotator1), 382, 270},    {VoiceActivity::SoundingBit(kRotator2), 382, 478},
    {VoiceActivity::NextIntervalBit(0, 0), 102, 301},     {VoiceActivity::NextIntervalBit(0, 1), 102, 326},
    {VoiceActivity::NextIntervalBit(0, 2), 102, 349},     {VoiceActivity::NextIntervalBit(0, 3), 102, 373},
    {VoiceActivity::NextIntervalBit(1, 0), 102, 509},     {VoiceActivity::NextIntervalBit(1, 1), 102, 533},
    {VoiceActivity::NextIntervalBit(1, 2), 102, 557},     {VoiceActivity::NextIntervalBit(1, 3), 102, 581},
};

}  // namespace

IGraphics* MakeCyclochordEditor(IPluginBase* plug, void* moduleInstance, const std::atomic<uint32_t>* activity) {
  IWindowNames names;
  names.mClassName = CyclochordIdentity::kWindowClassName;
  names.mTitle = CyclochordIdentity::kWindowTitle;
  IGraphicsRaster* graphics =
      MakePlatformGraphics(plug, kCyclochordEditorWidth, kCyclochordEditorHeight, 0, moduleInstance, names);
  if (!graphics) return nullptr;
  graphics->AttachBackground(100, "img/bg.png");

  const IBitmap handle = graphics->LoadBitmap(101, "img/fader-handle.png", 1);
  const IBitmap muteLed = graphics->LoadBitmap(102, "img/mute-led.png", 2);
  const IBitmap snapLed = graphics->LoadBitmap(104, "img/snap-led.png", 2);

  const IColor black(255, 0, 0, 0);
  const ITextStyle paramTextStyle("Arial", 14, black, ITextStyle::StyleNormal, ITextStyle::AlignNear, 0);
  const ITextStyle readOutStyle("Arial", 14, black, ITextStyle::StyleNormal, ITextStyle::AlignCenter, 0);

  for (const FaderRow& row : kFaderRows) {
    auto* fader = new IFaderControl(plug, row.x, row.y - 3, kFaderLength, row.mParamIdx, handle,
                                    IFaderControl::kHorizontal);
    graphics->AttachControl(fader);
    const IRect readOutRect(row.x + 188, row.y - 3, row.x + 218, row.y + 13);
    graphics->AdoptObserver(new ValueReadOutInt(fader, plug, graphics, readOutRect, readOutStyle));
  }

  for (const SwitchRow& row : kSwitchRows) {
    const IBitmap& led = row.mLed == kSnapLed ? snapLed : muteLed;
    graphics->AttachControl(new ISwitchControl(plug, row.x, row.y, row.mParamIdx, led, IBlend::BlendAlpha));
  }

  for (const ParamTextRow& row : kParamTextRows) {
    const IRect rect(row.x + 2, row.y, row.x + 62, row.y + 16);
    graphics->AttachControl(new IParamTextControl(plug, rect, row.mParamIdx, paramTextStyle, nullptr, true, false,
                                                  0, kParamTextGearing));
  }

  // Last, so the controls above keep their places in the list.
  const IBitmap light = graphics->LoadBitmap(103, "img/spare-led.png", 2);
  for (const LightRow& row : kLightRows)
    graphics->AttachControl(new IIndicatorControl(plug, row.x, row.y, light, activity, row.mBit));

  // The size menu, in the title bar left of the vendor's name, in the title's colour.
  const ITextStyle sizeStyle("Arial", 14, IColor(255, 236, 241, 212), ITextStyle::StyleNormal, ITextStyle::AlignFar, 0);
  graphics->AttachControl(new ISizeMenuControl(plug, graphics, IRect(276, 9, 330, 25), sizeStyle));
  // The user's size, remembered outside any host's state: ~/.config/cyclochord/settings.ini and the like.
  graphics->UseSettingsFile(UserSettings::DefaultPath("cyclochord"));
  return graphics;
}
