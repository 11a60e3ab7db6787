// A one-line progress indicator on a terminal: appears once work has taken about a second, then shows the
// percentage done, and is erased at the end. Nothing is written when it is not enabled (pipes, CI logs).
#pragma once

#include <chrono>
#include <functional>
#include <ostream>
#include <string>

namespace cchost {

class ProgressLine {
 public:
  using Clock = std::function<double()>;  // seconds since some fixed time
  ProgressLine(std::ostream& out, bool enabled, Clock clock = SteadySeconds);
  ~ProgressLine() { Clear(); }
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  void Update(const std::string& what, double done);
  void Clear();

  // Whether standard error is a terminal a person watches.
  static bool WantedOnStandardError();
  static double SteadySeconds();

 private:
  std::ostream& mOut;
  bool mEnabled;
  Clock mClock;
  double mStart;
  double mLastShown = -1.0;
  size_t mShownWidth = 0;
};

}  // namespace cchost
