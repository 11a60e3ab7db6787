// A plain reference of the whole voicing engine, to compare VoicingEngine against: one unsorted list of queued
// events with absolute due times, searched and sorted in full whenever a question needs it. Slow and obviously
// right. It borrows only Voice (rotation), ScaleMap and DelayInSamples from the engine; they are tested alone.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "DelayDivisions.h"
#include "ScaleMap.h"
#include "Voice.h"
#include "VoicingEngine.h"

class EngineModel {
 public:
  // How often the rarer rules fired, so that a test can tell whether its sessions reach them.
  struct Stats {
    long duplicates = 0;    // note-ons skipped because the same one was queued
    long queueFull = 0;     // note-ons refused for want of room
    long keyFull = 0;       // note-ons refused because their key held too many records
    long cutoffMoves = 0;   // note-offs moved ahead of a new note-on
    long dueAtEnd = 0;      // events due exactly at a block's end, carried to the next
    long jumps = 0;
    long standstills = 0;
    long jumpsKeepingBlock = 0;  // jumps that dropped earlier records and kept this block's own

    Stats& operator+=(const Stats& o) {
      duplicates += o.duplicates;
      queueFull += o.queueFull;
      keyFull += o.keyFull;
      cutoffMoves += o.cutoffMoves;
      dueAtEnd += o.dueAtEnd;
      jumps += o.jumps;
      standstills += o.standstills;
      jumpsKeepingBlock += o.jumpsKeepingBlock;
      return *this;
    }
  };

  explicit EngineModel(int queueCapacity = NoteTracker::kDefaultCapacity) : mCapacity(queueCapacity) {
    for (Voice& voice : mVoices) voice.mpRandom = mRandom;
    mVoices[kMainVoice].SetNumIntervals(1);
    mVoices[kParallelVoice].SetNumIntervals(1);
  }

  // ---- Incoming messages ----

  void NoteOn(int note, int velocity, int32_t offset) {
    if (note < 0 || note >= NUM_MIDI_NOTES) return;
    if (velocity == 0) {
      NoteOff(note, offset);
      return;
    }
    const int32_t o = Schedule(offset);
    bool begun = false;
    Emit(mVoices[kMainVoice], note, velocity, o, &begun);
    Emit(mVoices[kParallelVoice], note, velocity, o, &begun);
    mVoices[kRotator1].Advance();
    mVoices[kRotator2].Advance();
    Emit(mVoices[kRotator1], note, velocity, o, &begun);
    Emit(mVoices[kRotator2], note, velocity, o, &begun);
  }

  void NoteOff(int note, int32_t offset) {
    if (note < 0 || note >= NUM_MIDI_NOTES) return;
    Release(note, Schedule(offset));
  }

  void AllNotesOff(int channel, int32_t offset) {
    if (channel < 0 || channel >= NUM_MIDI_CHANNELS) return;
    const int32_t o = Schedule(offset);
    std::vector<Queued> kept;
    for (const Queued& q : mQueue)
      if (q.channel != channel) kept.push_back(q);
    mQueue = kept;
    for (int note = 0; note < NUM_MIDI_NOTES; ++note)
      if (IsSounding(note, channel)) Queue(o, note, channel, 0, true);
  }

  // ---- The block ----

