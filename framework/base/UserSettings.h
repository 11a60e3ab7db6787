// The user's own settings of a product, shared by every instance in every host and kept apart from any host's
// state: a small text file of "key=value" lines in the user's configuration folder.
#pragma once

#include <map>
#include <string>

class UserSettings {
 public:
  // The file for a product: $XDG_CONFIG_HOME (or ~/.config)/<product>/settings.ini on Linux,
  // %APPDATA%\<product>\settings.ini on Windows; empty when the user has no such folder.
  static std::string DefaultPath(const char* product);

  explicit UserSettings(std::string path) : mPath(std::move(path)) {}

  // False, leaving nothing set, when the file is missing or unreadable; lines that are not "key=value" are
  // skipped.
  bool Load();
  // Writes every setting, making the product's folder if need be; the old file is replaced whole or not at all.
  bool Save() const;

  // The value, or fallback when the key is missing or not a number.
  double GetNumber(const char* key, double fallback) const;
  void SetNumber(const char* key, double value);
  const std::string& Path() const { return mPath; }

 private:
  std::string mPath;
  std::map<std::string, std::string> mValues;
};

// The folder part of a path (before its last separator), empty when there is none; and making one folder.
std::string SettingsFolderOf(const std::string& path);
bool MakeSettingsFolder(const std::string& folder);
// Replaces target by source in one step.
bool ReplaceSettingsFile(const std::string& source, const std::string& target);
