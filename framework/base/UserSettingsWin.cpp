#include <windows.h>

#include <cstdlib>

#include "UserSettings.h"

std::string UserSettings::DefaultPath(const char* product) {
  const char* appData = std::getenv("APPDATA");
  if (!appData || !appData[0]) return std::string();
  return std::string(appData) + "\\" + product + "\\settings.ini";
}

bool MakeSettingsFolder(const std::string& folder) {
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const std::string parent = SettingsFolderOf(folder);
  if (!parent.empty() && parent.back() != ':' && !MakeSettingsFolder(parent)) return false;
  return CreateDirectoryA(folder.c_str(), nullptr) != 0 || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool ReplaceSettingsFile(const std::string& source, const std::string& target) {
  return MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}
