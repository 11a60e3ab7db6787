// The output sequence: time order inside the cycle, pass-through merged by time, the cycle's end carried
// over, and a full buffer costing messages rather than memory.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include <lv2/atom/util.h>

#include "CaseName.h"
#include "Lv2MidiOutput.h"

namespace {
constexpr LV2_URID kSequence = 7, kMidi = 9;

// One operation; the status byte names the message in the expectations.
struct Op {
  enum Kind { kBegin, kHold, kSend, kRelease, kBetween } mKind;
  int64_t mTime;  // for kBegin: the cycle's frames
  uint8_t mStatus;
};

struct Written {
  int64_t mTime;
  uint8_t mStatus;
  bool operator==(const Written& o) const { return mTime == o.mTime && mStatus == o.mStatus; }
};

struct OutputCase {
  const char* mName;
  uint32_t mBufferBytes;
  std::vector<Op> mOps;
  std::vector<std::vector<Written>> mCycles;  // what each cycle's sequence holds at its end
  uint64_t mDropped;
};

void PrintTo(const Written& w, std::ostream* os) { *os << "{" << w.mTime << ", 0x" << std::hex << int(w.mStatus) << "}"; }

Op Begin(int64_t frames) { return {Op::kBegin, frames, 0}; }
Op Hold(int64_t t, uint8_t s) { return {Op::kHold, t, s}; }
Op Send(int64_t t, uint8_t s) { return {Op::kSend, t, s}; }
Op Release() { return {Op::kRelease, 0, 0}; }
// Sent after End() and before the next Begin(), as from outside run().
Op Between(uint8_t s) { return {Op::kBetween, 0, s}; }

// Room for exactly n three-byte events.
uint32_t Room(int n) { return static_cast<uint32_t>(sizeof(LV2_Atom_Sequence_Body) + n * (sizeof(LV2_Atom_Event) + 8)); }

const OutputCase kCases[] = {
    {"block output in order", Room(8), {Begin(64), Send(3, 0x90), Send(10, 0x91)}, {{{3, 0x90}, {10, 0x91}}}, 0},
    // Hosts deliver in time order; a held message out of order moves up to the one before it.
    {"pass-through waits for its time among the block's messages",
     Room(8),
     {Begin(64), Hold(20, 0xE0), Hold(5, 0xE1), Send(3, 0x90), Send(10, 0x91), Send(30, 0x92), Release()},
     {{{3, 0x90}, {10, 0x91}, {20, 0xE0}, {20, 0xE1}, {30, 0x92}}},
     0},
    {"at the same time pass-through goes first",
     Room(8), {Begin(64), Hold(7, 0xE0), Send(7, 0x90)}, {{{7, 0xE0}, {7, 0x90}}}, 0},
    {"held messages left at the end go out in arrival order",
     Room(8), {Begin(64), Hold(9, 0xE0), Hold(40, 0xE1), Send(1, 0x90), Release()},
     {{{1, 0x90}, {9, 0xE0}, {40, 0xE1}}}, 0},
    {"a message before one already written moves up to it",
     Room(8), {Begin(64), Send(30, 0x90), Send(12, 0x91)}, {{{30, 0x90}, {30, 0x91}}}, 0},
    {"due at the cycle's end: first thing of the next cycle, and so is what follows it",
     Room(8),
     {Begin(64), Send(63, 0x90), Send(64, 0x91), Send(64, 0x92), Release(), Begin(32), Send(0, 0x93), Send(4, 0x94)},
     {{{63, 0x90}}, {{0, 0x91}, {0, 0x92}, {0, 0x93}, {4, 0x94}}},
     0},
    {"a cycle without frames carries everything",
     Room(8), {Begin(0), Hold(0, 0xE0), Send(0, 0x90), Release(), Begin(16)}, {{}, {{0, 0xE0}, {0, 0x90}}}, 0},
    {"a full buffer drops what does not fit and counts it",
     Room(2), {Begin(64), Send(1, 0x90), Send(2, 0x91), Send(3, 0x92), Hold(4, 0xE0), Release()},
     {{{1, 0x90}, {2, 0x91}}}, 2},
    {"sent between cycles: first thing of the next cycle, after what the last one carried",
     Room(8),
     {Begin(64), Send(64, 0x90), Between(0xB0), Between(0xB1), Begin(32), Send(2, 0x91)},
     {{}, {{0, 0x90}, {0, 0xB0}, {0, 0xB1}, {2, 0x91}}},
     0},
    {"sent between cycles with the store full: dropped and counted",
     Room(8),
     {Begin(64), Between(0xB0), Between(0xB1), Between(0xB2), Between(0xB3), Between(0xB4), Begin(32)},
     {{}, {{0, 0xB0}, {0, 0xB1}, {0, 0xB2}, {0, 0xB3}}},
     1},
    {"no buffer at all writes nothing and breaks nothing",
     0, {Begin(64), Send(1, 0x90)}, {{}}, 1},
};

class Lv2MidiOutputTest : public testing::TestWithParam<OutputCase> {};

std::vector<Written> Read(const LV2_Atom_Sequence* seq) {
  std::vector<Written> out;
  EXPECT_EQ(seq->atom.type, kSequence);
  LV2_ATOM_SEQUENCE_FOREACH(seq, ev) {
    EXPECT_EQ(ev->body.type, kMidi);
    EXPECT_GE(ev->body.size, 1u);
    out.push_back({ev->time.frames, *reinterpret_cast<const uint8_t*>(ev + 1)});
  }
  return out;
}

TEST_P(Lv2MidiOutputTest, WritesTheSequence) {
  const OutputCase& c = GetParam();
  Lv2MidiOutput output(4, 4);
  output.SetTypes(kSequence, kMidi);
  alignas(8) uint8_t buffer[4096];
  auto* seq = reinterpret_cast<LV2_Atom_Sequence*>(buffer);
  std::vector<std::vector<Written>> cycles;
  bool open = false;
  auto endCycle = [&]() {
    if (!open) return;
    output.End();
    cycles.push_back(Read(seq));
    open = false;
  };
  for (const Op& op : c.mOps) {
    const uint8_t bytes[3] = {op.mStatus, 60, 100};
    switch (op.mKind) {
      case Op::kBetween:
        endCycle();
        output.HoldForNextCycle(bytes, 3);
        break;
      case Op::kBegin:
        endCycle();
        std::memset(buffer, 0xAB, sizeof(buffer));
        seq->atom.size = c.mBufferBytes;
        output.Begin(c.mBufferBytes ? seq : nullptr, static_cast<uint32_t>(op.mTime));
        open = true;
        break;
      case Op::kHold: output.Hold(op.mTime, bytes, 3); break;
      case Op::kSend: output.Send(op.mTime, bytes, 3); break;
      case Op::kRelease: output.ReleaseHeld(); break;
    }
  }
  if (c.mBufferBytes) {
    endCycle();
    EXPECT_EQ(cycles, c.mCycles);
  }
  if (open) output.End();
  EXPECT_EQ(output.Dropped(), c.mDropped);
}

INSTANTIATE_TEST_SUITE_P(Cycles, Lv2MidiOutputTest, testing::ValuesIn(kCases), CaseName<OutputCase>);

TEST(Lv2MidiOutputStores, FullStoresStillDeliverEverything) {
  // Two held places and two carried: the rest goes out at once rather than being lost.
  Lv2MidiOutput output(2, 2);
  output.SetTypes(kSequence, kMidi);
  alignas(8) uint8_t buffer[4096];
  auto* seq = reinterpret_cast<LV2_Atom_Sequence*>(buffer);
  seq->atom.size = sizeof(buffer) - sizeof(LV2_Atom);
  output.Begin(seq, 16);
  const uint8_t bytes[3] = {0xE0, 0, 64};
  for (int i = 0; i < 5; ++i) output.Hold(2, bytes, 3);
  for (int i = 0; i < 5; ++i) output.Send(16, bytes, 3);
  output.End();
  // Three held ones overflowed and went straight out, then the two held; three of the five late ones went to
  // the last frame because only two could be carried.
  EXPECT_EQ(output.Written(), 8u);
  EXPECT_EQ(output.Dropped(), 0u);
  seq->atom.size = sizeof(buffer) - sizeof(LV2_Atom);
  output.Begin(seq, 16);
  output.End();
  EXPECT_EQ(output.Written(), 2u);
}
}  // namespace
