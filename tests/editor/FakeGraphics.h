// A graphics host for tests that records what the controls draw and ask for instead of drawing it.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "IControl.h"
#include "IGraphics.h"

struct DrawCall {
  IRect mDest;
  int mSrcX;
  int mSrcY;
  std::string mText;  // empty for bitmaps
};

struct EntryRequest {
  IControl* mControl;
  IParameter* mParam;
  bool mTextMode;
};

class FakeGraphics : public IGraphics {
 public:
  FakeGraphics(IPluginBase* plug, int width = 410, int height = 680) : IGraphics(plug, width, height, 0) {}

  // Bitmap sizes by resource id, as the fake "decoder" reports them.
  std::map<int, std::pair<int, int>> mBitmapSizes = {{100, {410, 680}}, {101, {12, 12}}, {102, {11, 22}},
                                                     {104, {12, 24}}};
  std::vector<DrawCall> mDraws;
  std::vector<IRect> mPaints;
  std::vector<EntryRequest> mEntries;
  bool mPrepared = false;

  void PrepareDrawing() override { mPrepared = true; }
  bool PaintToWindow(const IRect* r) override {
    mPaints.push_back(*r);
    return true;
  }
  bool DrawBitmap(const IBitmap*, const IRect* dest, int srcX, int srcY, const IBlend*) override {
    mDraws.push_back({*dest, srcX, srcY, ""});
    return true;
  }
  bool DrawText(const ITextStyle*, const char* text, const IRect* rect) override {
    mDraws.push_back({*rect, 0, 0, text});
    return true;
  }
  void OpenTextEntry(IControl* control, IParameter* param, bool textMode) override {
    mEntries.push_back({control, param, textMode});
  }
  IBitmap LoadBitmap(int id, const char*, int nFrames) override {
    const auto size = mBitmapSizes.at(id);
    return IBitmap(nullptr, size.first, size.second, nFrames);
  }

  bool DrawRotatedBitmap(const IBitmap*, int, int, double, int, const IBlend*) override { return false; }
  bool DrawRotatedMask(const IBitmap*, const IBitmap*, const IBitmap*, int, int, double, const IBlend*) override {
    return false;
  }
  bool DrawPoint(const IColor*, float, float, const IBlend*, bool) override { return false; }
  bool SetPixel(const IColor*, int, int) override { return false; }
  bool DrawLine(const IColor*, float, float, float, float, const IBlend*, bool) override { return false; }
  bool DrawArc(const IColor*, float, float, float, float, float, const IBlend*, bool) override { return false; }
  bool DrawCircle(const IColor*, float, float, float, const IBlend*, bool) override { return false; }
  bool FillRect(const IColor*, const IRect*, const IBlend*) override { return false; }
  IColor GetPixel(int, int) override { return IColor(); }
  void* GetDrawBits() override { return nullptr; }
  void* OpenWindow(void*) override { return nullptr; }
  void CloseWindow() override {}
  void* GetWindow() override { return nullptr; }
  IBitmap ScaleBitmap(const IBitmap*, int, int) override { return IBitmap(); }
  IBitmap CropBitmap(const IBitmap*, const IRect*) override { return IBitmap(); }
  void RetainBitmap(const IBitmap*) override {}
  void ReleaseBitmap(const IBitmap*) override {}

  // Runs one timer tick: the dirty scan and, when something is dirty, the drawing of its union.
  bool Tick(IRect* drawn = nullptr) {
    IRect r;
    if (!IsDirty(&r)) return false;
    Draw(&r);
    if (drawn) *drawn = r;
    return true;
  }

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const DrawCall& call : mDraws)
      if (!call.mText.empty()) texts.push_back(call.mText);
    return texts;
  }
};

// A control that only records the mouse calls it gets.
class ProbeControl : public IControl {
 public:
  ProbeControl(IPluginBase* plug, const IRect& rect, int paramIdx = -1) : IControl(plug, rect, paramIdx) {}

  std::vector<std::string> mCalls;
  int mDraws = 0;

  void OnMouseDown(int x, int y, const IMouseMods* mods) override {
    mCalls.push_back("down " + std::to_string(x) + "," + std::to_string(y));
    IControl::OnMouseDown(x, y, mods);
  }
  void OnMouseUp(int x, int y, const IMouseMods*) override {
    mCalls.push_back("up " + std::to_string(x) + "," + std::to_string(y));
  }
  void OnMouseDrag(int x, int y, int dX, int dY, const IMouseMods*) override {
    mCalls.push_back("drag " + std::to_string(x) + "," + std::to_string(y) + " d" + std::to_string(dX) + "," +
                     std::to_string(dY));
  }
  void OnMouseDblClick(int x, int y, const IMouseMods* mods) override {
    mCalls.push_back("dbl");
    IControl::OnMouseDblClick(x, y, mods);
  }
  void OnMouseWheel(int, int, const IMouseMods*, int d) override { mCalls.push_back("wheel " + std::to_string(d)); }
  void OnMouseOver(int, int, const IMouseMods*) override { mCalls.push_back("over"); }
  void OnMouseOut() override { mCalls.push_back("out"); }
  bool Draw(IGraphics*) override {
    ++mDraws;
    return true;
  }
};
