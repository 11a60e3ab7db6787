// Arial, which Liberation Sans matches in metrics, from the Windows font folder.
#include <windows.h>

#include "FontFiles.h"

namespace cchost {

std::vector<std::string> SansFontFiles(bool bold) {
  char folder[MAX_PATH] = {};
  const UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
  const std::string fonts = (length > 0 && length < MAX_PATH ? std::string(folder) : "C:\\Windows") + "\\Fonts\\";
  return {fonts + (bold ? "LiberationSans-Bold.ttf" : "LiberationSans-Regular.ttf"),
          fonts + (bold ? "arialbd.ttf" : "arial.ttf")};
}

}  // namespace cchost
