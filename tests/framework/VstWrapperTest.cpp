#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "TestHost.h"
#include "TestPlugin.h"

namespace {
TestPlugin* PluginOf(AEffect* effect) { return static_cast<TestPlugin*>(VstPluginOf(effect)); }

std::vector<uint8_t> GetChunk(TestHost& host, int index) {
  void* data = nullptr;
  const VstIntPtr size = host.Dispatch(effGetChunk, index, 0, &data);
  if (size <= 0 || !data) return {};
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

std::vector<uint8_t> BareValues(std::initializer_list<double> values) {
  std::vector<uint8_t> bytes;
  for (double v : values) {
    uint8_t b[8];
    std::memcpy(b, &v, 8);
    bytes.insert(bytes.end(), b, b + 8);
  }
  return bytes;
}

std::vector<uint8_t> WithHeader(std::vector<uint8_t> values) {
  std::vector<uint8_t> bytes = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
  bytes.insert(bytes.end(), values.begin(), values.end());
  return bytes;
}
}  // namespace

TEST(VstWrapper, AEffectIsFilledAsHostsExpect) {
  TestHost host;
  AEffect* effect = host.Load(TestPlugin::Create, false);
  ASSERT_NE(effect, nullptr);
  EXPECT_EQ(effect->magic, 0x56737450);
  EXPECT_EQ(effect->numParams, kTestNumHostParams);
  EXPECT_EQ(effect->numPrograms, 3);
  EXPECT_EQ(effect->numInputs, 2);
  EXPECT_EQ(effect->numOutputs, 2);
  EXPECT_EQ(effect->flags, 0x1138) << "replacing, double, chunks, mono, synth; no editor";
  EXPECT_EQ(effect->version, 10203);
  EXPECT_EQ(effect->uniqueID, VstFourCC('t', 's', 't', 'P'));
  EXPECT_EQ(effect->ioRatio, 1.0f);
  EXPECT_NE(effect->processDoubleReplacing, nullptr);
  EXPECT_TRUE(host.mCalls.empty()) << "the constructor never calls the host";
}

TEST(VstWrapper, FixedAnswers) {
  TestHost host;
  host.Load(TestPlugin::Create);
  EXPECT_EQ(host.Dispatch(effGetVstVersion), 2400);
  EXPECT_EQ(host.Dispatch(effGetVendorVersion), 10203) << "the version hosts show, as in AEffect::version";
  EXPECT_EQ(host.Dispatch(effIdentify), 0x4E764566);
  EXPECT_EQ(host.Dispatch(effGetPlugCategory), kPlugCategSynth);
  EXPECT_EQ(host.Dispatch(effCanBeAutomated, 99), 1);
  EXPECT_EQ(host.Dispatch(effEditIdle), 0);
  EXPECT_EQ(host.Dispatch(effProcessVarIo), 0);
  EXPECT_EQ(host.Dispatch(9999), 0);
  char name[64] = {};
  EXPECT_EQ(host.Dispatch(effGetEffectName, 0, 0, name), 1);
  EXPECT_STREQ(name, "TestPlugin");
  EXPECT_EQ(host.Dispatch(effGetVendorString, 0, 0, name), 1);
  EXPECT_STREQ(name, "TestVendor");
  EXPECT_EQ(host.Dispatch(effGetProductString, 0, 0, nullptr), 0);
}

TEST(VstWrapper, CanDoAnswersFollowTheMidiFlag) {
  TestHost host;
  host.Load(TestPlugin::Create);
  EXPECT_EQ(host.Dispatch(effCanDo, 0, 0, const_cast<char*>("receiveVstMidiEvent")), 1);
  EXPECT_EQ(host.Dispatch(effCanDo, 0, 0, const_cast<char*>("sendVstEvents")), 1);
  EXPECT_EQ(host.Dispatch(effCanDo, 0, 0, const_cast<char*>("receiveVstTimeInfo")), 1);
  EXPECT_EQ(host.Dispatch(effCanDo, 0, 0, const_cast<char*>("ReceiveVstMidiEvent")), 0);
  EXPECT_EQ(host.Dispatch(effCanDo, 0, 0, const_cast<char*>("bypass")), 0);
  EXPECT_EQ(host.Dispatch(effCanDo, 0, 0, nullptr), 0);

  TestHost noMidiHost;
  noMidiHost.Load(TestPlugin::CreateWithoutMidi);
  for (const char* q : {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent"})
    EXPECT_EQ(noMidiHost.Dispatch(effCanDo, 0, 0, const_cast<char*>(q)), 0) << q;
  EXPECT_EQ(noMidiHost.Dispatch(effCanDo, 0, 0, const_cast<char*>("receiveVstTimeInfo")), 1);
  noMidiHost.Process(32);
  EXPECT_TRUE(noMidiHost.CallsWith(audioMasterWantMidi).empty());
  host.Process(32);
  EXPECT_EQ(host.CallsWith(audioMasterWantMidi).size(), 1u);
}

TEST(VstWrapper, PinProperties) {
  TestHost host;
  host.Load(TestPlugin::Create);
  VstPinProperties pin = {};
  EXPECT_EQ(host.Dispatch(effGetInputProperties, 0, 0, &pin), 1);
  EXPECT_EQ(pin.flags, 3);
  EXPECT_STREQ(pin.label, "Input 1");
  EXPECT_EQ(host.Dispatch(effGetInputProperties, 1, 0, &pin), 1);
  EXPECT_EQ(pin.flags, 1);
  EXPECT_STREQ(pin.label, "Input 2");
  EXPECT_EQ(host.Dispatch(effGetInputProperties, 2, 0, &pin), 0);
  EXPECT_EQ(host.Dispatch(effGetInputProperties, -1, 0, &pin), 0);
  EXPECT_EQ(host.Dispatch(effGetOutputProperties, 0, 0, nullptr), 0);
  EXPECT_EQ(host.Dispatch(effGetOutputProperties, 1, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "Output 2");
}

TEST(VstWrapper, SpeakerArrangements) {
  TestHost host;
  host.Load(TestPlugin::Create);
  VstSpeakerArrangement* in = nullptr;
  VstSpeakerArrangement* out = nullptr;
  EXPECT_EQ(host.Dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 1);
  ASSERT_TRUE(in && out);
  EXPECT_EQ(in->type, kSpeakerArrStereo);
  EXPECT_EQ(out->numChannels, 2);

  VstSpeakerArrangement mono = {};
  mono.numChannels = 1;
  EXPECT_EQ(host.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&mono), nullptr), 1);
  host.mIn[0].assign(8, 0.5f);
  host.mIn[1].assign(8, 0.5f);
  host.Process(8);
  ASSERT_EQ(PluginOf(host.Effect())->mFirstInputSamples.size(), 2u);
  EXPECT_EQ(PluginOf(host.Effect())->mFirstInputSamples[1], 0.0) << "the second input is unconnected";
}

TEST(VstWrapper, ParametersThroughTheAEffect) {
  TestHost host;
  AEffect* effect = host.Load(TestPlugin::Create);
  TestPlugin* plug = PluginOf(effect);
  host.SetParameter(kTestEnum, 1.0f);
  EXPECT_EQ(host.GetParameter(kTestEnum), 1.0f);
  EXPECT_EQ(host.ParamDisplay(kTestEnum), "3") << "entry 3 has an empty text";
  host.SetParameter(kTestEnum, 0.34f);
  EXPECT_EQ(host.ParamDisplay(kTestEnum), "Green");
  EXPECT_EQ(host.ParamName(kTestEnum), "Colour");
  char label[64] = {};
  host.Dispatch(effGetParamLabel, kTestInt, 0, label);
  EXPECT_STREQ(label, "st");

  // The appended parameter is served too, but never counted for the host.
  host.SetParameter(kTestNumHostParams, 1.0f);
  EXPECT_EQ(plug->GetParam(kTestNumHostParams)->Value(), 1.0);
  EXPECT_EQ(host.ParamName(kTestNumHostParams), "Internal");

  // Out-of-range indices are ignored.
  host.SetParameter(-1, 0.5f);
  host.SetParameter(99, 0.5f);
  EXPECT_EQ(host.GetParameter(99), 0.0f);
  char text[64] = "untouched";
  host.Dispatch(effGetParamName, 99, 0, text);
  EXPECT_STREQ(text, "untouched");

  // Hostile values leave the parameter in range; the host is not told back.
  host.ClearCalls();
  host.SetParameter(kTestInt, -3.0f);
  EXPECT_EQ(plug->GetParam(kTestInt)->Value(), -30.0);
  host.SetParameter(kTestInt, std::nanf(""));
  EXPECT_EQ(plug->GetParam(kTestInt)->Value(), -30.0);
  EXPECT_TRUE(host.CallsWith(audioMasterAutomate).empty());
}

TEST(VstWrapper, VendorSpecificFormatsANormalisedValue) {
  TestHost host;
  host.Load(TestPlugin::Create);
  char text[64] = "untouched";
  EXPECT_EQ(host.Dispatch(effVendorSpecific, effGetParamDisplay, kTestInt, text, 1.0f), 0xBEEF);
  EXPECT_STREQ(text, "30");
  std::strcpy(text, "untouched");
  EXPECT_EQ(host.Dispatch(effVendorSpecific, effGetParamDisplay, 77, text, 0.5f), 0xBEEF);
  EXPECT_STREQ(text, "untouched");
  EXPECT_EQ(host.Dispatch(effVendorSpecific, 6, 0, text, 0.5f), 0);
  EXPECT_EQ(host.Dispatch(effVendorSpecific, effGetParamDisplay, 0, nullptr, 0.5f), 0);
}

TEST(VstWrapper, OpenIdentifiesHostOnceAndNotifiesEveryParameter) {
  TestHost host;
  host.mProductString = "REAPER";
  AEffect* effect = host.Load(TestPlugin::Create, false);
  TestPlugin* plug = PluginOf(effect);
  host.Dispatch(effOpen);
  EXPECT_EQ(plug->GetHostCode(), 1);
  EXPECT_EQ(host.CallsWith(audioMasterGetProductString).size(), 1u);
  EXPECT_EQ(host.CallsWith(audioMasterGetVendorVersion).size(), 1u);
  std::vector<std::string> expected;
  for (int i = 0; i <= kTestNumHostParams; ++i) expected.push_back("OnParameterChange(" + std::to_string(i) + ")");
  EXPECT_EQ(plug->mLog, expected);
  host.Dispatch(effOpen);
  EXPECT_EQ(host.CallsWith(audioMasterGetProductString).size(), 1u);
}

TEST(VstWrapper, EmptyProductTextIsAskedOnlyOnce) {
  TestHost host;
  host.mProductString = "";
  TestPlugin* plug = PluginOf(host.Load(TestPlugin::Create));
  EXPECT_EQ(plug->GetHostCode(), 0);
  EXPECT_EQ(plug->GetHostCode(), 0);
  EXPECT_EQ(host.CallsWith(audioMasterGetProductString).size(), 1u);
  EXPECT_TRUE(host.CallsWith(audioMasterGetVendorVersion).empty());
}

TEST(VstWrapper, ActivationSampleRateAndBlockSize) {
  TestHost host;
  TestPlugin* plug = PluginOf(host.Load(TestPlugin::Create));
  plug->mLog.clear();
  host.Dispatch(effMainsChanged, 0, 1);
  host.Dispatch(effMainsChanged, 0, 0);
  host.Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
  host.Dispatch(effSetBlockSize, 0, 256);
  EXPECT_EQ(plug->mLog, (std::vector<std::string>{"OnActivate(1)", "OnActivate(0)", "Reset", "Reset", "Reset"}));
  EXPECT_EQ(plug->GetSampleRate(), 48000.0);
  EXPECT_EQ(plug->GetBlockSize(), 256);

  plug->mLog.clear();
  host.Dispatch(effSetSampleRate, 0, 0, nullptr, 0.0f);
  host.Dispatch(effSetSampleRate, 0, 0, nullptr, -44100.0f);
  host.Dispatch(effSetSampleRate, 0, 0, nullptr, std::nanf(""));
  host.Dispatch(effSetSampleRate, 0, 0, nullptr, INFINITY);
  EXPECT_EQ(plug->GetSampleRate(), 48000.0);
  EXPECT_TRUE(plug->mLog.empty());
}

// Pass-through used to go to the host at once, one call per event, from effProcessEvents; hosts collect output
// only during processing, so it now waits for the next processing call.
TEST(VstWrapper, MidiEventsReachThePluginAndOtherEventsWaitForTheNextProcessingCall) {
  TestHost host;
  host.Load(TestPlugin::Create);
  VstMidiEvent note = {};
  note.type = kVstMidiType;
  note.byteSize = 24;  // some hosts write the old size; the type decides
  note.deltaFrames = 17;
  note.midiData[0] = static_cast<char>(0x91);
  note.midiData[1] = 60;
  note.midiData[2] = 100;
  char sysexBytes[] = {static_cast<char>(0xF0), 0x7E, static_cast<char>(0xF7)};
  VstMidiSysexEvent sysex = {};
  sysex.type = kVstSysExType;
  sysex.byteSize = sizeof(sysex);
  sysex.deltaFrames = 20;
  sysex.dumpBytes = 3;
  sysex.sysexDump = sysexBytes;
  struct {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[3];
  } list = {3, 0, {reinterpret_cast<VstEvent*>(&note), nullptr, reinterpret_cast<VstEvent*>(&sysex)}};
  EXPECT_EQ(host.Dispatch(effProcessEvents, 0, 0, &list), 1);
  EXPECT_TRUE(host.Midi().empty());
  EXPECT_TRUE(host.mForwardedEvents.empty());
  host.Process(32);
  const std::vector<MidiEvent> out = host.TakeMidi();
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].offset, 17);
  EXPECT_EQ(out[0].status, 0x91);
  EXPECT_EQ(out[0].data1, 60);
  EXPECT_EQ(out[0].data2, 100);
  EXPECT_EQ(out[0].position, 0);
  ASSERT_EQ(host.mForwardedEvents.size(), 1u);
  EXPECT_EQ(host.mForwardedEvents[0].type, kVstSysExType);
  EXPECT_EQ(host.mForwardedEvents[0].batch, out[0].batch);
  EXPECT_EQ(host.mForwardedEvents[0].position, 1);
  EXPECT_EQ(host.mForwardedSysEx, (std::vector<uint8_t>{0xF0, 0x7E, 0xF7}));
  EXPECT_EQ(host.Dispatch(effProcessEvents, 0, 0, nullptr), 0);
}

