// Plug-ins made by tests read and write the user's settings (the editor's size) in a folder of the test
// process's own, never the user's real one: a size chosen by hand does not change what tests see, and tests that
// choose one leave the user's alone. Linked as an object into every test binary, so it is never left out.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
struct IsolatedUserSettings {
  std::string mFolder;
  IsolatedUserSettings() {
    // A child that a test starts (a death test runs the program again) shares its parent's folder.
    const char* inherited = std::getenv("APPDATA");
    if (inherited && std::string(inherited).find("cyclochord-test-") != std::string::npos) return;
    char temp[MAX_PATH] = {};
    if (!GetTempPathA(MAX_PATH, temp)) return;
    mFolder = std::string(temp) + "cyclochord-test-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(mFolder.c_str(), nullptr);
    _putenv_s("APPDATA", mFolder.c_str());
  }
  // What the editor may have written: the settings file and its folder.
  ~IsolatedUserSettings() {
    if (mFolder.empty()) return;
    const std::string product = mFolder + "\\cyclochord";
    std::remove((product + "\\settings.ini").c_str());
    RemoveDirectoryA(product.c_str());
    RemoveDirectoryA(mFolder.c_str());
  }
};
const IsolatedUserSettings kIsolatedUserSettings;
}  // namespace
