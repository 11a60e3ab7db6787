// cyclochord-host edit: shows a plug-in's editor in a window of its own, so that it can be tried without a
// sequencer; optionally takes a screenshot and logs what the editor tells the host.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <sstream>

#include "ClapInstance.h"
#include "Commands.h"
#include "EditorHostWindow.h"
#include "FileIo.h"
#include "PluginLoader.h"
#include "PngWriter.h"

namespace cchost {
namespace {

using Clock = std::chrono::steady_clock;

// How often the window is served and effEditIdle sent: about 50 times a second, as hosts do.
constexpr int kIdleIntervalMs = 20;
constexpr int kDefaultScreenshotDelayMs = 1000;

struct EditOptions {
  std::string plugin;
  std::string screenshot;
  int afterMs = -1;  // -1: until the window is closed
  bool logAutomation = false;
};

bool ParseEditOptions(const std::vector<std::string>& args, EditOptions* o, std::string* error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--screenshot") {
      if (!hasValue) return *error = "--screenshot needs a file name", false;
      o->screenshot = args[++i];
    } else if (a == "--after") {
      if (!hasValue) return *error = "--after needs a time in milliseconds", false;
      const std::string& v = args[++i];
      char* end = nullptr;
      const long ms = std::strtol(v.c_str(), &end, 10);
      if (v.empty() || *end != '\0' || ms < 0 || ms > 24L * 3600 * 1000)
        return *error = "--after wants milliseconds from 0 to 86400000, not '" + v + "'", false;
      o->afterMs = static_cast<int>(ms);
    } else if (a == "--log-automation") {
      o->logAutomation = true;
    } else if (!a.empty() && a[0] == '-') {
      return *error = "unknown option '" + a + "'", false;
    } else if (o->plugin.empty()) {
      o->plugin = a;
    } else {
      return *error = "more than one plug-in given ('" + a + "')", false;
    }
  }
  if (o->plugin.empty()) return *error = "no plug-in given", false;
  if (!o->screenshot.empty() && o->afterMs < 0) o->afterMs = kDefaultScreenshotDelayMs;
  return true;
}

bool EditorSize(const Plugin& plugin, int* width, int* height) {
  ERect* rect = nullptr;
  if (!plugin.Dispatch(effEditGetRect, 0, 0, &rect) || !rect) return false;
  const int w = rect->right - rect->left, h = rect->bottom - rect->top;
  if (w <= 0 || h <= 0 || w > 16384 || h > 16384) return false;
  *width = w;
  *height = h;
  return true;
}

bool WriteScreenshot(EditorHostWindow& window, const std::string& path, std::string* error) {
  std::vector<std::uint32_t> pixels;
  int w = 0, h = 0;
  if (!window.Capture(&pixels, &w, &h)) return *error = "cannot read the window's pixels from the screen", false;
  RgbImage image(w, h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.Set(x, y, pixels[size_t(y) * size_t(w) + size_t(x)] & 0xFFFFFF);
  std::vector<uint8_t> png;
  if (!EncodePng(image, &png, error)) return false;
  OutputFiles files;
  files.Add(path, std::move(png));
  return files.Commit(error);
}

// Serves the window (and through serve, the plug-in) until it is closed or the time is up, then takes the
// screenshot; the exit status.
int RunWindow(EditorHostWindow& window, const EditOptions& o, int waitMs, const std::function<bool()>& serve,
              std::mutex& outLock, std::ostream& out, std::ostream& err) {
  const auto start = Clock::now();
  bool open = true;
  while ((open = window.ProcessEvents(waitMs))) {
    if (!serve()) break;
    if (o.afterMs >= 0 && Clock::now() - start >= std::chrono::milliseconds(o.afterMs)) break;
  }
  if (o.screenshot.empty()) return kExitOk;
  std::string error;
  if (!open) {
    err << "cyclochord-host: the window was closed before the screenshot\n";
    return kExitError;
  }
  if (!WriteScreenshot(window, o.screenshot, &error)) {
    err << "cyclochord-host: " << error << "\n";
    return kExitError;
  }
  std::lock_guard<std::mutex> guard(outLock);
  out << "wrote         " << o.screenshot << std::endl;
  return kExitOk;
}

// A CLAP editor embedded into the window; the loop serves the plug-in's timers, descriptors and main-thread
// callbacks, since its editor code runs on this thread.
int RunClapEdit(const EditOptions& o, std::ostream& out, std::ostream& err) {
  std::string error;
  // Declared in the order they must outlive each other: the plug-in may log or ask for a resize until it goes.
  std::mutex outLock;
  std::unique_ptr<EditorHostWindow> window;
  std::unique_ptr<ClapInstance> plugin = ClapInstance::Load(o.plugin, &error);
  auto fail = [&err](const std::string& message) {
    err << "cyclochord-host: " << message << "\n";
    return kExitError;
  };
  if (!plugin) return fail(error);
  plugin->SetLogHandler([&out, &outLock](clap_log_severity, const std::string& message) {
    std::lock_guard<std::mutex> guard(outLock);
    out << "log           " << message << std::endl;
  });
  const char* api = EditorHostWindow::WindowSystem();
  const clap_plugin_gui_t* gui = plugin->Gui();
  const clap_plugin_t* p = plugin->Plugin();
  if (!gui || !gui->is_api_supported || !gui->create || !gui->destroy || !gui->set_parent || !gui->show ||
      !gui->is_api_supported(p, api, false))
    return fail(o.plugin + " has no editor that embeds into a " + api + " window");
  if (!gui->create(p, api, false)) return fail("the plug-in did not create its editor");
  // From here the editor exists and is destroyed on every way out, before the window it lives in.
  struct GuiGuard {
    const clap_plugin_gui_t* gui;
    const clap_plugin_t* plugin;
    ~GuiGuard() { gui->destroy(plugin); }
  } guard{gui, p};
  if (gui->set_scale) gui->set_scale(p, 1.0);
  uint32_t width = 400, height = 300;
  auto size = [&](uint32_t* w, uint32_t* h) {
    return gui->get_size && gui->get_size(p, w, h) && *w > 0 && *h > 0 && *w <= 16384 && *h <= 16384;
  };
  if (!size(&width, &height)) width = 400, height = 300;
  window = EditorHostWindow::Create(plugin->Name(), int(width), int(height), &error);
  if (!window) return fail(error);
  plugin->SetResizeHandler([&window](uint32_t w, uint32_t h) {
    window->SetClientSize(int(w), int(h));
    return true;
  });
  clap_window_t parent = {};
  parent.api = api;
  if (std::string(api) == CLAP_WINDOW_API_X11)
    parent.x11 = clap_xwnd(reinterpret_cast<std::uintptr_t>(window->ParentHandle()));
  else
    parent.ptr = window->ParentHandle();
  if (!gui->set_parent(p, &parent)) return fail("the plug-in did not embed its editor");
  gui->show(p);
  uint32_t openWidth = width, openHeight = height;
  if (size(&openWidth, &openHeight) && (openWidth != width || openHeight != height))
    window->SetClientSize(int(openWidth), int(openHeight));
  {
    std::lock_guard<std::mutex> lock(outLock);
    char handle[32];
    std::snprintf(handle, sizeof(handle), "%p", window->ParentHandle());
    out << "editor of " << plugin->Name() << " open in window " << handle << " (" << openWidth << " x "
        << openHeight << ")" << std::endl;
  }
  ClapInstance& instance = *plugin;
  // The window waits briefly: the plug-in's descriptors and timers get the rest of each round.
  const int status = RunWindow(*window, o, kIdleIntervalMs / 4, [&instance]() {
    instance.ServeMainThread(kIdleIntervalMs / 2);
    return !instance.GuiClosed();
  }, outLock, out, err);
  if (gui->hide) gui->hide(p);
  return status;
}

}  // namespace

