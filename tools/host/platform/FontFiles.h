// Where the system keeps a sans-serif font for picture text, most wanted first.
#pragma once

#include <string>
#include <vector>

namespace cchost {

std::vector<std::string> SansFontFiles(bool bold);

}  // namespace cchost
