// Liberation Sans as Debian's fonts-liberation and fonts-liberation2 install it.
#include "FontFiles.h"

namespace cchost {

std::vector<std::string> SansFontFiles(bool bold) {
  const std::string name = bold ? "LiberationSans-Bold.ttf" : "LiberationSans-Regular.ttf";
  return {"/usr/share/fonts/truetype/liberation/" + name, "/usr/share/fonts/truetype/liberation2/" + name};
}

}  // namespace cchost
