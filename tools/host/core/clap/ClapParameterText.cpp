#include "ClapParameterText.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <functional>

#include "ParameterText.h"

namespace cchost {
namespace {


std::string Compact(const std::string& s) {
  std::string out;
  for (char c : s)
    if (std::isalnum(static_cast<unsigned char>(c))) out += char(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string FullName(const clap_param_info_t& p) {
  return p.module[0] ? std::string(p.module) + "/" + p.name : std::string(p.name);
}

// Stepped parameters with more values than this are searched as numbers only.
constexpr double kMaxSteps = 100000;

}  // namespace

const clap_param_info_t* FindClapParameter(const ClapInstance& plugin, const std::string& name, std::string* error) {
  const auto& params = plugin.Params();
  for (const clap_param_info_t& p : params)
    if (name == p.name || name == FullName(p)) return &p;
  // Looser matches, each tried alone: an ambiguous one is an error rather than a guess.
  const std::function<bool(const clap_param_info_t&)> rules[] = {
      [&](const clap_param_info_t& p) { return LowerCase(name) == LowerCase(p.name) || LowerCase(name) == LowerCase(FullName(p)); },
      [&](const clap_param_info_t& p) { return !Compact(name).empty() && Compact(name) == Compact(p.name); }};
  bool ambiguous = false;
  for (const auto& rule : rules) {
    const clap_param_info_t* found = nullptr;
    int matches = 0;
    for (const clap_param_info_t& p : params)
      if (rule(p)) {
        found = &p;
        ++matches;
      }
    if (matches == 1) return found;
    ambiguous = ambiguous || matches > 1;
    if (matches > 1) break;
  }
  if (!ambiguous && !name.empty() && name.size() < 11 && name.find_first_not_of("0123456789") == std::string::npos) {
    const unsigned long id = std::strtoul(name.c_str(), nullptr, 10);
    for (const clap_param_info_t& p : params)
      if (p.id == id) return &p;
  }
  std::string list;
  for (const clap_param_info_t& p : params) list += (list.empty() ? "" : ", ") + FullName(p);
  *error = (ambiguous ? "ambiguous parameter name '" : "unknown parameter '") + name + "' for " + plugin.Name() +
           "; parameters: " + (list.empty() ? "none" : list);
  return nullptr;
}

bool ClapValueFromText(const ClapInstance& plugin, const clap_param_info_t& param, const std::string& text,
                       double* value, std::string* error) {
  const std::string wanted = TrimSpaces(text);
  const double low = param.min_value, high = param.max_value;
  auto inRange = [&](double v) { return std::isfinite(v) && v >= low && v <= high; };
  double v = 0;
  if (plugin.TextToValue(param.id, wanted, &v) && inRange(v)) {
    *value = v;
    return true;
  }
  if ((param.flags & CLAP_PARAM_IS_STEPPED) && high - low <= kMaxSteps) {
    for (double step = std::ceil(low); step <= high; step += 1.0)
      if (LowerCase(TrimSpaces(plugin.ValueText(param.id, step))) == LowerCase(wanted)) {
        *value = step;
        return true;
      }
  }
  char* end = nullptr;
  v = std::strtod(wanted.c_str(), &end);
  // A unit may follow the number ("250 ms"); anything else after it is not a number.
  const bool numeric = end != wanted.c_str() && (*end == '\0' || std::isspace(static_cast<unsigned char>(*end)) ||
                                                 std::isalpha(static_cast<unsigned char>(*end)) || *end == '%');
  if (numeric && inRange(v)) {
    *value = (param.flags & CLAP_PARAM_IS_STEPPED) ? std::round(v) : v;
    return true;
  }
  *error = "'" + text + "' is no value of " + param.name + " (" + plugin.ValueText(param.id, low) + " .. " +
           plugin.ValueText(param.id, high) + ")";
  return false;
}

}  // namespace cchost