int RunEdit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  EditOptions o;
  std::string error;
  if (!ParseEditOptions(args, &o, &error)) {
    err << "cyclochord-host edit: " << error << "\n";
    return kExitUsage;
  }
  if (!o.screenshot.empty() && !CheckWritable(o.screenshot, &error)) {
    err << "cyclochord-host: " << error << "\n";
    return kExitError;
  }
  if (IsClapPath(o.plugin)) return RunClapEdit(o, out, err);
  Host host(44100.0, 512);
  // The editor reports from its own thread: one line at a time, each out at once for whoever reads along.
  std::mutex outLock;
  if (o.logAutomation) {
    host.SetEditListener([&out, &outLock](VstInt32 opcode, VstInt32 index, float value) {
      std::ostringstream line;
      if (opcode == audioMasterBeginEdit) line << "begin-edit " << index;
      if (opcode == audioMasterEndEdit) line << "end-edit " << index;
      if (opcode == audioMasterAutomate) {
        char v[32];
        std::snprintf(v, sizeof(v), "%.6f", double(value));
        line << "automate " << index << " " << v;
      }
      std::lock_guard<std::mutex> guard(outLock);
      out << line.str() << std::endl;
    });
  }
  // A new size from the editor (the user chose one in it) may come from the editor's own thread: the window
  // takes it on this one.
  std::atomic<int64_t> newSize{0};
  host.SetSizeListener([&newSize](int w, int h) {
    if (w > 16384 || h > 16384) return false;
    newSize = (int64_t(w) << 32) | int64_t(h);
    return true;
  });
  std::unique_ptr<Plugin> plugin = Plugin::Load(o.plugin, &host, &error);
  if (!plugin) {
    err << "cyclochord-host: " << error << "\n";
    return kExitError;
  }
  if (!(plugin->Effect()->flags & effFlagsHasEditor)) {
    err << "cyclochord-host: " << o.plugin << " has no editor\n";
    return kExitError;
  }
  int width = 400, height = 300;
  EditorSize(*plugin, &width, &height);
  std::unique_ptr<EditorHostWindow> window = EditorHostWindow::Create(plugin->Name(), width, height, &error);
  if (!window) {
    err << "cyclochord-host: " << error << "\n";
    return kExitError;
  }
  if (!plugin->Dispatch(effEditOpen, 0, 0, window->ParentHandle())) {
    err << "cyclochord-host: the plug-in did not open its editor\n";
    return kExitError;
  }
  // Some editors know their size only once open.
  int openWidth = width, openHeight = height;
  if (EditorSize(*plugin, &openWidth, &openHeight) && (openWidth != width || openHeight != height))
    window->SetClientSize(openWidth, openHeight);
  {
    std::lock_guard<std::mutex> guard(outLock);
    char handle[32];
    std::snprintf(handle, sizeof(handle), "%p", window->ParentHandle());
    out << "editor of " << plugin->Name() << " open in window " << handle << " (" << openWidth << " x " << openHeight
        << ")" << std::endl;
  }

  const int status = RunWindow(*window, o, kIdleIntervalMs, [&plugin, &window, &newSize]() {
    plugin->Dispatch(effEditIdle);
    if (const int64_t size = newSize.exchange(0))
      window->SetClientSize(static_cast<int>(size >> 32), static_cast<int>(size & 0xFFFFFFFF));
    return true;
  }, outLock, out, err);
  plugin->Dispatch(effEditClose);
  window.reset();
  plugin.reset();
  return status;
}

}  // namespace cchost
