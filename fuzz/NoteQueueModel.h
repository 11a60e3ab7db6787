// A plain model of the note queue's observable behaviour: a list searched and sorted in full on every question.
// Slow and obviously right, for comparing the real queue against.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

class NoteQueueModel {
 public:
  struct Event {
    int64_t due;     // samples since the model was made
    uint64_t order;  // later additions sort behind earlier ones of equal time
    bool isNoteOff;
    int note, channel, velocity;
  };
  struct Sent {
    bool isNoteOff;
    int note, channel, velocity;
    int32_t offset;
    bool operator==(const Sent& o) const {
      return isNoteOff == o.isNoteOff && note == o.note && channel == o.channel && velocity == o.velocity &&
             offset == o.offset;
    }
  };

  // Whether an event due exactly at the end of a block is sent in that block (true) or waits for the next.
  explicit NoteQueueModel(bool dueAtEndInBlock) : mDueAtEndInBlock(dueAtEndInBlock) {}

  static int32_t Clamp(int64_t time) { return time < 0 ? 0 : (time > INT32_MAX ? INT32_MAX : int32_t(time)); }

  void AddNoteOn(int32_t time, int note, int channel, int velocity) {
    time = Clamp(time);
    AvoidCutoff(time, note, channel);
    mEvents.push_back({mClock + time, mNextOrder++, false, note, channel, velocity});
  }
  void AddNoteOff(int32_t time, int note, int channel, int velocity) {
    mEvents.push_back({mClock + Clamp(time), mNextOrder++, true, note, channel, velocity});
  }
  bool HasNoteOnAt(int note, int channel, int32_t time) const {
    for (const Event& e : mEvents)
      if (!e.isNoteOff && e.note == note && e.channel == channel && e.due == mClock + time) return true;
    return false;
  }
  void CancelChannel(int channel) {
    mEvents.erase(std::remove_if(mEvents.begin(), mEvents.end(), [&](const Event& e) { return e.channel == channel; }),
                  mEvents.end());
  }
  void Clear() { mEvents.clear(); }

  std::vector<Sent> TakeDue(int32_t nFrames) {
    if (nFrames < 0) nFrames = 0;
    SortByTime();
    std::vector<Sent> sent;
    size_t taken = 0;
    for (; taken < mEvents.size(); ++taken) {
      const Event& e = mEvents[taken];
      const int64_t offset = e.due - mClock;
      if (mDueAtEndInBlock ? offset > nFrames : offset >= nFrames) break;
      sent.push_back({e.isNoteOff, e.note, e.channel, e.velocity, static_cast<int32_t>(offset)});
      if (e.isNoteOff)
        mSounding[e.note] &= ~(1u << e.channel);
      else
        mSounding[e.note] |= 1u << e.channel;
    }
    mEvents.erase(mEvents.begin(), mEvents.begin() + static_cast<std::ptrdiff_t>(taken));
    mClock += nFrames;
    return sent;
  }

  uint32_t Sounding(int note) const { return mSounding[note]; }
  void ClearSounding(int note, int channel) { mSounding[note] &= ~(1u << channel); }
  size_t Size() const { return mEvents.size(); }

 private:
  void SortByTime() {
    std::sort(mEvents.begin(), mEvents.end(),
              [](const Event& a, const Event& b) { return a.due != b.due ? a.due < b.due : a.order < b.order; });
  }

  // A new note-on would be cut short by a release of the same key queued at or after it: the first such release
  // moves to just before it, unless a later note-on of the key comes first (that release is its own).
  void AvoidCutoff(int32_t time, int note, int channel) {
    SortByTime();
    const int64_t due = mClock + time;
    for (Event& e : mEvents) {
      if (e.due < due || e.note != note || e.channel != channel) continue;
      if (!e.isNoteOff) {
        if (e.due > due) return;
        continue;
      }
      e.due = mClock + (time > 0 ? time - 1 : 0);
      e.order = mNextOrder++;
      return;
    }
  }

  const bool mDueAtEndInBlock;
  std::vector<Event> mEvents;
  int64_t mClock = 0;
  uint64_t mNextOrder = 0;
  uint32_t mSounding[128] = {};
};
