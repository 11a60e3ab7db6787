// Processing allocates nothing once warmed up: notes, delays, snapping, parameter changes, stops and jumps.
#include <gtest/gtest.h>

#include "AllocationCounter.h"
#include "CyclochordSession.h"

// A busy pattern that repeats every 240 blocks and ends each round with a stop, so that the first rounds
// reach the largest queue the pattern can build.
TEST(EngineAllocation, ALongBusySessionAllocatesNothingAfterWarmUp) {
  CyclochordSession s;
  s.host.Reserve(1 << 16);
  s.Set(kParInt, 7);
  s.Set(kParChan, 2);
  s.Set(kV1Chan, 3);
  s.Set(kV2Chan, 4);
  for (int i = 0; i < 4; ++i) {
    s.Set(kV1Int1 + i, 3 * i);
    s.Set(kV2Int1 + i, -5 * i);
  }
  s.Set(kMnDelay, 11);
  s.Set(kV1Delay, 5);
  s.Set(kV2Delay, 3);
  s.Set(kV2Algo, kAlgoZigZag);
  s.Set(kSnap, 1);
  const int kChangeable[] = {kMainChan, kMnDelay, kParVel, kParInt, kPDelay, kV1Mute, kV1Int1 + 2, kV1Mute1 + 1,
                             kV1Delay,  kV2Chan,  kV2Vel,  kSnap,   kScale,  kTonic,  kHuman,      kFileSelect};
  auto block = [&](int i) {
    const int j = i % 240;
    for (int e = 0; e < 6; ++e) {
      const int k = j * 6 + e;
      s.NoteOn(30 + (k * 7) % 61, 1 + (k * 13) % 127, (k * 37) % 512);
      s.NoteOff(30 + ((k - 9) * 7 + 61) % 61, (k * 53) % 512);
    }
    if (j % 50 == 10) s.host.SendMidi(static_cast<uint8_t>(0xB0 | (j % 16)), 123, 0, 10);
    if (j % 7 == 3) s.host.SetParameter(kChangeable[(j / 7) % 16], static_cast<float>(j % 10) / 10.0f);
    if (j % 80 == 0) s.host.SetTempo(j == 80 ? 70 : 140);
    if (j == 120) s.host.SetSamplePos(1 << 20);  // a jump
    s.host.SetPlaying(j != 239);
    s.host.Process(512);
    s.host.ClearMidi();
    s.host.ClearCalls();
  };
  for (int i = 0; i < 480; ++i) block(i);
  AllocationCounter::Start();
  for (int i = 0; i < 24000; ++i) block(i);
  EXPECT_EQ(AllocationCounter::Stop(), 0u);
}

TEST(EngineAllocation, AFloodThatOverfillsTheQueueAllocatesNothing) {
  CyclochordSession s;
  s.host.Reserve(1 << 20);
  ConfigureFlood(s);
  for (int block = 0; block < 8; ++block) {
    SendFloodBlock(s, block);
    s.host.Process(32);
    s.host.ClearMidi();
    s.host.ClearCalls();
  }
  AllocationCounter::Start();
  for (int block = 8; block < 3000; ++block) {
    SendFloodBlock(s, block);
    s.host.Process(32);
    s.host.ClearMidi();
    s.host.ClearCalls();
  }
  EXPECT_EQ(AllocationCounter::Stop(), 0u);
}