// Messages sent outside a processing call are taken, not yet delivered, so the host's answer cannot be reported.
TEST(VstWrapper, MidiSentOutsideProcessingGoesOutWithTheNextProcessingCall) {
  TestHost host;
  TestPlugin* plug = PluginOf(host.Load(TestPlugin::Create));
  const IMidiMessage msgs[2] = {IMidiMessage::MakeNoteOn(60, 90, 3, 2), IMidiMessage::MakeNoteOff(60, 9, 2)};
  EXPECT_TRUE(plug->SendMidiMessages(msgs, 2));
  EXPECT_TRUE(plug->SendMidiMessages(msgs, 0));
  host.mProcessEventsResult = 0;
  EXPECT_TRUE(plug->SendMidiMessage(&msgs[0]));
  EXPECT_EQ(host.mBatches, 0);
  host.Process(16);
  const std::vector<MidiEvent> out = host.TakeMidi();
  ASSERT_EQ(out.size(), 3u);
  // Held messages go out in offset order, those of equal offset in the order they were sent.
  EXPECT_EQ(out[0].status, 0x92);
  EXPECT_EQ(out[0].offset, 3);
  EXPECT_EQ(out[1].status, 0x92);
  EXPECT_EQ(out[1].offset, 3);
  EXPECT_EQ(out[2].status, 0x82);
  EXPECT_EQ(out[2].offset, 9);
  EXPECT_EQ(out[2].data2, 0);
  EXPECT_EQ(host.mBatches, 1);
}

