// The editor's size menu: shows the scale the editor is drawn at and, clicked, offers the sizes to choose from.
// A choice is the user's own: it outranks the host's scale and is remembered for every instance.
#pragma once

#include "IParamTextControl.h"
#include "IParameter.h"

class IGraphics;

class ISizeMenuControl : public IParamTextControl {
 public:
  ISizeMenuControl(IPluginBase* plug, IGraphics* graphics, const IRect& rect, const ITextStyle& style);

  // Any click opens the list; dragging and the wheel change nothing.
  void OnMouseDown(int x, int y, const IMouseMods* mods) override;
  void OnMouseDrag(int, int, int, int, const IMouseMods*) override {}
  void OnMouseWheel(int, int, const IMouseMods*, int) override {}
  // A value from the list (the user's input) asks the editor for that scale.
  void SetDirty(bool pushToPlug = true) override;
  bool Draw(IGraphics* graphics) override;

  const IParameter& Sizes() const { return mSizes; }

 private:
  void FollowScale(double scale);

  IGraphics* mGraphics;
  IParameter mSizes;
};
