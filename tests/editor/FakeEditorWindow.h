// A platform window for tests of a graphics host: it records what the host asks of it.
#pragma once

#include <memory>
#include <vector>

#include "EditorWindow.h"
#include "FakeGraphics.h"

struct FakeEditorWindow : EditorWindow {
  static FakeEditorWindow* sLast;  // the window alive now, null once it is gone
  static int sMade;

  std::vector<IRect> mPaints;
  std::vector<EntryRequest> mEntries;

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

  template <class Graphics>
  static std::unique_ptr<EditorWindow> Make(Graphics*, void*) {
    return std::make_unique<FakeEditorWindow>();
  }
  static void Reset() {
    sLast = nullptr;
    sMade = 0;
  }
};

inline FakeEditorWindow* FakeEditorWindow::sLast = nullptr;
inline int FakeEditorWindow::sMade = 0;
