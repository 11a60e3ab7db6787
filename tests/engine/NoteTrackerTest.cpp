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

// The same queue kept with absolute times in a plain vector.
struct ModelQueue {
  struct Item {
    int64_t time;
    Out event;
  };
  std::vector<Item> items;

  void Insert(int64_t time, Out event) {
    auto at = std::find_if(items.begin(), items.end(), [&](const Item& i) { return i.time > time; });
    items.insert(at, {time, event});
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
        items.erase(items.begin() + static_cast<long>(i));
        Insert(a > 0 ? a - 1 : 0, moved);
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

TEST(NoteTracker, ABlockShorterThanTheFirstDeltaOnlyShortensIt) {
  NoteTracker tracker;
  tracker.AddNoteOn(600, 60, 0, 100);
  EXPECT_TRUE(Take(tracker, 512).empty());
  EXPECT_EQ(tracker.First()->mDelta, 88);
  // Due exactly at the block's end: offset 0 of the next block, never offset N of this one.
  EXPECT_TRUE(Take(tracker, 88).empty());
  EXPECT_EQ(Take(tracker, 64), (std::vector<Out>{{0, 0, 60, 0}}));
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

TEST(NoteTracker, SoundingFollowsWhatWasTakenAndRecordsAreRecycled) {
  NoteTracker tracker(2);
  EXPECT_EQ(tracker.NumPooled(), 2);
  tracker.AddNoteOn(0, 60, 3, 100);
  tracker.AddNoteOn(10, 61, 15, 100);
  tracker.AddNoteOff(20, 60, 3, 100);
  EXPECT_EQ(tracker.NumPooled(), 0);
  Take(tracker, 15);
  EXPECT_EQ(tracker.Sounding(60), 1u << 3);
  EXPECT_EQ(tracker.Sounding(61), 1u << 15);
  Take(tracker, 15);
  EXPECT_EQ(tracker.Sounding(60), 0u);
  EXPECT_EQ(tracker.NumPooled(), 3);
  tracker.AddNoteOn(5, 62, 0, 1);
  tracker.Clear();
  EXPECT_EQ(tracker.NumPending(), 0);
  EXPECT_EQ(tracker.NumPooled(), 3);
}

TEST(NoteTracker, TimesBeyondTheQueueRangeAreHeldAtItsEdges) {
  NoteTracker tracker;
  tracker.AddNoteOn(NoteTracker::ClampTime(int64_t{INT32_MAX} + 5000), 60, 0, 100);
  tracker.AddNoteOff(NoteTracker::ClampTime(-7), 61, 0, 0);
  tracker.AddNoteOff(NoteTracker::kMaxTime, 60, 0, 0);
  EXPECT_TRUE(Take(tracker, 0).empty()) << "a block without frames sends nothing";
  EXPECT_EQ(Take(tracker, 1), (std::vector<Out>{{0, 1, 61, 0}}));
  EXPECT_EQ(tracker.First()->mDelta, INT32_MAX - 1);
  EXPECT_EQ(tracker.First()->next->mDelta, 0);
}

TEST(NoteTracker, AgreesWithAPlainTimeOrderedListOverARandomSession) {
  std::mt19937 random(1234);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  NoteTracker tracker;
  ModelQueue model;
  for (int step = 0; step < 60000; ++step) {
    const int note = pick(60, 64), channel = pick(0, 3), time = pick(0, 1) ? pick(0, 1500) : pick(0, 40);
    switch (pick(0, 9)) {
      case 0:
      case 1:
      case 2:
        if (model.HasNoteOnAt(note, channel, time) != tracker.HasNoteOnAt(note, channel, time))
          FAIL() << "de-duplication differs at step " << step;
        if (tracker.HasNoteOnAt(note, channel, time)) break;
        tracker.AddNoteOn(time, note, channel, 100);
        model.AddNoteOn(time, note, channel);
        break;
      case 3:
      case 4:
      case 5:
        tracker.AddNoteOff(time, note, channel, 0);
        model.Insert(time, {0, 1, note, channel});
        break;
      case 6:
        if (pick(0, 200) == 0) {
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
      }
    }
  }
}
