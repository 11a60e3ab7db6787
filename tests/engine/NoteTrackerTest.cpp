// The pending-event queue: time order, cutoff avoidance, de-duplication, channel cancelling, pooling.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "NoteTracker.h"

namespace {
struct Out {
  int offset, off, note, channel;
  bool operator==(const Out& o) const {
    return offset == o.offset && off == o.off && note == o.note && channel == o.channel;
  }
};

std::vector<Out> Take(NoteTracker& tracker, int frames) {
  std::vector<Out> out;
  tracker.TakeDue(frames, [&](const NoteRecord& r, int32_t offset) {
    out.push_back({offset, r.mIsNoteOff, r.mNote, r.mChannel});
  });
  return out;
}

// The same queue kept in a plain vector in time order; `batch` counts the blocks taken.
struct ModelQueue {
  struct Item {
    int64_t time;
    Out event;
    int batch;
  };
  std::vector<Item> items;
  int batch = 0;

  void Insert(int64_t time, Out event, int itemBatch = -1) {
    auto at = std::find_if(items.begin(), items.end(), [&](const Item& i) { return i.time > time; });
    items.insert(at, {time, event, itemBatch < 0 ? batch : itemBatch});
  }
  void AddNoteOn(int64_t a, int note, int channel) {
    int64_t lastOn = 0;
    for (size_t i = 0; i < items.size(); ++i) {
      const Out& e = items[i].event;
      if (e.note != note || e.channel != channel) continue;
      if (!e.off) {
        if (items[i].time > a) break;
        lastOn = items[i].time;
      } else if (lastOn <= a && a <= items[i].time) {
        Out moved = e;
        const int movedBatch = items[i].batch;
        items.erase(items.begin() + static_cast<long>(i));
        Insert(a > 0 ? a - 1 : 0, moved, movedBatch);
        break;
      }
    }
    Insert(a, {0, 0, note, channel});
  }
  bool HasNoteOnAt(int note, int channel, int64_t t) const {
    return std::any_of(items.begin(), items.end(), [&](const Item& i) {
      return i.time == t && !i.event.off && i.event.note == note && i.event.channel == channel;
    });
  }
  std::vector<Out> Take(int frames) {
    std::vector<Out> out;
    while (!items.empty() && items.front().time < frames) {
      out.push_back(items.front().event);
      out.back().offset = static_cast<int>(items.front().time);
      items.erase(items.begin());
    }
      for (Item& i : items) i.time -= frames;
    return out;
  }
};
}  // namespace

TEST(NoteTracker, KeepsEveryEventAtItsTimeAndEqualTimesInAddingOrder) {
  NoteTracker tracker;
  tracker.AddNoteOn(22050, 60, 0, 100);
  tracker.AddNoteOff(100, 61, 0, 0);
  for (int note : {70, 71, 72}) tracker.AddNoteOn(300, note, 1, 90);
  std::vector<Out> out = Take(tracker, 512);
  EXPECT_EQ(out, (std::vector<Out>{{100, 1, 61, 0}, {300, 0, 70, 1}, {300, 0, 71, 1}, {300, 0, 72, 1}}));
  for (int block = 1; block < 43; ++block) ASSERT_TRUE(Take(tracker, 512).empty());
  EXPECT_EQ(Take(tracker, 512), (std::vector<Out>{{22050 - 43 * 512, 0, 60, 0}}));
}

TEST(NoteTracker, ABlockOnlyBringsLaterEventsCloserAndOneDueAtItsEndWaitsForTheNext) {
  NoteTracker tracker;
  tracker.AddNoteOn(600, 60, 0, 100);
  EXPECT_TRUE(Take(tracker, 512).empty());
  EXPECT_EQ(tracker.NextTime(), 88);
  EXPECT_TRUE(Take(tracker, 88).empty());
  EXPECT_EQ(Take(tracker, 1), (std::vector<Out>{{0, 0, 60, 0}}));
}

TEST(NoteTracker, ANewNoteOnMovesTheNoteOffThatWouldCutItShort) {
  NoteTracker tracker;
  tracker.AddNoteOff(500, 60, 0, 100);
  tracker.AddNoteOn(300, 60, 0, 100);
  EXPECT_EQ(Take(tracker, 1000), (std::vector<Out>{{299, 1, 60, 0}, {300, 0, 60, 0}}));

  tracker.AddNoteOff(0, 60, 0, 100);
  tracker.AddNoteOn(0, 60, 0, 100);
  EXPECT_EQ(Take(tracker, 1000), (std::vector<Out>{{0, 1, 60, 0}, {0, 0, 60, 0}}));

  // A later queued note-on owns that note-off: nothing moves.
  tracker.AddNoteOn(400, 60, 0, 100);
  tracker.AddNoteOff(500, 60, 0, 100);
  tracker.AddNoteOn(300, 60, 0, 100);
  EXPECT_EQ(Take(tracker, 1000), (std::vector<Out>{{300, 0, 60, 0}, {400, 0, 60, 0}, {500, 1, 60, 0}}));
}

