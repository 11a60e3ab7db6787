// The shipped presets in the LV2 bundle: lilv finds each one for the plug-in under the name its program file
// carries, a preset restored through lilv sets every control port to the program file's value, and it plays as
// the same program file loaded into the VST build.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <lv2/presets/presets.h>
#include <lv2/state/state.h>

#include "SessionPlayers.h"

namespace fs = std::filesystem;

namespace {
constexpr double kRate = 48000.0;
const char kUri[] = "https://larkspire.example/plugins/cyclochord";

// A program file's name and chunk, read at their fixed places; the reader under test is not used for this.
struct ShippedPreset {
  std::string mName;
  std::vector<uint8_t> mChunk;
};

std::map<std::string, ShippedPreset> Shipped() {
  std::map<std::string, ShippedPreset> presets;
  for (const auto& entry : fs::directory_iterator(fs::path(CYCLOCHORD_SOURCE_DIR) / "presets")) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 60) continue;
    ShippedPreset preset;
    for (size_t i = 28; i < 55 && bytes[i]; ++i) preset.mName += static_cast<char>(bytes[i]);
    preset.mChunk.assign(bytes.begin() + 60, bytes.end());
    presets[preset.mName] = preset;
  }
  return presets;
}

// Eighth notes at 120 beats a minute with the transport running, long enough for every echo to sound.
Session Melody() {
  Session session = {"melody", 512, std::vector<int>(450, 512), {{0, {0, 1, 120}}}, {}, {}};
  const int keys[] = {60, 64, 67, 72, 71, 69, 65, 62, 59, 55, 57, 60};
  int64_t frame = 1000;
  for (int key : keys) {
    session.mMidi.push_back({frame, {0x90, static_cast<uint8_t>(key), 96}});
    session.mMidi.push_back({frame + 9000, {0x80, static_cast<uint8_t>(key), 0}});
    frame += 12000;
  }
  std::stable_sort(session.mMidi.begin(), session.mMidi.end(),
                   [](const SessionMidi& a, const SessionMidi& b) { return a.mFrame < b.mFrame; });
  return session;
}

// The value a program file's chunk gives the parameter at index: header, then one double per parameter.
double ChunkValue(const std::vector<uint8_t>& chunk, int index) {
  double value = 0.0;
  const size_t at = 8 + 8 * static_cast<size_t>(index);
  EXPECT_LE(at + 8, chunk.size());
  if (at + 8 <= chunk.size()) std::memcpy(&value, &chunk[at], sizeof(value));
  return value;
}

std::vector<std::string> ControlSymbols(LilvHost& host) {
  LilvNode* control = lilv_new_uri(host.World(), LV2_CORE__ControlPort);
  std::vector<std::string> symbols;
  for (uint32_t i = 0; i < lilv_plugin_get_num_ports(host.Plugin()); ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(host.Plugin(), i);
    if (lilv_port_is_a(host.Plugin(), port, control))
      symbols.push_back(lilv_node_as_string(lilv_port_get_symbol(host.Plugin(), port)));
  }
  lilv_node_free(control);
  return symbols;
}

// The chunk the plug-in saves as its state now.
std::vector<uint8_t> SavedChunk(LilvHost& host, LilvHost::Instance& instance) {
  struct Saved {
    LV2_URID mKey;
    std::vector<uint8_t> mBytes;
  } saved = {host.Urids().Map("https://larkspire.example/plugins/cyclochord#chunk"), {}};
  const auto* state = static_cast<const LV2_State_Interface*>(
      lilv_instance_get_extension_data(instance.Get(), LV2_STATE__interface));
  const LV2_State_Store_Function store = [](LV2_State_Handle handle, uint32_t key, const void* value, size_t size,
                                            uint32_t, uint32_t) {
    auto* out = static_cast<Saved*>(handle);
    if (key == out->mKey) out->mBytes.assign(static_cast<const uint8_t*>(value), static_cast<const uint8_t*>(value) + size);
    return LV2_STATE_SUCCESS;
  };
  EXPECT_EQ(state->save(lilv_instance_get_handle(instance.Get()), store, &saved, 0, nullptr), LV2_STATE_SUCCESS);
  return saved.mBytes;
}

