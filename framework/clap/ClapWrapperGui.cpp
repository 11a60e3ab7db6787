// The editor in the host's window [main thread, under the plug-in's lock]. It is a fixed-size child window that
// draws and takes input on the editor's own thread (X11) or the host's window thread (Windows).
#include <cstring>

#include "ClapWindow.h"
#include "ClapWrapper.h"

bool ClapWrapper::GuiSupports(const char* api, bool floating) const {
  return !floating && api && std::strcmp(api, kClapWindowApi) == 0 && mPlug->GetGraphics();
}

bool ClapWrapper::GuiSetParent(const clap_window_t* window) {
  if (!mGuiCreated || mGuiOpen || !window || !window->api || std::strcmp(window->api, kClapWindowApi) != 0)
    return false;
  IEditorInterface* graphics = mPlug->GetGraphics();
  if (!graphics->OpenWindow(ClapParentWindow(window))) return false;
  mPlug->OnEditorOpen();
  mGuiOpen = true;
  return true;
}

void ClapWrapper::GuiDestroy() {
  if (mGuiOpen) {
    // Not under the lock: the editor's thread may be waiting for it while we wait for that thread.
    mPlug->GetGraphics()->CloseWindow();
    ScopedLock lock(mPlug->Lock());
    mPlug->OnEditorClose();
  }
  mGuiOpen = false;
  mGuiCreated = false;
}

namespace {
ClapWrapper& W(const clap_plugin_t* plugin) { return *ClapWrapper::From(plugin); }
}  // namespace

struct ClapGuiCalls {
  static bool CLAP_ABI Supported(const clap_plugin_t* p, const char* api, bool floating) {
    return W(p).GuiSupports(api, floating);
  }
  static bool CLAP_ABI Preferred(const clap_plugin_t*, const char** api, bool* floating) {
    if (!api || !floating) return false;
    *api = kClapWindowApi;
    *floating = false;
    return true;
  }
  static bool CLAP_ABI Create(const clap_plugin_t* p, const char* api, bool floating) {
    ClapWrapper& w = W(p);
    if (w.mGuiCreated || !w.GuiSupports(api, floating)) return false;
    w.mGuiCreated = true;
    return true;
  }
  static void CLAP_ABI Destroy(const clap_plugin_t* p) { W(p).GuiDestroy(); }
  static bool CLAP_ABI SetScale(const clap_plugin_t*, double) { return false; }
  static bool CLAP_ABI GetSize(const clap_plugin_t* p, uint32_t* width, uint32_t* height) {
    const IEditorInterface* graphics = W(p).mPlug->GetGraphics();
    if (!graphics || !width || !height) return false;
    *width = static_cast<uint32_t>(graphics->Width());
    *height = static_cast<uint32_t>(graphics->Height());
    return true;
  }
  static bool CLAP_ABI CanResize(const clap_plugin_t*) { return false; }
  static bool CLAP_ABI ResizeHints(const clap_plugin_t*, clap_gui_resize_hints_t*) { return false; }
  static bool CLAP_ABI AdjustSize(const clap_plugin_t*, uint32_t*, uint32_t*) { return false; }
  static bool CLAP_ABI SetSize(const clap_plugin_t* p, uint32_t width, uint32_t height) {
    uint32_t w = 0, h = 0;
    return GetSize(p, &w, &h) && w == width && h == height;
  }
  static bool CLAP_ABI SetParent(const clap_plugin_t* p, const clap_window_t* window) {
    return W(p).GuiSetParent(window);
  }
  static bool CLAP_ABI SetTransient(const clap_plugin_t*, const clap_window_t*) { return false; }
  static void CLAP_ABI SuggestTitle(const clap_plugin_t*, const char*) {}
  static bool CLAP_ABI Show(const clap_plugin_t* p) { return W(p).mGuiOpen; }
  static bool CLAP_ABI Hide(const clap_plugin_t* p) { return W(p).mGuiOpen; }
};

const clap_plugin_gui_t ClapWrapper::kGui = {
    ClapGuiCalls::Supported, ClapGuiCalls::Preferred,   ClapGuiCalls::Create,    ClapGuiCalls::Destroy,
    ClapGuiCalls::SetScale,  ClapGuiCalls::GetSize,     ClapGuiCalls::CanResize, ClapGuiCalls::ResizeHints,
    ClapGuiCalls::AdjustSize, ClapGuiCalls::SetSize,    ClapGuiCalls::SetParent, ClapGuiCalls::SetTransient,
    ClapGuiCalls::SuggestTitle, ClapGuiCalls::Show,     ClapGuiCalls::Hide};
