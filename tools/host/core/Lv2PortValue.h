// An LV2 input control port as the command line sets it: by symbol or name, with a value given as text.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace cchost {

struct Lv2PortValue {
  std::string symbol, name;
  float min = 0.0f, max = 0.0f;  // NaN when the plug-in declares none
  bool integer = false, toggled = false;
  std::vector<std::pair<float, std::string>> points;  // scale points: value, label
  float value = 0.0f;             // what the port holds; the plug-in reads it through its pointer

  // A scale point's label, on/off (true/false, yes/no) for a toggle, or a number inside the range, which a unit
  // may follow after a space; case does not matter. False with a message and the value unchanged otherwise.
  bool SetFromText(const std::string& text, std::string* shown, std::string* error);
  std::string Shown() const;  // the label of the value's scale point, else the number
};

// The port whose symbol or name is name, ignoring case; null with a message listing the symbols otherwise.
Lv2PortValue* FindControl(const std::vector<Lv2PortValue*>& ports, const std::string& name, std::string* error);

}  // namespace cchost
