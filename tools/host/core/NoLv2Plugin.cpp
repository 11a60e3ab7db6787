// Builds without lilv: the LV2 option exists and says why it cannot work here.
#include "Lv2Plugin.h"

namespace cchost {

std::unique_ptr<Lv2Plugin> Lv2Plugin::Load(const std::string&, double, int, std::string* error) {
  *error = "this build of cyclochord-host has no LV2 hosting (it needs lilv, on Linux)";
  return nullptr;
}

}  // namespace cchost
