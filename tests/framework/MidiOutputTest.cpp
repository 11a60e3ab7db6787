// MIDI output through the ABI: one host call per processing call, pass-through held for the next call,
// offsets inside the call, nothing dropped when lists fill, SysEx copied out of the host's memory.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TestHost.h"
#include "TestPlugin.h"
#include "VstMidiOutput.h"

namespace {
TestPlugin* PluginOf(AEffect* effect) { return static_cast<TestPlugin*>(VstPluginOf(effect)); }

// A VstEvents list longer than the two entries its type declares, as hosts send.
struct LongList {
  VstInt32 numEvents = 0;
  VstIntPtr reserved = 0;
  VstEvent* events[4096] = {};
};

struct Delivery {
  std::unique_ptr<LongList> mList = std::make_unique<LongList>();
  std::vector<VstMidiEvent> mMidi;

  explicit Delivery(size_t reserve) { mMidi.reserve(reserve); }
  void Add(uint8_t status, int id, int offset) {
    VstMidiEvent e = {};
    e.type = kVstMidiType;
    e.byteSize = sizeof(e);
    e.deltaFrames = offset;
    e.midiData[0] = static_cast<char>(status);
    e.midiData[1] = static_cast<char>(id & 0x7F);
    e.midiData[2] = static_cast<char>((id >> 7) & 0x7F);
    mMidi.push_back(e);
  }
  VstEvents* Get() {
    mList->numEvents = static_cast<VstInt32>(mMidi.size());
    for (size_t i = 0; i < mMidi.size(); ++i) mList->events[i] = reinterpret_cast<VstEvent*>(&mMidi[i]);
    return reinterpret_cast<VstEvents*>(mList.get());
  }
};

int Id(const MidiEvent& e) { return e.data1 | (e.data2 << 7); }

// "h3@10": held pass-through message 3 at offset 10; "p" for what the plug-in sent in the call.
std::string Describe(const MidiEvent& e) {
  return std::string((e.status & 0xF0) == 0xE0 ? "h" : "p") + std::to_string(Id(e)) + "@" + std::to_string(e.offset);
}

void ProcessOnce(TestHost& host, int frames, bool doublePrecision) {
  if (doublePrecision)
    host.ProcessDouble(frames);
  else
    host.Process(frames);
}
}  // namespace

TEST(MidiOutput, HeldPassThroughMergesWithThePluginsMessagesInOneHostCall) {
  struct Case {
    const char* name;
    int frames;
    std::vector<int> heldOffsets;    // delivered through effProcessEvents before the call
    std::vector<int> pluginOffsets;  // sent by ProcessBlock
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"interleaved, held first at one offset", 32, {0, 10}, {5, 10}, {"h0@0", "p0@5", "h1@10", "p1@10"}},
      {"held after everything the plug-in sends", 32, {20, 31}, {1, 2}, {"p0@1", "p1@2", "h0@20", "h1@31"}},
      {"offsets past the call clamp to its last frame", 32, {100}, {31, 40}, {"h0@31", "p0@31", "p1@31"}},
      {"negative offsets clamp to the first frame", 16, {-5}, {-3, 0}, {"h0@0", "p0@0", "p1@0"}},
      {"held in offset order when the host's was not", 64, {30, 10, 30, 0}, {20},
       {"h3@0", "h1@10", "p0@20", "h0@30", "h2@30"}},
      {"only the plug-in's, in the order sent", 8, {}, {0, 3, 7}, {"p0@0", "p1@3", "p2@7"}},
      {"one frame", 1, {0, 9}, {0}, {"h0@0", "h1@0", "p0@0"}},
  };
  for (bool doublePrecision : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (doublePrecision ? ", double" : ", single"));
      TestHost host;
      TestPlugin* plug = PluginOf(host.Load(TestPlugin::Create));
      for (size_t i = 0; i < c.pluginOffsets.size(); ++i)
        plug->mSendInBlock.push_back(IMidiMessage(c.pluginOffsets[i], 0x90, static_cast<uint8_t>(i), 0));
      Delivery held(c.heldOffsets.size());
      for (size_t i = 0; i < c.heldOffsets.size(); ++i) held.Add(0xE0, static_cast<int>(i), c.heldOffsets[i]);
      if (!c.heldOffsets.empty()) host.SendEvents(held.Get());
      EXPECT_TRUE(host.Midi().empty()) << "nothing goes out from effProcessEvents";

      ProcessOnce(host, c.frames, doublePrecision);
      std::vector<std::string> got;
      for (const MidiEvent& e : host.Midi()) {
        got.push_back(Describe(e));
        EXPECT_TRUE(e.duringProcessing);
        EXPECT_EQ(e.batch, 0) << "one host call per processing call";
        EXPECT_GE(e.offset, 0);
        EXPECT_LT(e.offset, c.frames);
      }
      EXPECT_EQ(got, c.expected);
      EXPECT_EQ(host.mBatches, 1);
    }
  }
}

