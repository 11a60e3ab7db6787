// The progress line: silent when not wanted or for short work, one line redrawn in place, erased at the end.
#include <gtest/gtest.h>

#include <sstream>

#include "ProgressLine.h"

using namespace cchost;

TEST(ProgressLine, ShowsOnlyOnATerminalAfterASecondAndErasesItself) {
  struct Step {
    double at;
    double done;
    const char* adds;  // what the step writes
  };
  struct Case {
    const char* name;
    bool enabled;
    std::vector<Step> steps;
    const char* atClear;
  };
  const Case cases[] = {
      {"not a terminal", false, {{5.0, 0.5, ""}}, ""},
      {"short work", true, {{0.2, 0.5, ""}, {0.9, 1.0, ""}}, ""},
      {"long work",
       true,
       {{1.5, 0.25, "\rMIDI 25% of the song"}, {1.55, 0.3, ""}, {1.7, 0.999, "\rMIDI 99% of the song"}},
       "\r                    \r"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    double now = 0.0;
    std::ostringstream out;
    ProgressLine line(out, c.enabled, [&now] { return now; });
    for (const Step& s : c.steps) {
      const size_t before = out.str().size();
      now = s.at;
      line.Update("MIDI", s.done);
      EXPECT_EQ(out.str().substr(before), s.adds);
    }
    const size_t before = out.str().size();
    line.Clear();
    EXPECT_EQ(out.str().substr(before), c.atClear);
  }
}