  std::vector<NoteEvent> Process(const EngineTransport& transport, int frames) {
    std::vector<NoteEvent> out;
    if (frames <= 0) return out;

    double tempo = transport.mTempo;
    if (!std::isfinite(tempo) || tempo <= 0.0) tempo = 120.0;
    if (tempo != mTempo) {
      mTempo = tempo;
      UpdateDelays();
    }

    const double x = transport.mSamplePos;
    const bool positionValid = std::isfinite(x) && std::fabs(x) < 4e18;
    const int64_t p = positionValid ? static_cast<int64_t>(std::floor(x + 0.5)) : 0;

    if (!transport.mPlaying || !positionValid || p == mBlockStart) {
      ++mStats.standstills;
      mQueue.clear();
      SendSoundingNoteOffs(&out);
      mEarliest = 0;
      ++mBatch;
      return out;
    }

    if (p != mNextBlockStart) {
      ++mStats.jumps;
      std::vector<Queued> kept;
      for (const Queued& q : mQueue)
        if (q.batch == mBatch) kept.push_back(q);
      if (!kept.empty() && kept.size() < mQueue.size()) ++mStats.jumpsKeepingBlock;
      mQueue = kept;
      SendSoundingNoteOffs(&out);
    }
    mBlockStart = p;
    mNextBlockStart = p + frames;

    SortQueue();
    for (const Queued& q : mQueue)
      if (q.due - mClock == frames) ++mStats.dueAtEnd;
    size_t taken = 0;
    while (taken < mQueue.size() && mQueue[taken].due - mClock < frames) {
      const Queued& q = mQueue[taken++];
      const int32_t offset = static_cast<int32_t>(q.due - mClock);
      if (q.isNoteOff) {
        mSounding[q.note] &= ~(1u << q.channel);
        out.push_back(MakeNoteOff(offset, q.note, q.channel));
      } else {
        mSounding[q.note] |= 1u << q.channel;
        out.push_back(MakeNoteOn(offset, q.note, q.channel, q.velocity));
      }
    }
    mQueue.erase(mQueue.begin(), mQueue.begin() + static_cast<std::ptrdiff_t>(taken));

    mClock += frames;
    mEarliest = std::max(mEarliest - frames, 0);
    ++mBatch;
    return out;
  }

  // ---- Settings ----

  void SetSampleRate(double sampleRate) {
    if (!std::isfinite(sampleRate) || sampleRate <= 0.0) return;
    mSampleRate = sampleRate;
    UpdateDelays();
  }
  void SetMaxBlockSize(int frames) {
    if (frames > 0) mMaxBlockSize = frames;
  }
  void SetChannel(VoiceId voice, int channel) {
    if (IsVoice(voice) && channel >= 0 && channel < NUM_MIDI_CHANNELS) mVoices[voice].mChannel = channel;
  }
  void SetVelocityOffset(VoiceId voice, int offset) {
    if (IsVoice(voice)) mVoices[voice].mVelocityOffset = offset;
  }
  void SetInterval(VoiceId voice, int index, int semitones) {
    if (HasInterval(voice, index)) mVoices[voice].mInterval[index] = semitones;
  }
  void SetIntervalMute(VoiceId voice, int index, bool mute) {
    if (HasInterval(voice, index)) mVoices[voice].mIntervalMute[index] = mute;
  }
  void SetMute(VoiceId voice, bool mute) {
    if (IsVoice(voice)) mVoices[voice].mMute = mute;
  }
  void SetDelay(VoiceId voice, int division) {
    if (!IsVoice(voice)) return;
    mDivision[voice] = division;
    mVoices[voice].mDelaySamples = DelayInSamples(division, SamplesPerBeat());
  }
  void SetAlgorithm(VoiceId voice, int algorithm) {
    if (IsVoice(voice)) mVoices[voice].SetAlgorithm(algorithm);
  }
  void SetSnap(bool snap) { mScaleMap.SetSnap(snap); }
  void SetScale(int scale) { mScaleMap.SetScale(scale); }
  void SetTonic(int tonic) { mScaleMap.SetTonic(tonic); }

  // ---- Read-outs ----

  int NumPending() const { return static_cast<int>(mQueue.size()); }
  int ReservedReleases() const { return mReserved; }
  double SamplesPerBeat() const { return mSampleRate * 60.0 / mTempo; }
  const Stats& GetStats() const { return mStats; }

 private:
  struct Queued {
    int64_t due;     // samples since the model was made
    uint64_t order;  // adding order: equal times go out as they were added
    uint32_t batch;  // how many blocks had been processed when it was first queued
    bool isNoteOff;
    int note, channel, velocity;
  };
  struct Emitted {
    int note, channel, velocity;
    int32_t delay;
  };
  struct Group {
    bool active = false;
    std::vector<Emitted> notes;
  };

