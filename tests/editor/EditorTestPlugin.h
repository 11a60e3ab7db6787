// The framework's test plug-in with a small editor on a recording graphics host: a fader with its read-out on
// the integer parameter, an LED switch on the on/off parameter and a parameter text on the enumerated one.
#pragma once

#include "FakeGraphics.h"
#include "IFaderControl.h"
#include "IParamTextControl.h"
#include "ISwitchControl.h"
#include "TestPlugin.h"
#include "ValueReadOut.h"

// Control indices in the editor below.
enum { kBackgroundIdx = 0, kFaderIdx = 1, kReadOutIdx = 2, kSwitchIdx = 3, kTextIdx = 4 };

inline const ITextStyle& TestTextStyle() {
  static const ITextStyle style("Arial", 14, IColor(255, 0, 0, 0), ITextStyle::StyleNormal, ITextStyle::AlignCenter,
                                0);
  return style;
}

class EditorTestPlugin : public TestPlugin {
 public:
  EditorTestPlugin() {
    mFake = new FakeGraphics(this);
    mFake->AttachBackground(100, "img/bg.png");
    const IBitmap handle = mFake->LoadBitmap(101, "img/fader-handle.png", 1);
    const IBitmap led = mFake->LoadBitmap(102, "img/mute-led.png", 2);
    mFader = new IFaderControl(this, 120, 213, 184, kTestInt, handle, IFaderControl::kHorizontal);
    mFake->AttachControl(mFader);
    mReadOut = new ValueReadOutInt(mFader, this, mFake, IRect(308, 213, 338, 229), TestTextStyle());
    mFake->AdoptObserver(mReadOut);
    mSwitch = new ISwitchControl(this, 360, 128, kTestBool, led, IBlend::BlendAlpha);
    mFake->AttachControl(mSwitch);
    mText = new IParamTextControl(this, IRect(114, 125, 174, 141), kTestEnum, TestTextStyle());
    mFake->AttachControl(mText);
    AttachEditor(mFake);
  }

  static IPluginBase* Create() { return new EditorTestPlugin(); }

  FakeGraphics* mFake;
  IFaderControl* mFader;
  ValueReadOutInt* mReadOut;
  ISwitchControl* mSwitch;
  IParamTextControl* mText;
};