TEST(NoteTracker, FindsANoteOnOnlyAtExactlyItsTimeNoteAndChannel) {
  NoteTracker tracker;
  tracker.AddNoteOn(40, 64, 1, 100);
  EXPECT_TRUE(tracker.HasNoteOnAt(64, 1, 40));
  EXPECT_FALSE(tracker.HasNoteOnAt(64, 1, 41));
  EXPECT_FALSE(tracker.HasNoteOnAt(64, 2, 40));
  EXPECT_FALSE(tracker.HasNoteOnAt(65, 1, 40));
  tracker.AddNoteOff(40, 66, 1, 0);
  EXPECT_FALSE(tracker.HasNoteOnAt(66, 1, 40));
}

TEST(NoteTracker, CancellingAChannelKeepsTheTimesOfTheOthers) {
  NoteTracker tracker;
  for (int i = 0; i < 9; ++i) tracker.AddNoteOn(100 * i, 60 + i, 1 + i % 3, 100);
  tracker.CancelChannel(2);
  EXPECT_EQ(Take(tracker, 1000), (std::vector<Out>{{0, 0, 60, 1},
                                                   {200, 0, 62, 3},
                                                   {300, 0, 63, 1},
                                                   {500, 0, 65, 3},
                                                   {600, 0, 66, 1},
                                                   {800, 0, 68, 3}}));
}

TEST(NoteTracker, SoundingFollowsWhatWasTakenAndRecordsReturnToThePool) {
  NoteTracker tracker(8, 0);
  tracker.AddNoteOn(0, 60, 3, 100);
  tracker.AddNoteOn(10, 61, 15, 100);
  tracker.AddNoteOff(20, 60, 3, 100);
  EXPECT_EQ(tracker.NumFree(), 5);
  Take(tracker, 15);
  EXPECT_EQ(tracker.Sounding(60), 1u << 3);
  EXPECT_EQ(tracker.Sounding(61), 1u << 15);
  Take(tracker, 15);
  EXPECT_EQ(tracker.Sounding(60), 0u);
  tracker.AddNoteOn(5, 62, 0, 1);
  tracker.Clear();
  EXPECT_EQ(tracker.NumPending(), 0);
  EXPECT_EQ(tracker.NumFree(), 8);
  EXPECT_TRUE(tracker.IsConsistent());
}

// Each accepted note-on holds the slot of its release; the silencing reserve stays free for channel note-offs.
TEST(NoteTracker, AFullQueueRefusesNoteOnsButEveryReleaseAndSilencingNoteOffFindsASlot) {
  NoteTracker tracker(64, 16);
  int accepted = 0;
  for (int i = 0; i < 100; ++i) accepted += tracker.AddNoteOn(i, i % 128, 0, 100) ? 1 : 0;
  EXPECT_EQ(accepted, 24);  // 24 note-ons and their 24 releases fill 64 slots beside 16 for silencing
  EXPECT_FALSE(tracker.CanAddNoteOn(127, 1));
  for (int i = 0; i < accepted; ++i) EXPECT_TRUE(tracker.AddNoteOff(1000 + i, i, 0, 100));
  for (int note = 0; note < 16; ++note) EXPECT_TRUE(tracker.AddSilencingNoteOff(5, note, 1));
  EXPECT_EQ(tracker.NumFree(), 0);
  EXPECT_EQ(tracker.ReservedReleases(), 0);
  EXPECT_TRUE(tracker.IsConsistent());
  // As the queue drains, note-ons are accepted again.
  Take(tracker, 2000);
  EXPECT_TRUE(tracker.CanAddNoteOn(127, 1));
}

TEST(NoteTracker, AtAJumpOnlyTheCurrentBatchStaysQueued) {
  NoteTracker tracker;
  tracker.AddNoteOn(700, 60, 0, 100);
  tracker.AddNoteOff(900, 61, 0, 100);
  tracker.StartBatch();
  tracker.AddNoteOn(0, 62, 0, 100);
  // A note-off moved by this batch's note-on still belongs to the earlier batch.
  tracker.AddNoteOn(800, 61, 0, 100);
  tracker.CancelEarlierBatches();
  EXPECT_EQ(Take(tracker, 1000), (std::vector<Out>{{0, 0, 62, 0}, {800, 0, 61, 0}}));
  EXPECT_TRUE(tracker.IsConsistent());
}