TEST(VstWrapper, TransportQueriesUseDefaultsWithoutTimeInfo) {
  TestHost host;
  TestPlugin* plug = PluginOf(host.Load(TestPlugin::Create));
  host.SetTransport(1000.4, 96.0, true);
  TransportInfo info;
  plug->GetTransportInfo(&info);
  EXPECT_EQ(info.mSamplePos, 1000.4);
  EXPECT_EQ(info.mTempo, 96.0);
  EXPECT_TRUE(info.mPlaying);
  EXPECT_EQ(info.mNumerator, 4);
  EXPECT_EQ(info.mDenominator, 4);

  host.SetTimeInfoAvailable(false);
  plug->GetTransportInfo(&info);
  EXPECT_EQ(info.mSamplePos, -1.0);
  EXPECT_EQ(info.mTempo, 120.0);
  EXPECT_FALSE(info.mPlaying) << "no time information means the transport is not moving";
}

TEST(VstWrapper, ChunkHoldsHeaderAndHostVisibleValues) {
  TestHost host;
  host.Load(TestPlugin::Create);
  host.SetParameter(kTestInt, 1.0f);
  const std::vector<uint8_t> chunk = GetChunk(host, 1);
  ASSERT_EQ(chunk.size(), 8u + 8u * kTestNumHostParams);
  EXPECT_EQ(std::vector<uint8_t>(chunk.begin(), chunk.begin() + 8),
            (std::vector<uint8_t>{0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00}));
  double v;
  std::memcpy(&v, &chunk[8 + 8 * kTestInt], 8);
  EXPECT_EQ(v, 30.0);
  EXPECT_EQ(GetChunk(host, 0), chunk) << "bank and program chunks carry the same values";
  EXPECT_EQ(host.Dispatch(effGetChunk, 1, 0, nullptr), 0);
}

