// The plug-in's editor as an LV2 X11 UI: it opens the editor that the plug-in object owns (reached through
// instance access) inside the host's window, and passes the editor's gestures to the host as port writes.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include <lv2/ui/ui.h>

#include "Lv2Wrapper.h"

class Lv2EditorUI : public Lv2EditorLink {
 public:
  // [UI thread] Null when the host lacks the parent window or instance access, or the editor cannot open.
  static Lv2EditorUI* Create(LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                             const LV2_Feature* const* features);
  ~Lv2EditorUI() override;
  Lv2EditorUI(const Lv2EditorUI&) = delete;
  Lv2EditorUI& operator=(const Lv2EditorUI&) = delete;

  // [UI thread] Hands the host what the editor did since the last call; 0 while the UI goes on.
  int Idle();

  // [editor thread, under the plug-in's lock] Queued for the UI thread: hosts take port writes there only.
  void BeginEdit(int port) override;
  void ValueEdited(int port, float value) override;
  void EndEdit(int port) override;
  void Detach() override;

 private:
  struct Edit {
    enum Kind { kBegin, kValue, kEnd } mKind;
    uint32_t mPort;
    float mValue;
  };
  Lv2EditorUI(Lv2Wrapper* plug, LV2UI_Write_Function write, LV2UI_Controller controller, const LV2UI_Touch* touch);
  void Queue(const Edit& edit);

  std::atomic<Lv2Wrapper*> mPlug;
  LV2UI_Write_Function mWrite;
  LV2UI_Controller mController;
  const LV2UI_Touch* mTouch;
  std::mutex mQueueLock;
  std::vector<Edit> mQueue;
  std::vector<Edit> mSending;
};
