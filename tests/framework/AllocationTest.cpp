#include <gtest/gtest.h>

#include "AllocationCounter.h"
#include "TestHost.h"
#include "TestPlugin.h"

TEST(Allocation, ProcessingWithMidiAllocatesNothingAfterWarmUp) {
  TestHost host;
  static_cast<TestPlugin*>(static_cast<IPluginVST*>(host.Load(TestPlugin::Create)->object))->mLogCalls = false;
  host.Reserve(1 << 16);
  host.SetTransport(0, 120, true);
  auto block = [&](int i) {
    host.SendMidi(0x90, static_cast<uint8_t>(40 + i % 40), 100, i % 256);
    host.SendMidi(0x80, static_cast<uint8_t>(40 + i % 40), 0, 300);
    host.SendMidi(0xE0, 0, 64, 10);
    host.SetParameter(kTestInt, static_cast<float>(i % 10) / 10.0f);
    host.Process(512);
    host.ClearMidi();
    host.ClearCalls();
  };
  for (int i = 0; i < 10; ++i) block(i);
  AllocationCounter::Start();
  for (int i = 0; i < 1000; ++i) block(i);
  EXPECT_EQ(AllocationCounter::Stop(), 0u);
}