TEST(VstWrapper, ChunkRoundTripAndBareValues) {
  TestHost host;
  TestPlugin* plug = PluginOf(host.Load(TestPlugin::Create));
  std::vector<uint8_t> bare = BareValues({1.0, 2.0, -12.0, 0.5});
  EXPECT_EQ(host.Dispatch(effSetChunk, 1, static_cast<VstIntPtr>(bare.size()), bare.data()), 1);
  EXPECT_EQ(plug->GetParam(kTestEnum)->Value(), 2.0);
  EXPECT_EQ(plug->GetParam(kTestInt)->Value(), -12.0);
  EXPECT_EQ(plug->GetParam(kTestDouble)->Value(), 0.5);

  const std::vector<uint8_t> saved = GetChunk(host, 0);
  host.SetParameter(kTestInt, 0.5f);
  std::vector<uint8_t> copy = saved;
  EXPECT_EQ(host.Dispatch(effSetChunk, 0, static_cast<VstIntPtr>(copy.size()), copy.data()), 1);
  EXPECT_EQ(plug->GetParam(kTestInt)->Value(), -12.0);
}

TEST(VstWrapper, ShortChunkSetsWhatItCanAndFails) {
  TestHost host;
  TestPlugin* plug = PluginOf(host.Load(TestPlugin::Create));
  host.SetParameter(kTestDouble, 0.75f);
  host.SetParameter(kTestInt, 1.0f);
  plug->mLog.clear();
  std::vector<uint8_t> bytes = WithHeader(BareValues({1.0, 3.0}));
  bytes.push_back(0x11);  // a partial third value
  EXPECT_EQ(host.Dispatch(effSetChunk, 1, static_cast<VstIntPtr>(bytes.size()), bytes.data()), 0);
  EXPECT_EQ(plug->GetParam(kTestBool)->Value(), 1.0);
  EXPECT_EQ(plug->GetParam(kTestEnum)->Value(), 3.0);
  EXPECT_EQ(plug->GetParam(kTestInt)->Value(), 30.0) << "the value that ran out is not set from missing bytes";
  EXPECT_FLOAT_EQ(static_cast<float>(plug->GetParam(kTestDouble)->Value()), 0.75f) << "later values are kept";
  EXPECT_EQ(plug->mLog.size(), static_cast<size_t>(kTestNumHostParams + 1)) << "every handler still runs";
}

