// The shipped presets in the LV2 bundle: lilv finds each one for the plug-in under the name its program file
// carries, and a preset restored through lilv plays as the same program file loaded into the VST build.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <lv2/presets/presets.h>

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
    const PlayResult lv2 = PlayLV2(&host, session, kRate, [state](LilvHost::Instance& instance) {
      instance.RestoreState(state);
    });
    lilv_state_free(state);
    const std::vector<uint8_t> chunk = shipped[name].mChunk;
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