TEST(NoteTracker, TimesBeyondTheQueueRangeAreHeldAtItsEdges) {
  NoteTracker tracker;
  tracker.AddNoteOn(NoteTracker::ClampTime(int64_t{INT32_MAX} + 5000), 60, 0, 100);
  tracker.AddNoteOff(NoteTracker::ClampTime(-7), 61, 0, 0);
  tracker.AddNoteOff(NoteTracker::kMaxTime, 60, 0, 0);
  EXPECT_EQ(Take(tracker, 1), (std::vector<Out>{{0, 1, 61, 0}}));
  EXPECT_EQ(tracker.NextTime(), INT32_MAX - 1);
  EXPECT_EQ(tracker.NumPending(), 2);
}

// A crowded key refuses further notes, like a full queue, but still takes every release; other keys play on.
TEST(NoteTracker, AKeyAtItsCapRefusesNoteOnsButNotReleases) {
  NoteTracker tracker;
  for (int i = 0; i < NoteTracker::kMaxKeyRecords; ++i) ASSERT_TRUE(tracker.AddNoteOn(2 * i + 1, 60, 0, 100));
  EXPECT_FALSE(tracker.CanAddNoteOn(60, 0));
  EXPECT_TRUE(tracker.AddNoteOff(0, 60, 0, 0));
  EXPECT_TRUE(tracker.CanAddNoteOn(60, 1));
  EXPECT_TRUE(tracker.AddNoteOn(0, 60, 1, 100));
  EXPECT_TRUE(tracker.IsConsistent());
  const std::vector<Out> out = Take(tracker, 1000);
  ASSERT_EQ(out.size(), static_cast<size_t>(NoteTracker::kMaxKeyRecords + 2));
  EXPECT_EQ(out[0], (Out{0, 1, 60, 0}));
  EXPECT_EQ(out[1], (Out{0, 0, 60, 1}));
  EXPECT_TRUE(tracker.CanAddNoteOn(60, 0));
}

// Twenty keys with a few records each, and two keys crowded up to their cap and empty again.
struct ModelSession {
  int numNotes, numChannels, latest;
};
class NoteTrackerModel : public testing::TestWithParam<ModelSession> {};
INSTANTIATE_TEST_SUITE_P(Keys, NoteTrackerModel, testing::Values(ModelSession{5, 4, 1500}, ModelSession{1, 2, 9000}));

TEST_P(NoteTrackerModel, AgreesWithAPlainTimeOrderedListOverARandomSession) {
  const auto [numNotes, numChannels, latest] = GetParam();
  std::mt19937 random(1234);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  NoteTracker tracker;
  ModelQueue model;
  for (int step = 0; step < 60000; ++step) {
    const int note = pick(60, 59 + numNotes), channel = pick(0, numChannels - 1);
    const int time = pick(0, 1) ? pick(0, latest) : pick(0, 40);
    // The delay only picks a time list: a few that share lists, and any at all, so lists also get out-of-order
    // records, fill, empty and change hands.
    const int delay = pick(0, 3) == 0 ? pick(-1, 100000) : pick(0, 2) * 700;
    switch (pick(0, 9)) {
      case 0:
      case 1:
      case 2:
        if (model.HasNoteOnAt(note, channel, time) != tracker.HasNoteOnAt(note, channel, time))
          FAIL() << "de-duplication differs at step " << step;
        if (tracker.HasNoteOnAt(note, channel, time)) break;
        // A crowded key refuses, as it must.
        if (tracker.CanAddNoteOn(note, channel) && tracker.AddNoteOn(time, note, channel, 100, delay))
          model.AddNoteOn(time, note, channel);
        break;
      case 3:
      case 4:
      case 5:
        tracker.AddNoteOff(time, note, channel, 0, delay);
        model.Insert(time, {0, 1, note, channel});
        break;
      case 6:
        if (pick(0, 100) == 0) {
          tracker.CancelEarlierBatches();
          model.items.erase(std::remove_if(model.items.begin(), model.items.end(),
                                           [&](const ModelQueue::Item& i) { return i.batch != model.batch; }),
                            model.items.end());
        } else if (pick(0, 200) == 0) {
          tracker.Clear();
          model.items.clear();
        } else if (pick(0, 20) == 0) {
          tracker.CancelChannel(channel);
          model.items.erase(std::remove_if(model.items.begin(), model.items.end(),
                                           [&](const ModelQueue::Item& i) { return i.event.channel == channel; }),
                            model.items.end());
        }
        break;
      default: {
        const int frames = pick(0, 600);
        ASSERT_EQ(Take(tracker, frames), model.Take(frames)) << "step " << step;
        tracker.StartBatch();
        ++model.batch;
        if (step % 1000 == 0) {
          ASSERT_TRUE(tracker.IsConsistent()) << "step " << step;
        }
      }
    }
  }
}