  static bool IsVoice(VoiceId voice) { return voice >= 0 && voice < kNumVoices; }
  // The main voice plays the trigger itself; the parallel voice has one interval, the rotators four.
  static bool HasInterval(VoiceId voice, int index) {
    if (voice == kParallelVoice) return index == 0;
    return (voice == kRotator1 || voice == kRotator2) && index >= 0 && index < Voice::kMaxIntervals;
  }
  static int32_t ClampTime(int64_t t) { return t < 0 ? 0 : (t > INT32_MAX ? INT32_MAX : static_cast<int32_t>(t)); }
  static NoteEvent MakeNoteOn(int32_t offset, int note, int channel, int velocity) {
    return {offset, static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(note), static_cast<uint8_t>(velocity)};
  }
  static NoteEvent MakeNoteOff(int32_t offset, int note, int channel) {
    return {offset, static_cast<uint8_t>(0x80 | channel), static_cast<uint8_t>(note), 0};
  }

  // An incoming offset is held inside the largest block and never before an earlier-delivered message.
  int32_t Schedule(int32_t offset) {
    const int32_t o = std::max(std::min(offset, mMaxBlockSize), mEarliest);
    mEarliest = o;
    return o;
  }

  void UpdateDelays() {
    for (int v = 0; v < kNumVoices; ++v) mVoices[v].mDelaySamples = DelayInSamples(mDivision[v], SamplesPerBeat());
  }

  bool IsSounding(int note, int channel) const { return (mSounding[note] >> channel) & 1u; }

  void SortQueue() {
    std::sort(mQueue.begin(), mQueue.end(),
              [](const Queued& a, const Queued& b) { return a.due != b.due ? a.due < b.due : a.order < b.order; });
  }

  int KeyRecords(int note, int channel) const {
    int n = 0;
    for (const Queued& q : mQueue)
      if (q.note == note && q.channel == channel) ++n;
    return n;
  }

  bool HasNoteOnAt(int note, int channel, int32_t t) const {
    for (const Queued& q : mQueue)
      if (!q.isNoteOff && q.note == note && q.channel == channel && q.due == mClock + t) return true;
    return false;
  }

  // Room for the note-on and its release beyond the releases promised and the silencing reserve.
  bool CanAcceptNoteOn(int note, int channel) {
    if (KeyRecords(note, channel) >= NoteTracker::kMaxKeyRecords) {
      ++mStats.keyFull;
      return false;
    }
    if (static_cast<int64_t>(NumPending()) + mReserved + 2 + NoteTracker::kSilencingReserve > mCapacity) {
      ++mStats.queueFull;
      return false;
    }
    return true;
  }

  void Queue(int32_t t, int note, int channel, int velocity, bool isNoteOff) {
    mQueue.push_back({mClock + t, mNextOrder++, mBatch, isNoteOff, note, channel, velocity});
  }

  // The key's first note-off at or after the new note-on, not owned by a later note-on of the key, moves to one
  // sample before it (at 0 it stays at 0 but goes behind what is there), then the note-on is queued.
  void AddNoteOn(int32_t t, int note, int channel, int velocity) {
    std::vector<Queued*> key;
    for (Queued& q : mQueue)
      if (q.note == note && q.channel == channel) key.push_back(&q);
    std::sort(key.begin(), key.end(),
              [](const Queued* a, const Queued* b) { return a->due != b->due ? a->due < b->due : a->order < b->order; });
    const int64_t a = mClock + t;
    int64_t lastOn = mClock;
    for (Queued* q : key) {
      if (!q->isNoteOff) {
        lastOn = q->due;
      } else if (lastOn <= a && a <= q->due) {
        q->due = mClock + (t > 0 ? t - 1 : 0);
        q->order = mNextOrder++;
        ++mStats.cutoffMoves;
        break;
      }
    }
    Queue(t, note, channel, velocity, false);
    ++mReserved;
  }

