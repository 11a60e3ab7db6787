// Parameter lookup by name and value search by display text.
#include "ParameterText.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace cchost {
namespace {


// A whole-string number, with its count of decimals (resolution of the display).
bool ParseNumber(const std::string& text, double* value, int* decimals) {
  const std::string t = TrimSpaces(text);
  if (t.empty()) return false;
  char* end = nullptr;
  const double v = std::strtod(t.c_str(), &end);
  if (end == t.c_str() || *end != '\0' || !std::isfinite(v)) return false;
  *value = v;
  const size_t dot = t.find('.');
  *decimals = dot == std::string::npos ? 0 : static_cast<int>(t.size() - dot - 1);
  return true;
}

struct Sample {
  float normalized;
  std::string display;
};

bool TextMatches(const std::string& display, const std::string& wanted) {
  return LowerCase(TrimSpaces(display)) == LowerCase(wanted);
}

bool NumberMatches(const std::string& display, double wanted) {
  double shown = 0.0;
  int decimals = 0;
  if (!ParseNumber(display, &shown, &decimals)) return false;
  // The request rounded to the display's resolution must read the same.
  const double unit = std::pow(10.0, -decimals);
  return std::fabs(std::round(wanted / unit) * unit - shown) < unit * 0.01;
}

}  // namespace

int FindParameter(const Plugin& plugin, const std::string& name, std::string* error) {
  const int count = plugin.NumParams();
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) names.push_back(plugin.ParamName(i));
  for (int i = 0; i < count; ++i)
    if (!names[size_t(i)].empty() && names[size_t(i)] == name) return i;
  int found = -1;
  int matches = 0;
  for (int i = 0; i < count; ++i) {
    if (!names[size_t(i)].empty() && LowerCase(names[size_t(i)]) == LowerCase(name)) {
      found = i;
      ++matches;
    }
  }
  if (matches == 1) return found;
  if (!name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
    const long index = std::strtol(name.c_str(), nullptr, 10);
    if (name.size() < 9 && index < count) return static_cast<int>(index);
  }
  std::string list;
  for (const std::string& n : names)
    if (!n.empty()) list += (list.empty() ? "" : ", ") + n;
  *error = (matches > 1 ? "ambiguous parameter name '" : "unknown parameter '") + name + "' for " + plugin.Name() +
           "; parameters: " + list;
  return -1;
}

bool SetParameterByDisplay(const Plugin& plugin, int index, const std::string& requested, std::string* error) {
  const float original = plugin.GetParameter(index);
  std::string wanted = TrimSpaces(requested);
  // "-12 dB" or "-12dB" for a parameter labelled "dB".
  const std::string label = TrimSpaces(plugin.ParamLabel(index));
  if (!label.empty() && wanted.size() > label.size() &&
      LowerCase(wanted.substr(wanted.size() - label.size())) == LowerCase(label))
    wanted = TrimSpaces(wanted.substr(0, wanted.size() - label.size()));

  // Sample the normalised range; stepped parameters show each of their values many times.
  constexpr int kSteps = 2000;
  std::vector<Sample> samples;
  samples.reserve(kSteps + 1);
  for (int i = 0; i <= kSteps; ++i) {
    const float v = static_cast<float>(double(i) / kSteps);
    plugin.SetParameter(index, v);
    samples.push_back({v, plugin.ParamDisplay(index)});
  }
  double number = 0.0;
  int decimals = 0;
  const bool numeric = ParseNumber(wanted, &number, &decimals);
  // Best first: the same text; the same number; the number rounded to a coarser display (a
  // display of "0" for 0.37 must not win over "0.37", so the nearest such display counts).
  auto rank = [&](const std::string& display) -> double {
    if (TextMatches(display, wanted)) return 0.0;
    double shown = 0.0;
    int shownDecimals = 0;
    if (!numeric || !ParseNumber(display, &shown, &shownDecimals)) return -1.0;
    if (std::fabs(shown - number) <= 1e-9 * std::max(1.0, std::fabs(number))) return 1.0;
    if (NumberMatches(display, number)) return 2.0 + std::fabs(shown - number);
    return -1.0;
  };
  int best = -1;
  double bestRank = 1e300;
  for (int i = 0; i <= kSteps; ++i) {
    const double r = rank(samples[size_t(i)].display);
    if (r >= 0.0 && r < bestRank) {
      bestRank = r;
      best = i;
    }
  }
  // The middle of the first run showing that text sits safely inside the value's range.
  int first = best, last = best;
  while (best >= 0 && last < kSteps && samples[size_t(last + 1)].display == samples[size_t(best)].display) ++last;
  float chosen = -1.0f;
  if (first >= 0) {
    chosen = samples[size_t((first + last) / 2)].normalized;
  } else if (numeric) {
    // A continuous parameter: bisect between the two samples whose displays bracket the number.
    for (int i = 0; i < kSteps && chosen < 0.0f; ++i) {
      double a = 0.0, b = 0.0;
      int da = 0, db = 0;
      if (!ParseNumber(samples[size_t(i)].display, &a, &da) || !ParseNumber(samples[size_t(i + 1)].display, &b, &db))
        continue;
      if ((number - a) * (number - b) > 0.0) continue;
      float lo = samples[size_t(i)].normalized, hi = samples[size_t(i + 1)].normalized;
      const bool rising = b >= a;
      for (int k = 0; k < 40; ++k) {
        const float mid = 0.5f * (lo + hi);
        plugin.SetParameter(index, mid);
        const std::string display = plugin.ParamDisplay(index);
        if (NumberMatches(display, number)) {
          chosen = mid;
          break;
        }
        double shown = 0.0;
        int d = 0;
        if (!ParseNumber(display, &shown, &d)) break;
        ((shown < number) == rising ? lo : hi) = mid;
      }
    }
  }
  if (chosen < 0.0f) {
    plugin.SetParameter(index, original);
    std::vector<std::string> values;
    for (const Sample& s : samples)
      if (values.empty() || values.back() != s.display) values.push_back(s.display);
    std::string list;
    if (values.size() <= 40)
      for (const std::string& v : values) list += (list.empty() ? "" : ", ") + v;
    else
      list = values.front() + " .. " + values.back();
    *error = "parameter " + plugin.ParamName(index) + " has no value '" + requested + "'; values: " + list;
    return false;
  }
  plugin.SetParameter(index, chosen);
  return true;
}

std::string LowerCase(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string TrimSpaces(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
  return s.substr(a, b - a);
}

}  // namespace cchost
