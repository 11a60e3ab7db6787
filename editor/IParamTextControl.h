// A text that shows a parameter's display text and changes it by dragging and the mouse wheel.
#pragma once

#include "ITextControl.h"

class IParameter;

class IParamTextControl : public ITextControl {
 public:
  IParamTextControl(IPluginBase* plug, const IRect& rect, int paramIdx, const ITextStyle& style,
                    IParameter* ownParam = nullptr, bool showParamText = true, bool showLabel = false,
                    int horizontalDrag = 0, double gearing = 8.0);

  void OnMouseDrag(int x, int y, int dX, int dY, const IMouseMods* mods) override;
  void OnMouseWheel(int x, int y, const IMouseMods* mods, int d) override;
  bool Draw(IGraphics* graphics) override;

 protected:
  // The bound parameter of the plug-in, else the control's own one, else null.
  IParameter* Param() const;
  void WrapAndPush();

  int mHorizontalDrag;
  double mGearing;
  bool mShowParamText;
  bool mShowLabel;
  IParameter* mOwnParam;
};