TEST(VstWrapper, HostileChunksAreReadSafely) {
  TestHost host;
  TestPlugin* plug = PluginOf(host.Load(TestPlugin::Create));
  EXPECT_EQ(host.Dispatch(effSetChunk, 1, 100, nullptr), 0);
  uint8_t byte = 0x74;
  EXPECT_EQ(host.Dispatch(effSetChunk, 1, -8, &byte), 0);
  EXPECT_EQ(host.Dispatch(effSetChunk, 1, 0, &byte), 0);
  std::vector<uint8_t> headerOnly = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00};
  EXPECT_EQ(host.Dispatch(effSetChunk, 1, 6, headerOnly.data()), 0);
  std::vector<uint8_t> nans = BareValues({std::nan(""), -INFINITY, INFINITY, 1e308});
  EXPECT_EQ(host.Dispatch(effSetChunk, 1, static_cast<VstIntPtr>(nans.size()), nans.data()), 1);
  EXPECT_EQ(plug->GetParam(kTestBool)->Value(), 1.0) << "NaN becomes the maximum";
  EXPECT_EQ(plug->GetParam(kTestEnum)->Value(), 0.0);
  EXPECT_EQ(plug->GetParam(kTestInt)->Value(), 30.0);
  EXPECT_EQ(plug->GetParam(kTestDouble)->Value(), 1.0);
}

