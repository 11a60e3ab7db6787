// The plug-in's editor as an LV2 X11 UI: it opens the editor that the plug-in object owns (reached through
// instance access) inside the host's window, and passes the editor's gestures to the host as port writes.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include "Lv2Wrapper.h"

class Lv2EditorUI : public Lv2EditorLink {
 public:
  // [UI thread] Null when the host lacks the parent window or instance access, or the editor cannot open.
  static Lv2EditorUI* Create(LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                             const LV2_Feature* const* features);
  ~Lv2EditorUI() override;
  Lv2EditorUI(const Lv2EditorUI&) = delete;
  Lv2EditorUI& operator=(const Lv2EditorUI&) = delete;

  // [UI thread] Hands the host what the editor did since the last call, and a new size; 0 while the UI goes on.
  int Idle();
  // [UI thread] The options interface: the host's scale (ui:scaleFactor) while the UI is open.
  uint32_t GetOptions(LV2_Options_Option* options);
  uint32_t SetOptions(const LV2_Options_Option* options);

  // [editor thread, under the plug-in's lock] Queued for the UI thread: hosts take port writes there only.
  void BeginEdit(int port) override;
  void ValueEdited(int port, float value) override;
  void EndEdit(int port) override;
  void EditorResized(int width, int height) override;
  void Detach() override;

 private:
  struct Edit {
    enum Kind { kBegin, kValue, kEnd } mKind;
    uint32_t mPort;
    float mValue;
  };
  Lv2EditorUI(Lv2Wrapper* plug, LV2UI_Write_Function write, LV2UI_Controller controller, const LV2UI_Touch* touch);
  void Queue(const Edit& edit);
  // True when options held a usable ui:scaleFactor; the editor takes it unless the user chose a size.
  bool TakeScale(const LV2_Options_Option* options);
  void TellSize();

  std::atomic<Lv2Wrapper*> mPlug;
  LV2UI_Write_Function mWrite;
  LV2UI_Controller mController;
  const LV2UI_Touch* mTouch;
  std::mutex mQueueLock;
  std::vector<Edit> mQueue;
  std::vector<Edit> mSending;
  const LV2UI_Resize* mResize = nullptr;
  LV2_URID mScaleFactorUrid = 0;
  LV2_URID mFloatUrid = 0;
  float mScaleFactor = 1.0f;  // what GetOptions hands out
  std::atomic<bool> mSizeChanged{false};
};
