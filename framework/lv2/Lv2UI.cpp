#include "Lv2UI.h"

#include <cstring>
#include <string_view>

#include <lv2/atom/atom.h>
#include <lv2/instance-access/instance-access.h>

#include "Lv2Entry.h"

Lv2EditorUI::Lv2EditorUI(Lv2Wrapper* plug, LV2UI_Write_Function write, LV2UI_Controller controller,
                         const LV2UI_Touch* touch)
    : mPlug(plug), mWrite(write), mController(controller), mTouch(touch) {
  mQueue.reserve(256);
  mSending.reserve(256);
}

Lv2EditorUI* Lv2EditorUI::Create(LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                                 const LV2_Feature* const* features) {
  void* parent = const_cast<void*>(FindLV2Feature(features, LV2_UI__parent));
  auto* plug = static_cast<Lv2Wrapper*>(const_cast<void*>(FindLV2Feature(features, LV2_INSTANCE_ACCESS_URI)));
  const auto* resize = static_cast<const LV2UI_Resize*>(FindLV2Feature(features, LV2_UI__resize));
  const auto* touch = static_cast<const LV2UI_Touch*>(FindLV2Feature(features, LV2_UI__touch));
  if (!parent || !plug || !widget || !plug->Plugin().GetGraphics()) return nullptr;

  IEditorInterface* graphics = plug->Plugin().GetGraphics();
  auto* ui = new Lv2EditorUI(plug, write, controller, touch);
  ui->mResize = resize;
  if (const auto* map = static_cast<const LV2_URID_Map*>(FindLV2Feature(features, LV2_URID__map))) {
    ui->mScaleFactorUrid = map->map(map->handle, LV2_UI__scaleFactor);
    ui->mFloatUrid = map->map(map->handle, LV2_ATOM__Float);
  }
  // The scale the host gives at instantiation comes before the window: the window opens at its size.
  ui->TakeScale(static_cast<const LV2_Options_Option*>(FindLV2Feature(features, LV2_OPTIONS__options)));
  void* window = graphics->OpenWindow(parent);
  if (!window) {
    ui->mPlug = nullptr;
    delete ui;
    return nullptr;
  }
  {
    ScopedLock lock(plug->Plugin().Lock());
    if (Lv2EditorLink* earlier = plug->EditorLink()) earlier->Detach();
    plug->SetEditorLink(ui);
    plug->Plugin().OnEditorOpen();
  }
  if (resize && resize->ui_resize) resize->ui_resize(resize->handle, graphics->WindowWidth(), graphics->WindowHeight());
  *widget = window;
  return ui;
}

Lv2EditorUI::~Lv2EditorUI() {
  Lv2Wrapper* plug = mPlug;
  // Detached: the plug-in went first and closed its editor then, or a second UI has the editor now.
  if (!plug) return;
  {
    ScopedLock lock(plug->Plugin().Lock());
    if (plug->EditorLink() != this) return;
    plug->SetEditorLink(nullptr);
    plug->Plugin().OnEditorClose();
  }
  if (IEditorInterface* graphics = plug->Plugin().GetGraphics()) graphics->CloseWindow();
}

void Lv2EditorUI::Detach() { mPlug = nullptr; }

bool Lv2EditorUI::TakeScale(const LV2_Options_Option* options) {
  if (!options || mScaleFactorUrid == 0) return false;
  bool taken = false;
  for (const LV2_Options_Option* o = options; o->key != 0 || o->value != nullptr; ++o) {
    if (o->key != mScaleFactorUrid || o->type != mFloatUrid || o->size != sizeof(float) || !o->value) continue;
    mScaleFactor = *static_cast<const float*>(o->value);
    Lv2Wrapper* plug = mPlug;
    IEditorInterface* graphics = plug ? plug->Plugin().GetGraphics() : nullptr;
    taken = graphics && graphics->SetHostScale(mScaleFactor);
  }
  return taken;
}

void Lv2EditorUI::TellSize() {
  Lv2Wrapper* plug = mPlug;
  const IEditorInterface* graphics = plug ? plug->Plugin().GetGraphics() : nullptr;
  if (graphics && mResize && mResize->ui_resize)
    mResize->ui_resize(mResize->handle, graphics->WindowWidth(), graphics->WindowHeight());
}