TEST(VstWrapper, ProgramSlotsCaptureOnFirstSelectionAndLoadLater) {
  TestHost host;
  TestPlugin* plug = PluginOf(host.Load(TestPlugin::Create));
  char name[64] = {};
  host.SetParameter(kTestInt, 1.0f);
  host.Dispatch(effSetProgram, 0, 2);
  EXPECT_EQ(host.Dispatch(effGetProgram), 2);
  host.Dispatch(effGetProgramName, 0, 0, name);
  EXPECT_STREQ(name, "user preset 1");
  host.SetParameter(kTestInt, 0.0f);
  host.Dispatch(effSetProgram, 0, 1);
  EXPECT_EQ(host.Dispatch(effGetProgramNameIndexed, 1, -1, name), 1);
  EXPECT_STREQ(name, "user preset 2");
  host.Dispatch(effSetProgram, 0, 2);
  EXPECT_EQ(plug->GetParam(kTestInt)->Value(), 30.0) << "slot 2 loads the values it captured";
  host.Dispatch(effSetProgram, 0, 7);
  EXPECT_EQ(host.Dispatch(effGetProgram), 2);
  EXPECT_EQ(host.Dispatch(effGetProgramNameIndexed, 5, -1, name), 0);
  EXPECT_EQ(host.Dispatch(effGetProgramNameIndexed, 0, -1, nullptr), 0);
}

TEST(VstWrapper, ProgramNamesFromTheHostAreStoredAndCounted) {
  TestHost host;
  TestPlugin* plug = PluginOf(host.Load(TestPlugin::Create));
  host.Dispatch(effSetProgramName, 0, 0, const_cast<char*>("my user preset"));
  EXPECT_STREQ(plug->GetPresetName(0), "my user preset");
  host.Dispatch(effSetProgram, 0, 1);
  EXPECT_STREQ(plug->GetPresetName(1), "user preset 2");

  const std::string longName(1000, 'x');
  host.Dispatch(effSetProgramName, 0, 0, const_cast<char*>(longName.c_str()));
  EXPECT_EQ(std::string(plug->GetPresetName(1)), std::string(255, 'x'));
  char hostBuffer[kVstMaxProgNameLen + 8];
  std::memset(hostBuffer, '#', sizeof(hostBuffer));
  host.Dispatch(effGetProgramName, 0, 0, hostBuffer);
  EXPECT_EQ(std::strlen(hostBuffer), static_cast<size_t>(kVstMaxProgNameLen - 1));
  EXPECT_EQ(hostBuffer[kVstMaxProgNameLen], '#') << "nothing written past the program-name size";
}

TEST(VstWrapper, RenamedUninitialisedSlotKeepsItsValuesAfterCapture) {
  TestHost host;
  TestPlugin* plug = PluginOf(host.Load(TestPlugin::Create));
  host.Dispatch(effSetProgram, 0, 1);
  host.SetParameter(kTestInt, 1.0f);
  host.Dispatch(effSetProgramName, 0, 0, const_cast<char*>("Lead"));  // slot 1, now holding 30
  host.Dispatch(effSetProgram, 0, 2);
  host.SetParameter(kTestInt, 0.0f);
  host.Dispatch(effSetProgram, 0, 1);
  EXPECT_EQ(plug->GetParam(kTestInt)->Value(), 30.0);
  EXPECT_STREQ(plug->GetPresetName(1), "Lead");
}

TEST(VstWrapper, WithoutChunksTheCurrentSlotIsStoredBeforeSwitching) {
  TestHost host;
  AEffect* effect = host.Load(TestPlugin::CreateWithoutChunks);
  TestPlugin* plug = PluginOf(effect);
  EXPECT_EQ(effect->flags & effFlagsProgramChunks, 0);
  host.Dispatch(effSetProgram, 0, 0);  // capture slot 0
  host.SetParameter(kTestInt, 1.0f);
  host.Dispatch(effSetProgram, 0, 1);  // slot 0 is stored with 30 first
  host.SetParameter(kTestInt, 0.0f);
  host.Dispatch(effSetProgram, 0, 0);
  EXPECT_EQ(plug->GetParam(kTestInt)->Value(), 30.0);
}

