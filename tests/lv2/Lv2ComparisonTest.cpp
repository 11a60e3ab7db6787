// The LV2 build, loaded by URI through lilv, sends the same notes at the same frames as the VST build for
// the same sessions.
#include <gtest/gtest.h>

#include "CaseName.h"
#include "SessionPlayers.h"

namespace {
constexpr double kRate = 48000.0;
const char kUri[] = "https://larkspire.example/plugins/cyclochord";

class Lv2ComparisonTest : public testing::TestWithParam<Session> {};

TEST_P(Lv2ComparisonTest, SameEventsAtTheSameFrames) {
  const Session& session = GetParam();
  LilvHost host(CYCLOCHORD_LV2_BUNDLE_DIR, kUri);
  ASSERT_NE(host.Plugin(), nullptr) << host.Error();
  const PlayResult lv2 = PlayLV2(&host, session, kRate);
  ASSERT_TRUE(lv2.mError.empty()) << lv2.mError;
  const PlayResult vst = PlayVst(CYCLOCHORD_VST_MODULE, &host, session, kRate);
  ASSERT_TRUE(vst.mError.empty()) << vst.mError;
  RecordProperty("events", static_cast<int>(vst.mEvents.size()));
  // A session that makes next to nothing would prove nothing.
  EXPECT_GT(vst.mEvents.size(), 2 * session.mMidi.size() / 3);
  ASSERT_EQ(lv2.mEvents.size(), vst.mEvents.size());
  for (size_t i = 0; i < lv2.mEvents.size(); ++i) ASSERT_EQ(lv2.mEvents[i], vst.mEvents[i]) << "event " << i;
}

INSTANTIATE_TEST_SUITE_P(Sessions, Lv2ComparisonTest, testing::ValuesIn(ComparisonSessions()), CaseName<Session>);
}  // namespace
