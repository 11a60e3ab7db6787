// The editor in the host's window [main thread, under the plug-in's lock]. It is a child window of a fixed size
// at each scale (the host's, or the user's from the editor's size menu), that draws and takes input on the
// editor's own thread (X11) or the host's window thread (Windows).
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

void ClapWrapper::OnEditorResized(int width, int height) {
  // Thread-safe on the host's side; a host that refuses keeps its frame, and the editor shows what fits. Also
  // while set_parent opens the window at the desktop's scale, which the host's get_size did not know yet.
  if (mHostGui && mHostGui->request_resize && mGuiCreated && width > 0 && height > 0)
    mHostGui->request_resize(mHost, static_cast<uint32_t>(width), static_cast<uint32_t>(height));
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

// ---- The host's loop [main thread] ----

bool ClapWrapper::WatchFd(int fd) {
  if (!mHostFds || !mHostFds->register_fd(mHost, fd, CLAP_POSIX_FD_READ)) return false;
  mFd = fd;
  return true;
}

bool ClapWrapper::StartTimer(int periodMs) {
  clap_id timer = CLAP_INVALID_ID;
  if (!mHostTimers || periodMs <= 0 || !mHostTimers->register_timer(mHost, static_cast<uint32_t>(periodMs), &timer))
    return false;
  mTimer = timer;
  return true;
}

void ClapWrapper::Stop() {
  if (mFd >= 0 && mHostFds) mHostFds->unregister_fd(mHost, mFd);
  if (mTimer != CLAP_INVALID_ID && mHostTimers) mHostTimers->unregister_timer(mHost, mTimer);
  mFd = -1;
  mTimer = CLAP_INVALID_ID;
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
  // The host's scale for an API in physical pixels; false when the user's own choice of size stands.
  static bool CLAP_ABI SetScale(const clap_plugin_t* p, double scale) {
    IEditorInterface* graphics = W(p).mPlug->GetGraphics();
    return graphics && graphics->SetHostScale(scale);
  }
  static bool CLAP_ABI GetSize(const clap_plugin_t* p, uint32_t* width, uint32_t* height) {
    const IEditorInterface* graphics = W(p).mPlug->GetGraphics();
    if (!graphics || !width || !height) return false;
    *width = static_cast<uint32_t>(graphics->WindowWidth());
    *height = static_cast<uint32_t>(graphics->WindowHeight());
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
  static void CLAP_ABI OnTimer(const clap_plugin_t* p, clap_id timer) {
    ClapWrapper& w = W(p);
    if (timer == w.mTimer && w.mGuiOpen) w.mPlug->GetGraphics()->OnHostLoopTimer();
  }
  static void CLAP_ABI OnFd(const clap_plugin_t* p, int fd, uint32_t) {
    ClapWrapper& w = W(p);
    if (fd == w.mFd && w.mGuiOpen) w.mPlug->GetGraphics()->OnHostLoopFd();
  }
  static bool CLAP_ABI Hide(const clap_plugin_t* p) { return W(p).mGuiOpen; }
};

const clap_plugin_gui_t ClapWrapper::kGui = {
    ClapGuiCalls::Supported, ClapGuiCalls::Preferred,   ClapGuiCalls::Create,    ClapGuiCalls::Destroy,
    ClapGuiCalls::SetScale,  ClapGuiCalls::GetSize,     ClapGuiCalls::CanResize, ClapGuiCalls::ResizeHints,
    ClapGuiCalls::AdjustSize, ClapGuiCalls::SetSize,    ClapGuiCalls::SetParent, ClapGuiCalls::SetTransient,
    ClapGuiCalls::SuggestTitle, ClapGuiCalls::Show,     ClapGuiCalls::Hide};

const clap_plugin_timer_support_t ClapWrapper::kTimerSupport = {ClapGuiCalls::OnTimer};
const clap_plugin_posix_fd_support_t ClapWrapper::kFdSupport = {ClapGuiCalls::OnFd};
