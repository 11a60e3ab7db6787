// A platform window for tests of a graphics host: it records what the host asks of it, and its factory records
// what the host offers when it makes one.
#pragma once

#include <memory>
#include <vector>

#include "EditorWindow.h"
#include "FakeGraphics.h"

struct FakeEditorWindow : EditorWindow {
  static FakeEditorWindow* sLast;  // the window alive now, null once it is gone
  static int sMade;
  // What the next window's PlaceIn answers: false leaves the host's rectangle alone.
  static bool sKnowsPlace;
  static IRect sPlace;

  std::vector<IRect> mPaints;
  std::vector<EntryRequest> mEntries;
  std::vector<std::pair<int, int>> mGrowths;
  bool mKnowsPlace = sKnowsPlace;
  IRect mPlace = sPlace;

  FakeEditorWindow() {
    sLast = this;
    ++sMade;
  }
  ~FakeEditorWindow() override { sLast = nullptr; }
  void* Handle() const override { return reinterpret_cast<void*>(0x1234); }
  bool Paint(const IRect* r) override {
    mPaints.push_back(*r);
    return true;
  }
  bool OpenTextEntry(IControl* control, IParameter* param, bool textMode) override {
    mEntries.push_back({control, param, textMode});
    return true;
  }
  bool HasTextEntry() const override { return !mEntries.empty(); }
  void GrowBy(int dw, int dh) override { mGrowths.emplace_back(dw, dh); }
  bool PlaceIn(void*, IRect* r) const override {
    if (mKnowsPlace) *r = mPlace;
    return mKnowsPlace;
  }

  template <class Graphics>
  static std::unique_ptr<EditorWindow> Make(Graphics*, void*) {
    return std::make_unique<FakeEditorWindow>();
  }
  static void Reset() {
    sLast = nullptr;
    sMade = 0;
    sKnowsPlace = false;
    sPlace = IRect();
  }
};

inline FakeEditorWindow* FakeEditorWindow::sLast = nullptr;
inline int FakeEditorWindow::sMade = 0;
inline bool FakeEditorWindow::sKnowsPlace = false;
inline IRect FakeEditorWindow::sPlace;
