#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "UserSettings.h"

std::string UserSettings::DefaultPath(const char* product) {
  std::string base;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/') {
    base = config;
  } else if (const char* home = std::getenv("HOME"); home && home[0] == '/') {
    base = std::string(home) + "/.config";
  } else {
    return std::string();
  }
  return base + "/" + product + "/settings.ini";
}

bool MakeSettingsFolder(const std::string& folder) {
  struct stat info = {};
  if (stat(folder.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
  const std::string parent = SettingsFolderOf(folder);
  if (!parent.empty() && !MakeSettingsFolder(parent)) return false;
  return mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool ReplaceSettingsFile(const std::string& source, const std::string& target) {
  return std::rename(source.c_str(), target.c_str()) == 0;
}