TEST(MidiOutput, CallsWithoutFramesSendNothingAndKeepWhatIsHeld) {
  TestHost host;
  TestPlugin* plug = PluginOf(host.Load(TestPlugin::Create));
  host.SendMidi(0xE0, 1, 0, 5);
  plug->mSendInBlock = {IMidiMessage(3, 0x90, 2, 0)};
  host.Process(0);
  float* none[2] = {nullptr, nullptr};
  host.Effect()->processReplacing(host.Effect(), none, none, -7);
  EXPECT_EQ(host.mBatches, 0);
  plug->mSendInBlock.clear();
  host.Process(16);
  std::vector<std::string> got;
  for (const MidiEvent& e : host.Midi()) got.push_back(Describe(e));
  // What the empty calls sent waits too, in offset order with what was held before it.
  EXPECT_EQ(got, (std::vector<std::string>{"p2@3", "p2@3", "h1@5"}));
  EXPECT_EQ(host.mBatches, 1);
  host.Process(16);
  EXPECT_EQ(host.mBatches, 1) << "a call with nothing to send makes no host call";
}

TEST(MidiOutput, FullListsAreSentAndNothingIsDropped) {
  struct Case {
    int held;          // delivered in one effProcessEvents list
    int sentInBlock;   // sent by ProcessBlock
    int batchesOutside;  // host calls from effProcessEvents
    int batchesInside;   // host calls from the processing call
  };
  const int list = VstMidiOutput::kCapacity, heldMax = VstMidiOutput::kHeldCapacity;
  const Case cases[] = {
      {3, 0, 0, 1},
      {0, 3, 0, 1},
      {0, list, 0, 1},
      {0, list + 1, 0, 2},
      {heldMax, list - heldMax, 0, 1},
      {heldMax, list, 0, 2},
      {heldMax + 3, 0, 1, 1},  // the full held list goes out at once, oldest first
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("held " + std::to_string(c.held) + ", sent in block " + std::to_string(c.sentInBlock));
    TestHost host;
    host.Reserve(8192);
    TestPlugin* plug = PluginOf(host.Load(TestPlugin::Create));
    plug->mLogCalls = false;
    Delivery held(static_cast<size_t>(c.held));
    for (int i = 0; i < c.held; ++i) held.Add(0xE0, i, 0);
    for (int i = 0; i < c.sentInBlock; ++i)
      plug->mSendInBlock.push_back(IMidiMessage(1, 0x90, static_cast<uint8_t>(i & 0x7F), static_cast<uint8_t>(i >> 7)));
    if (c.held > 0) host.SendEvents(held.Get());
    EXPECT_EQ(host.mBatches, c.batchesOutside);
    host.Process(64);
    EXPECT_EQ(host.mBatches, c.batchesOutside + c.batchesInside);

    int nextHeld = 0, nextSent = 0;
    for (const MidiEvent& e : host.Midi()) {
      if ((e.status & 0xF0) == 0xE0) {
        EXPECT_EQ(Id(e), nextHeld++) << "held messages keep their order";
        EXPECT_EQ(nextSent, 0) << "held messages at offset 0 precede the plug-in's at 1";
      } else {
        EXPECT_EQ(Id(e), nextSent++);
        EXPECT_TRUE(e.duringProcessing);
      }
    }
    EXPECT_EQ(nextHeld, c.held);
    EXPECT_EQ(nextSent, c.sentInBlock);
  }
}