TEST(Lv2Presets, LilvListsEveryShippedPresetAndEachPlaysAsItsProgramFile) {
  LilvHost host(CYCLOCHORD_LV2_BUNDLE_DIR, kUri);
  ASSERT_NE(host.Plugin(), nullptr) << host.Error();
  LilvWorld* world = host.World();
  LilvNode* presetClass = lilv_new_uri(world, LV2_PRESETS__Preset);
  LilvNode* label = lilv_new_uri(world, LILV_NS_RDFS "label");
  LilvNodes* related = lilv_plugin_get_related(host.Plugin(), presetClass);

  std::map<std::string, ShippedPreset> shipped = Shipped();
  ASSERT_GE(shipped.size(), 6u);
  const Session session = Melody();
  const PlayResult plain = PlayVst(CYCLOCHORD_VST_MODULE, &host, session, kRate);
  ASSERT_TRUE(plain.mError.empty()) << plain.mError;
  const std::vector<std::string> symbols = ControlSymbols(host);
  ASSERT_EQ(symbols.size(), 38u);
  TestHost names;  // port symbols are the VST parameter names
  std::string error;
  ASSERT_TRUE(names.LoadModule(CYCLOCHORD_VST_MODULE, &error)) << error;

  std::vector<std::string> found;
  LILV_FOREACH(nodes, i, related) {
    const LilvNode* preset = lilv_nodes_get(related, i);
    ASSERT_GE(lilv_world_load_resource(world, preset), 0) << lilv_node_as_uri(preset);
    LilvNodes* labels = lilv_world_find_nodes(world, preset, label, nullptr);
    ASSERT_EQ(lilv_nodes_size(labels), 1u) << lilv_node_as_uri(preset);
    const std::string name = lilv_node_as_string(lilv_nodes_get_first(labels));
    lilv_nodes_free(labels);
    found.push_back(name);
    SCOPED_TRACE(name);
    ASSERT_EQ(shipped.count(name), 1u) << "a preset with no program file";

    LilvState* state = lilv_state_new_from_world(world, host.Urids().MapFeature(), preset);
    ASSERT_NE(state, nullptr);
    EXPECT_STREQ(lilv_state_get_label(state), name.c_str());
    const std::vector<uint8_t> chunk = shipped[name].mChunk;
    // Every control port has its value in the preset, the one the program file holds.
    std::vector<std::string> valued;
    lilv_state_emit_port_values(
        state, [](const char* symbol, void* user, const void*, uint32_t, uint32_t) {
          static_cast<std::vector<std::string>*>(user)->push_back(symbol);
        }, &valued);
    std::sort(valued.begin(), valued.end());
    std::vector<std::string> sortedSymbols = symbols;
    std::sort(sortedSymbols.begin(), sortedSymbols.end());
    EXPECT_EQ(valued, sortedSymbols);
    int differsFromDefault = 0;
    const PlayResult lv2 = PlayLV2(&host, session, kRate, [&](LilvHost::Instance& instance) {
      std::vector<float> before;
      for (const std::string& symbol : symbols) before.push_back(instance.Control(symbol));
      instance.RestoreState(state);
      for (size_t k = 0; k < symbols.size(); ++k) {
        const int index = names.ParamIndex(symbols[k]);
        ASSERT_GE(index, 0) << symbols[k];
        EXPECT_EQ(instance.Control(symbols[k]), static_cast<float>(ChunkValue(chunk, index))) << symbols[k];
        differsFromDefault += instance.Control(symbols[k]) != before[k];
      }
    });
    EXPECT_GT(differsFromDefault, 0);
    {
      // The ports' values, applied after the state, leave the preset's settings exactly as the chunk has them.
      LilvHost::Instance instance(&host, kRate, 512);
      ASSERT_TRUE(instance.Ok());
      instance.RestoreState(state);
      instance.Run(512);
      EXPECT_EQ(SavedChunk(host, instance), chunk);
    }
    lilv_state_free(state);
    const PlayResult vst = PlayVst(CYCLOCHORD_VST_MODULE, &host, session, kRate, [&chunk](TestHost& module) {
      EXPECT_TRUE(module.SetChunk(chunk, false));
    });
    ASSERT_TRUE(lv2.mError.empty() && vst.mError.empty()) << lv2.mError << vst.mError;
    EXPECT_NE(vst.mEvents, plain.mEvents) << "the preset changes nothing: the comparison would prove nothing";
    EXPECT_EQ(lv2.mEvents, vst.mEvents);
  }
  std::vector<std::string> expected;
  for (const auto& [name, preset] : shipped) expected.push_back(name);
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, expected);

  lilv_nodes_free(related);
  lilv_node_free(label);
  lilv_node_free(presetClass);
}
}  // namespace
