#include "Lv2PortValue.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace cchost {
namespace {
bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

std::string Number(float v) {
  std::ostringstream s;
  s << v;
  return s.str();
}
}  // namespace

std::string Lv2PortValue::Shown() const {
  for (const auto& [v, label] : points)
    if (v == value) return label;
  if (toggled) return value > 0.0f ? "on" : "off";
  return Number(value);
}

bool Lv2PortValue::SetFromText(const std::string& text, std::string* shown, std::string* error) {
  float wanted = 0.0f;
  bool found = false;
  for (const auto& [v, label] : points)
    if (SameText(label, text)) {
      wanted = v;
      found = true;
      break;
    }
  if (!found && toggled) {
    for (const char* on : {"on", "true", "yes"}) found = found || SameText(text, on);
    if (found) {
      wanted = std::isnan(max) ? 1.0f : max;
    } else {
      for (const char* off : {"off", "false", "no"}) found = found || SameText(text, off);
      if (found) wanted = std::isnan(min) ? 0.0f : min;
    }
  }
  if (!found) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    // A unit may follow the number after a space: "120 bpm".
    const bool numberOnly = end != text.c_str() && (*end == '\0' || *end == ' ');
    if (!numberOnly || !std::isfinite(v)) {
      std::string choices;
      for (const auto& point : points) choices += (choices.empty() ? "" : ", ") + point.second;
      *error = "'" + text + "' is no value of " + symbol +
               (choices.empty() ? (toggled ? " (on or off)" : " (a number)") : " (one of: " + choices + ")");
      return false;
    }
    if (integer && v != std::floor(v)) {
      *error = symbol + " takes whole numbers, not " + text;
      return false;
    }
    if ((!std::isnan(min) && v < min) || (!std::isnan(max) && v > max)) {
      *error = symbol + " goes from " + Number(min) + " to " + Number(max) + ", not " + text;
      return false;
    }
    wanted = static_cast<float>(v);
  }
  value = wanted;
  *shown = Shown();
  return true;
}

Lv2PortValue* FindControl(const std::vector<Lv2PortValue*>& ports, const std::string& name, std::string* error) {
  for (Lv2PortValue* port : ports)
    if (SameText(port->symbol, name)) return port;
  for (Lv2PortValue* port : ports)
    if (SameText(port->name, name)) return port;
  std::string symbols;
  for (const Lv2PortValue* port : ports) symbols += (symbols.empty() ? "" : " ") + port->symbol;
  *error = "no control named " + name + (symbols.empty() ? "; the plug-in has none" : "; the controls are: " + symbols);
  return nullptr;
}

}  // namespace cchost
