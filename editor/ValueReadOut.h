// Read-outs: observers of a fader that show its parameter's real value in a text control beside it.
#pragma once

#include "IObserverInterface.h"
#include "IGraphicsStructs.h"

class IControl;
class IGraphics;
class IParameter;
class IPluginBase;
class ITextControl;

// Shows the value with two decimals ("0.50").
class ValueReadOut : public IObserverInterface {
 public:
  // Attaches its text control to the graphics host (so it lands right after the subject) and observes the subject.
  ValueReadOut(IControl* subject, IPluginBase* plug, IGraphics* graphics, const IRect& rect,
               const ITextStyle& style);

  void Update() override;
  ITextControl* TextControl() const { return mTextControl; }

 protected:
  virtual void Format(double value, char* out, int size) const;

  IControl* mSubject;
  ITextControl* mTextControl;
  IParameter* mParam;
};

// Shows the value truncated toward zero ("-24", "0").
class ValueReadOutInt : public ValueReadOut {
 public:
  using ValueReadOut::ValueReadOut;

 protected:
  void Format(double value, char* out, int size) const override;
};
