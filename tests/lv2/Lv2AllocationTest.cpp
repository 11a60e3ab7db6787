// run() allocates nothing once warmed up: notes, pass-through and system-exclusive messages, transport
// changes inside cycles, control-port changes, cycles longer than the block, a full output buffer.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include <lv2/atom/forge.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/time/time.h>

#include "AllocationCounter.h"
#include "Lv2Wrapper.h"
#include "Lv2Entry.h"

namespace {
LV2_URID Map(LV2_URID_Map_Handle handle, const char* uri) {
  auto* ids = static_cast<std::map<std::string, LV2_URID>*>(handle);
  return ids->emplace(uri, static_cast<LV2_URID>(ids->size() + 1)).first->second;
}

TEST(Lv2Allocation, ABusySessionAllocatesNothingAfterWarmUp) {
  std::map<std::string, LV2_URID> ids;
  LV2_URID_Map map = {&ids, Map};
  int32_t maxBlock = 256;
  const LV2_Options_Option options[] = {
      {LV2_OPTIONS_INSTANCE, 0, Map(&ids, LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t), Map(&ids, LV2_ATOM__Int), &maxBlock},
      {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
  const LV2_Feature mapFeature = {LV2_URID__map, &map}, optionsFeature = {LV2_OPTIONS__options, const_cast<LV2_Options_Option*>(options)};
  const LV2_Feature* features[] = {&mapFeature, &optionsFeature, nullptr};
  Lv2HostLink host;
  host.mSampleRate = 44100.0;
  host.mFeatures = features;
  host.mURIs = &kLv2PluginURIs;
  std::unique_ptr<Lv2Wrapper> plug(Lv2CreateInstance(&host, CreatePluginInstance));
  ASSERT_NE(plug, nullptr);

  std::vector<float> controls(static_cast<size_t>(plug->NumControlPorts()));
  for (int k = 0; k < plug->NumControlPorts(); ++k) {
    controls[size_t(k)] = static_cast<float>(plug->Plugin().GetParam(plug->ParamForControlPort(k))->Value());
    plug->ConnectPort(kLv2FirstControlPort + uint32_t(k), &controls[size_t(k)]);
  }
  std::vector<uint64_t> in(4096), out(64);  // an output buffer that busy cycles overflow
  plug->ConnectPort(kLv2EventsInPort, in.data());
  plug->ConnectPort(kLv2MidiOutPort, out.data());
  plug->Activate();

  const LV2_URID midi = Map(&ids, LV2_MIDI__MidiEvent), position = Map(&ids, LV2_TIME__Position);
  const LV2_URID frameKey = Map(&ids, LV2_TIME__frame), speedKey = Map(&ids, LV2_TIME__speed);
  const LV2_URID tempoKey = Map(&ids, LV2_TIME__beatsPerMinute);
  LV2_Atom_Forge forge;
  lv2_atom_forge_init(&forge, &map);
  int64_t songFrame = 0;
  auto cycle = [&](int i) {
    const int j = i % 240;
    const uint32_t frames = j % 9 == 0 ? 1000 : 512;  // now and then longer than the plug-in's block
    lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(in.data()), in.size() * sizeof(uint64_t));
    LV2_Atom_Forge_Frame sequence, object;
    lv2_atom_forge_sequence_head(&forge, &sequence, 0);
    auto send = [&](int64_t time, std::initializer_list<uint8_t> bytes) {
      lv2_atom_forge_frame_time(&forge, time);
      lv2_atom_forge_atom(&forge, static_cast<uint32_t>(bytes.size()), midi);
      lv2_atom_forge_write(&forge, bytes.begin(), static_cast<uint32_t>(bytes.size()));
    };
    auto report = [&](int64_t time, float speed, float tempo) {
      lv2_atom_forge_frame_time(&forge, time);
      lv2_atom_forge_object(&forge, &object, 0, position);
      lv2_atom_forge_key(&forge, frameKey);
      lv2_atom_forge_long(&forge, songFrame + time);
      lv2_atom_forge_key(&forge, speedKey);
      lv2_atom_forge_float(&forge, speed);
      lv2_atom_forge_key(&forge, tempoKey);
      lv2_atom_forge_float(&forge, tempo);
      lv2_atom_forge_pop(&forge, &object);
    };
    if (j == 0) report(0, 1.0f, 120.0f);
    for (int e = 0; e < 6; ++e) {
      const int k = j * 6 + e;
      send(e * 80, {0x90, static_cast<uint8_t>(30 + (k * 7) % 61), static_cast<uint8_t>(1 + (k * 13) % 127)});
      send(e * 80 + 3, {0x80, static_cast<uint8_t>(30 + ((k - 9) * 7 + 61) % 61), 0});
    }
    if (j % 10 == 5) send(450, {0xE0, 0, static_cast<uint8_t>(j % 128)});
    if (j % 30 == 7) send(460, {0xF0, 0x7D, 0x01, 0x02, 0xF7});
    if (j % 50 == 10) send(470, {static_cast<uint8_t>(0xB0 | (j % 16)), 123, 0});
    if (j % 80 == 40) report(300, 1.0f, j == 120 ? 70.0f : 140.0f);  // a tempo change inside the cycle
    if (j == 120) songFrame += 1 << 20, report(500, 1.0f, 100.0f);  // a jump
    if (j == 239) report(100, 0.0f, 100.0f);                           // a stop
    lv2_atom_forge_pop(&forge, &sequence);
    if (j % 7 == 3) controls[size_t((j / 7) % controls.size())] = static_cast<float>(j % 5);
    reinterpret_cast<LV2_Atom*>(out.data())->size = static_cast<uint32_t>(out.size() * sizeof(uint64_t) - sizeof(LV2_Atom));
    plug->Run(frames);
    songFrame += frames;
  };
  for (int i = 0; i < 480; ++i) cycle(i);
  AllocationCounter::Start();
  for (int i = 0; i < 12000; ++i) cycle(i);
  EXPECT_EQ(AllocationCounter::Stop(), 0u);
  EXPECT_GT(plug->DroppedOutput(), 0u) << "the small buffer was meant to overflow";
  plug->Deactivate();
}
}  // namespace
