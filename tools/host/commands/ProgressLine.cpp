// The progress line.
#include "ProgressLine.h"

#include <cmath>
#include <cstdlib>

#include "Terminal.h"

namespace cchost {
namespace {
constexpr double kQuietSeconds = 1.0;     // short work shows nothing
constexpr double kRedrawSeconds = 0.1;
}  // namespace

ProgressLine::ProgressLine(std::ostream& out, bool enabled, Clock clock)
    : mOut(out), mEnabled(enabled), mClock(std::move(clock)), mStart(enabled ? mClock() : 0.0) {}

double ProgressLine::SteadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool ProgressLine::WantedOnStandardError() {
  // CI services may run jobs on a pseudo-terminal; their logs keep every carriage return.
  const char* ci = std::getenv("CI");
  const char* term = std::getenv("TERM");
  if (ci && *ci) return false;
  if (term && std::string(term) == "dumb") return false;
  return StandardErrorIsTerminal();
}

void ProgressLine::Update(const std::string& what, double done) {
  if (!mEnabled) return;
  const double now = mClock();
  if (now - mStart < kQuietSeconds || (mLastShown >= 0.0 && now - mLastShown < kRedrawSeconds)) return;
  mLastShown = now;
  const int percent = static_cast<int>(std::floor(std::fmin(std::fmax(done, 0.0), 1.0) * 100.0));
  std::string line = what + " " + std::to_string(percent) + "% of the song";
  const size_t width = line.size();
  if (width < mShownWidth) line.append(mShownWidth - width, ' ');  // cover a longer line shown before
  mOut << '\r' << line << std::flush;
  mShownWidth = std::max(mShownWidth, width);
}

void ProgressLine::Clear() {
  if (!mEnabled || mShownWidth == 0) return;
  mOut << '\r' << std::string(mShownWidth, ' ') << '\r' << std::flush;
  mShownWidth = 0;
  mLastShown = -1.0;
}

}  // namespace cchost
