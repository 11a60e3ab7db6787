// The note queue against the plain model: the same operations on both, every answer and every sent event equal,
// and the queue consistent after every operation that changed it.
#include <cstdio>
#include <type_traits>
#include <utility>
#include <vector>

#include "FuzzFail.h"
#include "FuzzInput.h"
#include "NoteQueueModel.h"
#include "NoteTracker.h"

namespace {

// An event due exactly at the end of a block waits for the next one.
constexpr bool kNoteQueueSendsDueAtEnd = false;

// The whole-structure check walks all 2048 keys after each operation: sessions are kept short, and the pool small
// enough for one to fill it (a full queue refuses notes) and cheap to make for every input.
constexpr int kMaxSteps = 32;
constexpr int kCapacity = 24;
constexpr int kSilencingReserve = 4;

// The whole-structure check, where the queue offers one.
template <typename T, typename = void>
struct HasConsistencyCheck : std::false_type {};
template <typename T>
struct HasConsistencyCheck<T, std::void_t<decltype(std::declval<const T&>().IsConsistent())>> : std::true_type {};

template <typename T>
bool Consistent(const T& tracker) {
  if constexpr (HasConsistencyCheck<T>::value)
    return tracker.IsConsistent();
  else
    return true;
}

// Times mostly near the present so that events meet; sometimes anything, including the far end.
int32_t Time(FuzzInput& in) {
  const uint8_t shape = in.Byte();
  if (shape < 200) return in.Below(2048);
  if (shape < 240) return in.I32();
  return NoteTracker::kMaxTime - in.Below(4);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  NoteTracker tracker(kCapacity, kSilencingReserve);
  NoteQueueModel model(kNoteQueueSendsDueAtEnd);
  std::vector<NoteQueueModel::Sent> sent;
  for (int step = 0; step < kMaxSteps && !in.Empty(); ++step) {
    const uint8_t op = in.Byte();
    bool changed = true;  // false only where no call but the const questions reached the queue
    // A handful of keys most of the time, so that operations on one key meet.
    const int note = op & 0x80 ? in.Byte() & 0x7F : 60 + (in.Byte() & 3);
    const int channel = op & 0x40 ? in.Byte() & 0x0F : in.Byte() & 1;
    switch (op & 0x0F) {
      case 0: case 1: case 2: case 3: {
        const int32_t time = Time(in);
        const int velocity = 1 + in.Below(127);
        if (!tracker.CanAddNoteOn(note, channel))
          changed = false;
        else if (tracker.AddNoteOn(time, note, channel, velocity))
          model.AddNoteOn(time, note, channel, velocity);
        break;
      }
      case 4: case 5: case 6: {
        const int32_t time = Time(in);
        if (tracker.AddNoteOff(time, note, channel, 0)) model.AddNoteOff(time, note, channel, 0);
        break;
      }
      case 7: case 8: {
        const int32_t time = in.Below(4096);
        if (tracker.HasNoteOnAt(note, channel, time) != model.HasNoteOnAt(note, channel, time))
          FuzzFail("HasNoteOnAt(%d, %d, %d) differs from the model", note, channel, time);
        changed = false;
        break;
      }
      case 9:
        tracker.CancelChannel(channel);
        model.CancelChannel(channel);
        break;
      case 10:
        if ((op & 0x30) == 0x30) {
          tracker.Clear();
          model.Clear();
        } else {
          tracker.ClearSounding(note, channel);
          model.ClearSounding(note, channel);
        }
        break;
      default: {
        const int32_t frames = in.Byte() < 250 ? in.Below(1500) : in.I32() % 100000;
        sent.clear();
        tracker.TakeDue(frames, [&](const NoteRecord& r, int32_t offset) {
          sent.push_back({r.mIsNoteOff != 0, r.mNote, r.mChannel, r.mVelocity, offset});
        });
        const std::vector<NoteQueueModel::Sent> expected = model.TakeDue(frames);
        if (sent != expected) {
          for (const auto& e : expected) std::fprintf(stderr, "expected %d %d/%d v%d @%d\n", e.isNoteOff, e.note, e.channel, e.velocity, e.offset);
          for (const auto& e : sent) std::fprintf(stderr, "sent     %d %d/%d v%d @%d\n", e.isNoteOff, e.note, e.channel, e.velocity, e.offset);
          FuzzFail("a block of %d frames sent %zu events, the model %zu", frames, sent.size(), expected.size());
        }
        for (int n = 0; n < 128; ++n)
          if (tracker.Sounding(n) != model.Sounding(n)) FuzzFail("note %d sounds on %x, the model on %x", n, tracker.Sounding(n), model.Sounding(n));
        break;
      }
    }
    if (static_cast<size_t>(tracker.NumPending()) != model.Size())
      FuzzFail("%d events queued, the model has %zu", tracker.NumPending(), model.Size());
    if (changed && !Consistent(tracker)) FuzzFail("the queue is inconsistent after operation %d", op & 0x0F);
  }
  return 0;
}
