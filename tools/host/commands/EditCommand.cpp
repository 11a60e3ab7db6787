// cyclochord-host edit: shows a plug-in's editor in a window of its own, so that it can be tried without a
// sequencer; optionally takes a screenshot and logs what the editor tells the host.
#include <chrono>
#include <cstdio>
#include <mutex>
#include <sstream>

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

  const auto start = Clock::now();
  bool open = true;
  while ((open = window->ProcessEvents(kIdleIntervalMs))) {
    plugin->Dispatch(effEditIdle);
    if (o.afterMs >= 0 && Clock::now() - start >= std::chrono::milliseconds(o.afterMs)) break;
  }
  int status = kExitOk;
  if (!o.screenshot.empty()) {
    if (!open) {
      err << "cyclochord-host: the window was closed before the screenshot\n";
      status = kExitError;
    } else if (!WriteScreenshot(*window, o.screenshot, &error)) {
      err << "cyclochord-host: " << error << "\n";
      status = kExitError;
    } else {
      std::lock_guard<std::mutex> guard(outLock);
      out << "wrote         " << o.screenshot << std::endl;
    }
  }
  plugin->Dispatch(effEditClose);
  window.reset();
  plugin.reset();
  return status;
}

}  // namespace cchost