TEST(VstWrapper, EntryPointMakesAtLeastOneProgram) {
  TestHost host;
  AEffect* effect = host.Load(TestPlugin::CreateWithoutPresets);
  EXPECT_EQ(effect->numPrograms, 1);
  TestPlugin* plug = PluginOf(effect);
  EXPECT_STREQ(plug->GetPresetName(0), "Default");
}

TEST(VstWrapper, FailedCreationReturnsNull) {
  TestHost host;
  EXPECT_EQ(host.Load([]() -> IPluginBase* { return nullptr; }), nullptr);
  EXPECT_EQ(VstCreateEffect(nullptr, nullptr), nullptr);
}

TEST(VstWrapper, MidiKeyNamesAreEmptyByDefault) {
  TestHost host;
  host.Load(TestPlugin::Create);
  MidiKeyName key = {};
  key.thisKeyNumber = 60;
  std::strcpy(key.keyName, "junk");
  EXPECT_EQ(host.Dispatch(effGetMidiKeyName, 0, 0, &key), 0);
  EXPECT_STREQ(key.keyName, "");
  EXPECT_EQ(host.Dispatch(effGetMidiKeyName, 0, 0, nullptr), 0);
}

TEST(VstWrapper, EditorRequestsWithoutAnEditorAnswerZero) {
  TestHost host;
  host.Load(TestPlugin::Create);
  ERect* rect = nullptr;
  EXPECT_EQ(host.Dispatch(effEditGetRect, 0, 0, &rect), 0);
  EXPECT_EQ(host.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(0x1234)), 0);
  EXPECT_EQ(host.Dispatch(effEditClose), 0);
}

namespace {
struct FakeEditor : IEditorInterface {
  std::vector<std::string>* mLog;
  explicit FakeEditor(std::vector<std::string>* log) : mLog(log) {}
  ~FakeEditor() override { mLog->push_back("destroyed"); }
  void PrepareDrawing() override { mLog->push_back("PrepareDrawing"); }
  void SetParameterFromPlug(int paramIdx, double value, bool normalized) override {
    mLog->push_back("Set(" + std::to_string(paramIdx) + "," + std::to_string(value) + (normalized ? ",n)" : ",r)"));
  }
  int Width() const override { return 410; }
  int Height() const override { return 680; }
  void* OpenWindow(void* parent) override {
    mLog->push_back("OpenWindow");
    return parent;
  }
  void CloseWindow() override { mLog->push_back("CloseWindow"); }
};

std::vector<std::string>* gEditorLog = nullptr;

IPluginBase* CreateWithEditor() {
  auto* plug = new TestPlugin();
  plug->AttachEditor(new FakeEditor(gEditorLog));
  return plug;
}
}  // namespace

TEST(VstWrapper, AttachedEditorIsSizedOpenedAndFollowsTheHost) {
  std::vector<std::string> log;
  gEditorLog = &log;
  {
    TestHost host;
    AEffect* effect = host.Load(CreateWithEditor);
    TestPlugin* plug = PluginOf(effect);
    EXPECT_EQ(effect->flags, 0x1139);
    ASSERT_EQ(log.size(), static_cast<size_t>(kTestNumHostParams + 2));
    EXPECT_EQ(log.back(), "PrepareDrawing");
    ERect* rect = nullptr;
    EXPECT_EQ(host.Dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 410);
    EXPECT_EQ(rect->bottom, 680);
    EXPECT_EQ(host.Dispatch(effEditOpen, 0, 0, nullptr), 0) << "no window, no editor";
    EXPECT_EQ(host.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(0x42)), 1);
    log.clear();
    host.SetParameter(kTestInt, 1.0f);
    // The editor follows at its own tick: nothing reaches it from the host's thread.
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(plug->ParameterGeneration(kTestInt), 1u);
    EXPECT_EQ(host.Dispatch(effEditClose), 1);
    EXPECT_EQ(log.back(), "CloseWindow");
  }
  EXPECT_EQ(log.back(), "destroyed");
}