uint32_t Lv2EditorUI::SetOptions(const LV2_Options_Option* options) {
  if (!TakeScale(options)) return LV2_OPTIONS_SUCCESS;
  TellSize();
  return LV2_OPTIONS_SUCCESS;
}

uint32_t Lv2EditorUI::GetOptions(LV2_Options_Option* options) {
  uint32_t result = LV2_OPTIONS_SUCCESS;
  for (LV2_Options_Option* o = options; o && (o->key != 0 || o->value != nullptr); ++o) {
    if (o->key != mScaleFactorUrid || mScaleFactorUrid == 0) {
      result |= LV2_OPTIONS_ERR_BAD_KEY;
      continue;
    }
    o->type = mFloatUrid;
    o->size = sizeof(float);
    o->value = &mScaleFactor;
  }
  return result;
}

void Lv2EditorUI::EditorResized(int, int) { mSizeChanged = true; }

void Lv2EditorUI::Queue(const Edit& edit) {
  std::lock_guard<std::mutex> lock(mQueueLock);
  // A run of values for one port between idle calls: the host needs only the last.
  if (edit.mKind == Edit::kValue && !mQueue.empty() && mQueue.back().mKind == Edit::kValue &&
      mQueue.back().mPort == edit.mPort) {
    mQueue.back().mValue = edit.mValue;
    return;
  }
  mQueue.push_back(edit);
}

void Lv2EditorUI::BeginEdit(int port) { Queue({Edit::kBegin, static_cast<uint32_t>(port), 0.0f}); }

void Lv2EditorUI::ValueEdited(int port, float value) { Queue({Edit::kValue, static_cast<uint32_t>(port), value}); }

void Lv2EditorUI::EndEdit(int port) { Queue({Edit::kEnd, static_cast<uint32_t>(port), 0.0f}); }

int Lv2EditorUI::Idle() {
  {
    std::lock_guard<std::mutex> lock(mQueueLock);
    mSending.swap(mQueue);
  }
  // The host is called with no lock held: it may call back into the plug-in or the UI.
  for (const Edit& edit : mSending) {
    if (edit.mKind == Edit::kValue) {
      if (mWrite) mWrite(mController, edit.mPort, sizeof(float), 0, &edit.mValue);
    } else if (mTouch && mTouch->touch) {
      mTouch->touch(mTouch->handle, edit.mPort, edit.mKind == Edit::kBegin);
    }
  }
  mSending.clear();
  // The user chose another size on the editor's own thread; the host hears of it here, on its UI thread.
  if (mSizeChanged.exchange(false)) TellSize();
  return 0;
}

namespace {
LV2UI_Handle InstantiateUI(const LV2UI_Descriptor*, const char*, const char*, LV2UI_Write_Function write,
                           LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
  return Lv2EditorUI::Create(write, controller, widget, features);
}

void CleanupUI(LV2UI_Handle ui) { delete static_cast<Lv2EditorUI*>(ui); }

// The editor follows the plug-in object itself, which has the host's values from its ports by then.
void PortEvent(LV2UI_Handle, uint32_t, uint32_t, uint32_t, const void*) {}

int IdleUI(LV2UI_Handle ui) { return static_cast<Lv2EditorUI*>(ui)->Idle(); }

uint32_t GetUIOptions(LV2UI_Handle ui, LV2_Options_Option* options) {
  return static_cast<Lv2EditorUI*>(ui)->GetOptions(options);
}

uint32_t SetUIOptions(LV2UI_Handle ui, const LV2_Options_Option* options) {
  return static_cast<Lv2EditorUI*>(ui)->SetOptions(options);
}

const void* UIExtensionData(const char* uri) {
  static const LV2UI_Idle_Interface kIdle = {IdleUI};
  static const LV2_Options_Interface kOptions = {GetUIOptions, SetUIOptions};
  if (uri && std::string_view(uri) == LV2_UI__idleInterface) return &kIdle;
  if (uri && std::string_view(uri) == LV2_OPTIONS__interface) return &kOptions;
  return nullptr;
}
}  // namespace

const LV2UI_Descriptor* Lv2EditorDescriptor() {
  static const LV2UI_Descriptor kDescriptor = {kLv2PluginURIs.mUI, InstantiateUI, CleanupUI, PortEvent,
                                               UIExtensionData};
  return &kDescriptor;
}