TEST(MidiOutput, SysExIsCopiedOutOfTheHostsMemoryOrSentAtOnceWhenTooBig) {
  struct Case {
    const char* name;
    std::vector<int> sizes;    // SysEx dumps delivered one list each, in order
    std::vector<bool> atOnce;  // which of them reach the host from effProcessEvents
  };
  const int pool = VstMidiOutput::kHeldSysExBytes;
  const Case cases[] = {
      {"small dumps wait for the processing call", {3, 0, 100}, {false, false, false}},
      {"a dump bigger than the held storage goes at once, after what is held", {5, pool + 1}, {true, true}},
      {"a dump that does not fit sends the held ones first", {pool - 10, 20}, {true, false}},
      {"exactly full", {pool / 2, pool / 2}, {false, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestHost host;
    host.Load(TestPlugin::Create);
    std::vector<uint8_t> expected;
    for (size_t k = 0; k < c.sizes.size(); ++k) {
      std::vector<char> bytes(static_cast<size_t>(c.sizes[k]));
      for (size_t b = 0; b < bytes.size(); ++b) bytes[b] = static_cast<char>((b * 7 + k) & 0x7F);
      expected.insert(expected.end(), bytes.begin(), bytes.end());
      VstMidiSysexEvent sysex = {};
      sysex.type = kVstSysExType;
      sysex.byteSize = sizeof(sysex);
      sysex.deltaFrames = static_cast<VstInt32>(k);
      sysex.dumpBytes = c.sizes[k];
      sysex.sysexDump = bytes.data();
      VstEvents list = {1, 0, {reinterpret_cast<VstEvent*>(&sysex), nullptr}};
      host.SendEvents(&list);
      std::fill(bytes.begin(), bytes.end(), char(0x55));  // the host reuses its memory
    }
    host.Process(32);
    ASSERT_EQ(host.mForwardedEvents.size(), c.sizes.size());
    for (size_t k = 0; k < c.sizes.size(); ++k) {
      EXPECT_EQ(host.mForwardedEvents[k].type, kVstSysExType);
      EXPECT_EQ(host.mForwardedEvents[k].offset, static_cast<int>(k));
      EXPECT_EQ(!host.mForwardedEvents[k].duringProcessing, c.atOnce[k]) << "dump " << k;
    }
    EXPECT_TRUE(host.mForwardedSysEx == expected) << "every dump arrives intact, in order";
  }
}

namespace {
enum class Call { kReplacing, kDoubleReplacing, kAccumulating };

struct AudioCase {
  const char* name;
  bool processesAudio;
  Call call;
  bool mono;  // outputs after effSetSpeakerArrangement to one channel
  float expected[2];  // per output channel, input 0.5 and 0.25, output prefilled with 7
};

// One processing call on host buffers that hold 7 before it; returns the outputs.
std::vector<std::vector<double>> RunCall(AEffect* effect, Call call, int frames, bool nullTable, int nullEntry) {
  std::vector<std::vector<double>> result(2);
  if (call == Call::kDoubleReplacing) {
    std::vector<double> in[2] = {std::vector<double>(size_t(frames), 0.5), std::vector<double>(size_t(frames), 0.25)};
    std::vector<double> out[2] = {std::vector<double>(size_t(frames), 7.0), std::vector<double>(size_t(frames), 7.0)};
    double* ins[2] = {in[0].data(), in[1].data()};
    double* outs[2] = {out[0].data(), out[1].data()};
    if (nullEntry >= 0) outs[nullEntry] = nullptr;
    effect->processDoubleReplacing(effect, ins, nullTable ? nullptr : outs, frames);
    for (int c = 0; c < 2; ++c) result[size_t(c)] = out[c];
  } else {
    std::vector<float> in[2] = {std::vector<float>(size_t(frames), 0.5f), std::vector<float>(size_t(frames), 0.25f)};
    std::vector<float> out[2] = {std::vector<float>(size_t(frames), 7.0f), std::vector<float>(size_t(frames), 7.0f)};
    float* ins[2] = {in[0].data(), in[1].data()};
    float* outs[2] = {out[0].data(), out[1].data()};
    if (nullEntry >= 0) outs[nullEntry] = nullptr;
    (call == Call::kReplacing ? effect->processReplacing : effect->process)(effect, ins, nullTable ? nullptr : outs,
                                                                            frames);
    for (int c = 0; c < 2; ++c) result[size_t(c)].assign(out[c].begin(), out[c].end());
  }
  return result;
}
}  // namespace

TEST(MidiOutput, EveryReplacingCallWritesEveryOutputAndNoAudioMeansSilence) {
  const AudioCase cases[] = {
      {"no audio, single", false, Call::kReplacing, false, {0.0f, 0.0f}},
      {"no audio, double", false, Call::kDoubleReplacing, false, {0.0f, 0.0f}},
      {"no audio, accumulating adds nothing", false, Call::kAccumulating, false, {7.0f, 7.0f}},
      {"pass-through, single", true, Call::kReplacing, false, {0.5f, 0.25f}},
      {"pass-through, double", true, Call::kDoubleReplacing, false, {0.5f, 0.25f}},
      {"pass-through, accumulating", true, Call::kAccumulating, false, {7.5f, 7.25f}},
      {"pass-through, one output taken, single", true, Call::kReplacing, true, {0.5f, 0.0f}},
      {"pass-through, one output taken, double", true, Call::kDoubleReplacing, true, {0.5f, 0.0f}},
  };
  for (const AudioCase& c : cases) {
    SCOPED_TRACE(c.name);
    TestHost host;
    AEffect* effect = host.Load(c.processesAudio ? TestPlugin::Create : TestPlugin::CreateWithoutAudio);
    if (c.mono) {
      VstSpeakerArrangement mono = {};
      mono.numChannels = 1;
      host.Dispatch(effSetSpeakerArrangement, 0, 0, &mono);
    }
    for (int frames : {1, 64, 3000}) {  // 3000 is past the announced block size
      const auto out = RunCall(effect, c.call, frames, false, -1);
      for (int ch = 0; ch < 2; ++ch)
        EXPECT_EQ(out[size_t(ch)], std::vector<double>(size_t(frames), c.expected[ch])) << "channel " << ch;
      EXPECT_EQ(PluginOf(effect)->mBuffersGiven, c.processesAudio);
      EXPECT_EQ(PluginOf(effect)->mLastBlockFrames, frames);
    }
    // Hosts probe with null buffers: no crash, and what is there is written.
    RunCall(effect, c.call, 64, true, -1);
    for (int nullEntry : {0, 1}) {
      const auto out = RunCall(effect, c.call, 64, false, nullEntry);
      const int other = 1 - nullEntry;
      EXPECT_EQ(out[size_t(other)][0], c.expected[other]) << "null entry " << nullEntry;
    }
  }
}