  void Emit(const Voice& voice, int note, int velocity, int32_t o, bool* begun) {
    if (!voice.CanEmit()) return;
    const int32_t m = mScaleMap.Map(note + voice.CurrentInterval());
    if (m < 0) return;
    int w = velocity + voice.mVelocityOffset;
    if (w <= 0) return;
    if (w > 127) w = 127;
    const int c = voice.mChannel;
    const int32_t t = ClampTime(static_cast<int64_t>(o) + voice.mDelaySamples);
    if (HasNoteOnAt(m, c, t)) {
      ++mStats.duplicates;
      return;
    }
    // A refused note changes nothing, not even the key's earlier group.
    if (!CanAcceptNoteOn(m, c)) return;
    if (!*begun) {
      Release(note, o);
      mGroups[note].active = true;
      mGroups[note].notes.clear();
      *begun = true;
    }
    mGroups[note].notes.push_back({m, c, w, voice.mDelaySamples});
    AddNoteOn(t, m, c, w);
  }

  void Release(int note, int32_t o) {
    Group& group = mGroups[note];
    if (!group.active) return;
    for (const Emitted& e : group.notes) {
      Queue(ClampTime(static_cast<int64_t>(o) + e.delay), e.note, e.channel, e.velocity, true);
      if (mReserved > 0) --mReserved;
    }
    group.active = false;
    group.notes.clear();
  }

  void SendSoundingNoteOffs(std::vector<NoteEvent>* out) {
    for (int note = 0; note < NUM_MIDI_NOTES; ++note) {
      if (mSounding[note] == 0) continue;  // the fuzz target's cost at every jump and standstill: skip silent keys
      for (int channel = 0; channel < NUM_MIDI_CHANNELS; ++channel)
        if (IsSounding(note, channel)) {
          out->push_back(MakeNoteOff(0, note, channel));
          mSounding[note] &= ~(1u << channel);
        }
    }
  }

  const int mCapacity;
  double mSampleRate = 44100.0;
  double mTempo = 120.0;
  int32_t mMaxBlockSize = 1024;
  int64_t mBlockStart = -2;
  int64_t mNextBlockStart = -1;
  int32_t mEarliest = 0;
  uint32_t mRandom[2] = {kRandomSeed0, kRandomSeed1};
  Voice mVoices[kNumVoices];
  int mDivision[kNumVoices] = {};
  ScaleMap mScaleMap;
  std::vector<Queued> mQueue;
  Group mGroups[NUM_MIDI_NOTES];
  uint32_t mSounding[NUM_MIDI_NOTES] = {};
  int64_t mClock = 0;
  uint64_t mNextOrder = 0;
  uint32_t mBatch = 0;
  int mReserved = 0;
  Stats mStats;
};

// ---- Comparing event lists ----

inline bool SameEvent(const NoteEvent& a, const NoteEvent& b) {
  return a.mOffset == b.mOffset && a.mStatus == b.mStatus && a.mNote == b.mNote && a.mVelocity == b.mVelocity;
}

// Index of the first event that differs (or that only one list has); -1 when the lists are equal.
inline long FirstDifference(const std::vector<NoteEvent>& a, const std::vector<NoteEvent>& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i)
    if (!SameEvent(a[i], b[i])) return static_cast<long>(i);
  return a.size() == b.size() ? -1 : static_cast<long>(n);
}

inline std::string DescribeEvent(const std::vector<NoteEvent>& events, long index) {
  if (index < 0 || static_cast<size_t>(index) >= events.size()) return "(none)";
  const NoteEvent& e = events[static_cast<size_t>(index)];
  char text[80];
  std::snprintf(text, sizeof(text), "%s note %d ch %d vel %d @%d", e.IsNoteOff() ? "off" : "on ", e.mNote,
                e.Channel(), e.mVelocity, e.mOffset);
  return text;
}
