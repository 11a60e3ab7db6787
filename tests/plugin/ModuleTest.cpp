// The built Cyclochord module as a host loads it: its entry points and one note through it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ModuleLibrary.h"
#include "VstAbi.h"

namespace {
VstTimeInfo gTimeInfo;
std::vector<VstMidiEvent> gReceived;

VstIntPtr VST_CALLBACK Host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
  if (opcode == audioMasterGetTime) return reinterpret_cast<VstIntPtr>(&gTimeInfo);
  if (opcode == audioMasterProcessEvents) {
    const VstEvents* events = static_cast<const VstEvents*>(ptr);
    for (int i = 0; i < events->numEvents; ++i)
      gReceived.push_back(*reinterpret_cast<const VstMidiEvent*>(events->events[i]));
    return 1;
  }
  return 0;
}
}  // namespace

TEST(Module, LoadsThroughBothEntryPointsAndVoicesANote) {
  std::string why;
  void* module = cchost::OpenModule(CYCLOCHORD_MODULE_FILE, &why);
  ASSERT_NE(module, nullptr) << why;
  EXPECT_EQ(cchost::FindModuleSymbol(module, "CreatePluginInstance"), nullptr) << "only the entry points are exported";
  for (const char* symbol : {"VSTPluginMain", "main"}) {
    auto entry = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(cchost::FindModuleSymbol(module, symbol));
    ASSERT_NE(entry, nullptr) << symbol;
    AEffect* effect = entry(Host);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->magic, kEffectMagic);
    EXPECT_EQ(effect->uniqueID, VstFourCC('l', 's', 'C', 'c'));
    EXPECT_EQ(effect->numParams, 42);
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    effect->setParameter(effect, 8, 31.0f / 48.0f);  // parallel voice a fifth up

    VstMidiEvent note = {};
    note.type = kVstMidiType;
    note.byteSize = sizeof(VstMidiEvent);
    note.deltaFrames = 17;
    note.midiData[0] = static_cast<char>(0x90);
    note.midiData[1] = 60;
    note.midiData[2] = 100;
    VstEvents events = {};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<VstEvent*>(&note);
    gTimeInfo = {};
    gTimeInfo.samplePos = 1000;
    gTimeInfo.tempo = 120;
    gTimeInfo.flags = kVstTransportPlaying | kVstTempoValid;
    std::vector<float> buffer(256);
    float* channels[2] = {buffer.data(), buffer.data() + 128};
    effect->processReplacing(effect, channels, channels, 128);  // playback starts
    gTimeInfo.samplePos += 128;
    gReceived.clear();
    effect->dispatcher(effect, effProcessEvents, 0, 0, &events, 0.0f);
    effect->processReplacing(effect, channels, channels, 128);

    ASSERT_EQ(gReceived.size(), 2u) << symbol;
    EXPECT_EQ(gReceived[0].deltaFrames, 17);
    EXPECT_EQ(static_cast<unsigned char>(gReceived[0].midiData[1]), 60);
    EXPECT_EQ(static_cast<unsigned char>(gReceived[1].midiData[1]), 67);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
  }
  cchost::CloseModule(module);
}
