#include <gtest/gtest.h>

#include "AllocationCounter.h"
#include "TestHost.h"
#include "TestPlugin.h"
#include "VstMidiOutput.h"

TEST(Allocation, ProcessingWithMidiAllocatesNothingAfterWarmUp) {
  TestHost host;
  static_cast<TestPlugin*>(VstPluginOf(host.Load(TestPlugin::Create)))->mLogCalls = false;
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

// Everything the output lists do after warm-up: held pass-through and SysEx, lists filling mid-call, calls
// without frames, double precision, and a plug-in without audio given more frames than it announced.
TEST(Allocation, MidiOutputAndSilenceAllocateNothingAfterWarmUp) {
  for (PluginFactory factory : {TestPlugin::Create, TestPlugin::CreateWithoutAudio}) {
    TestHost host;
    TestPlugin* plug = static_cast<TestPlugin*>(VstPluginOf(host.Load(factory)));
    plug->mLogCalls = false;
    host.Reserve(1 << 18);
    plug->mSendInBlock.assign(VstMidiOutput::kCapacity + 10, IMidiMessage::MakeNoteOn(60, 100, 7, 0));
    char dump[300] = {static_cast<char>(0xF0)};
    VstMidiSysexEvent sysex = {};
    sysex.type = kVstSysExType;
    sysex.byteSize = sizeof(sysex);
    sysex.dumpBytes = sizeof(dump);
    sysex.sysexDump = dump;
    VstEvents list = {1, 0, {reinterpret_cast<VstEvent*>(&sysex), nullptr}};
    const bool withAudio = factory == TestPlugin::Create;
    auto block = [&](int i) {
      host.SendMidi(0xE0, 0, static_cast<uint8_t>(i % 128), i % 600);
      host.SendEvents(&list);
      host.Process(0);
      host.Process(withAudio ? 512 : 1500 + i % 7);
      host.ProcessDouble(256);
      host.ClearMidi();
      host.ClearCalls();
      host.mForwardedEvents.clear();
      host.mForwardedSysEx.clear();
    };
    for (int i = 0; i < 10; ++i) block(i);
    AllocationCounter::Start();
    for (int i = 0; i < 300; ++i) block(i);
    EXPECT_EQ(AllocationCounter::Stop(), 0u) << (withAudio ? "with audio" : "without audio");
  }
}
