#include "UserSettings.h"

#include <cstdio>
#include <fstream>
#include <sstream>

bool UserSettings::Load() {
  mValues.clear();
  if (mPath.empty()) return false;
  std::ifstream in(mPath);
  if (!in) return false;
  std::string line;
  // A settings file is a few lines; anything far longer is not ours.
  for (int n = 0; n < 1000 && std::getline(in, line); ++n) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    std::string value = line.substr(eq + 1);
    if (!value.empty() && value.back() == '\r') value.pop_back();
    mValues[line.substr(0, eq)] = value;
  }
  return true;
}

bool UserSettings::Save() const {
  if (mPath.empty()) return false;
  const std::string folder = SettingsFolderOf(mPath);
  if (!folder.empty() && !MakeSettingsFolder(folder)) return false;
  // Another instance may read at the same moment: it sees the old file or the new one, never half of one.
  const std::string temporary = mPath + ".new";
  {
    std::ofstream out(temporary, std::ios::trunc);
    if (!out) return false;
    for (const auto& [key, value] : mValues) out << key << '=' << value << '\n';
    out.flush();
    if (!out) {
      out.close();
      std::remove(temporary.c_str());
      return false;
    }
  }
  if (ReplaceSettingsFile(temporary, mPath)) return true;
  std::remove(temporary.c_str());
  return false;
}

double UserSettings::GetNumber(const char* key, double fallback) const {
  const auto found = mValues.find(key);
  if (found == mValues.end() || found->second.empty()) return fallback;
  std::istringstream in(found->second);
  in.imbue(std::locale::classic());
  double value = 0.0;
  if (!(in >> value)) return fallback;
  return value;
}

void UserSettings::SetNumber(const char* key, double value) {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out << value;
  mValues[key] = out.str();
}

std::string SettingsFolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}
