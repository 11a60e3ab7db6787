// Plug-ins made by tests read and write the user's settings (the editor's size) in a folder of the test
// process's own, never the user's real one: a size chosen by hand does not change what tests see, and tests that
// choose one leave the user's alone. Linked as an object into every test binary, so it is never left out.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
struct IsolatedUserSettings {
  std::string mFolder;
  IsolatedUserSettings() {
    // A child that a test starts (a death test runs the program again) shares its parent's folder.
    const char* inherited = std::getenv("XDG_CONFIG_HOME");
    if (inherited && std::string(inherited).rfind("/tmp/cyclochord-test-", 0) == 0) return;
    char folder[] = "/tmp/cyclochord-test-XXXXXX";
    if (!mkdtemp(folder)) return;
    mFolder = folder;
    setenv("XDG_CONFIG_HOME", folder, 1);
  }
  // What the editor may have written: the settings file and its folder.
  ~IsolatedUserSettings() {
    if (mFolder.empty()) return;
    const std::string product = mFolder + "/cyclochord";
    std::remove((product + "/settings.ini").c_str());
    rmdir(product.c_str());
    rmdir(mFolder.c_str());
  }
};
const IsolatedUserSettings kIsolatedUserSettings;
}  // namespace
