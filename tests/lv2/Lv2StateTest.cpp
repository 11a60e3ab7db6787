// LV2 state: the chunk a VST host would store plus the program, carried from one instance to another, and
// any bytes at all restored as effSetChunk restores them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>

#include <lv2/atom/atom.h>
#include <lv2/state/state.h>

#include "CaseName.h"
#include "SessionPlayers.h"

namespace {
constexpr double kRate = 48000.0;
const char kUri[] = "https://larkspire.example/plugins/cyclochord";
const char kChunkKey[] = "https://larkspire.example/plugins/cyclochord#chunk";
const char kProgramKey[] = "https://larkspire.example/plugins/cyclochord#program";

using Bytes = std::vector<uint8_t>;

struct Property {
  LV2_URID mType;
  Bytes mBytes;
};
using Properties = std::map<LV2_URID, Property>;

LV2_State_Status Store(LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t type,
                       uint32_t flags) {
  EXPECT_TRUE(flags & LV2_STATE_IS_POD);
  EXPECT_TRUE(flags & LV2_STATE_IS_PORTABLE);
  const auto* bytes = static_cast<const uint8_t*>(value);
  (*static_cast<Properties*>(handle))[key] = {type, Bytes(bytes, bytes + size)};
  return LV2_STATE_SUCCESS;
}

const void* Retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags) {
  auto* properties = static_cast<Properties*>(handle);
  auto it = properties->find(key);
  if (it == properties->end()) return nullptr;
  *size = it->second.mBytes.size();
  *type = it->second.mType;
  *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
  // An empty value still needs an address.
  static const uint8_t kNothing = 0;
  return it->second.mBytes.empty() ? &kNothing : it->second.mBytes.data();
}

class StateFixture : public testing::Test {
 protected:
  StateFixture() : mHost(CYCLOCHORD_LV2_BUNDLE_DIR, kUri) {}

  const LV2_State_Interface* Interface(const LilvHost::Instance& instance) {
    return static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(instance.Get(), LV2_STATE__interface));
  }
  Properties Save(const LilvHost::Instance& instance) {
    Properties properties;
    EXPECT_EQ(Interface(instance)->save(lilv_instance_get_handle(instance.Get()), Store, &properties, 0, nullptr),
              LV2_STATE_SUCCESS);
    return properties;
  }
  LV2_State_Status Restore(const LilvHost::Instance& instance, Properties properties) {
    return Interface(instance)->restore(lilv_instance_get_handle(instance.Get()), Retrieve, &properties, 0, nullptr);
  }
  LV2_URID Urid(const char* uri) { return mHost.Urids().Map(uri); }
  Bytes Chunk(const LilvHost::Instance& instance) { return Save(instance)[Urid(kChunkKey)].mBytes; }
  int32_t Program(const LilvHost::Instance& instance) {
    Property p = Save(instance)[Urid(kProgramKey)];
    int32_t program = -1;
    if (p.mType == Urid(LV2_ATOM__Int) && p.mBytes.size() == 4) std::memcpy(&program, p.mBytes.data(), 4);
    return program;
  }

  LilvHost mHost;
};

Bytes Doubles(std::initializer_list<double> values, bool header) {
  Bytes bytes;
  auto append = [&bytes](const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    bytes.insert(bytes.end(), b, b + n);
  };
  if (header) {
    const int32_t magic = 0x70666674, version = 0x00010000;
    append(&magic, 4);
    append(&version, 4);
  }
  for (double v : values) append(&v, 8);
  return bytes;
}

Bytes Repeat(double value, int count, bool header) {
  Bytes bytes = Doubles({}, header);
  for (int i = 0; i < count; ++i) {
    const Bytes one = Doubles({value}, false);
    bytes.insert(bytes.end(), one.begin(), one.end());
  }
  return bytes;
}

TEST_F(StateFixture, SavedStateRestoresInAnotherInstance) {
  ASSERT_NE(mHost.Plugin(), nullptr) << mHost.Error();
  LilvHost::Instance a(&mHost, kRate, 512), b(&mHost, kRate, 512);
  ASSERT_TRUE(a.Ok() && b.Ok());
  const Session session = ComparisonSessions()[0];
  for (const SessionParam& p : session.mParams) a.SetControl(p.mName, p.mValue);
  a.Run(512);

  // Through Turtle text and back, as a host's session file holds it.
  LilvState* saved = a.SaveState();
  char* text = lilv_state_to_string(mHost.World(), mHost.Urids().MapFeature(), mHost.Urids().UnmapFeature(), saved,
                                    "urn:cyclochord:test-state", nullptr);
  LilvState* loaded = lilv_state_new_from_string(mHost.World(), mHost.Urids().MapFeature(), text);
  ASSERT_NE(loaded, nullptr) << text;
  b.RestoreState(loaded);
  lilv_free(text);
  lilv_state_free(saved);
  lilv_state_free(loaded);

  for (const SessionParam& p : session.mParams) EXPECT_EQ(b.Control(p.mName), p.mValue) << p.mName;
  EXPECT_EQ(Chunk(b), Chunk(a));
  b.Run(512);  // as far as a, which ran a cycle before it was saved
  // And the two instances play alike from here on.
  for (int cycle = 0; cycle < 40; ++cycle) {
    for (LilvHost::Instance* instance : {&a, &b}) {
      if (cycle == 0) instance->AddPosition(0, {0, 1, 120});
      if (cycle % 4 == 1) instance->AddMidi(100, {0x90, static_cast<uint8_t>(50 + cycle), 100});
      if (cycle % 4 == 3) instance->AddMidi(7, {0x80, static_cast<uint8_t>(48 + cycle), 0});
    }
    const std::vector<HostEvent> fromA = a.Run(512), fromB = b.Run(512);
    ASSERT_EQ(fromA, fromB) << "cycle " << cycle;
  }
}

TEST_F(StateFixture, TheChunkIsTheOneAVstHostStores) {
  LilvHost::Instance lv2(&mHost, kRate, 512);
  ASSERT_TRUE(lv2.Ok());
  TestHost vst;
  std::string error;
  ASSERT_TRUE(vst.LoadModule(CYCLOCHORD_VST_MODULE, &error)) << error;
  vst.Start(kRate, 512);
  EXPECT_EQ(Chunk(lv2), vst.GetChunk(false)) << "defaults";

  std::vector<float> mins(lilv_plugin_get_num_ports(mHost.Plugin())), maxs(mins.size());
  lilv_plugin_get_port_ranges_float(mHost.Plugin(), mins.data(), maxs.data(), nullptr);
  const Session session = ComparisonSessions()[0];
  for (const SessionParam& p : session.mParams) {
    ASSERT_GE(vst.ParamIndex(p.mName), 0) << p.mName;
    lv2.SetControl(p.mName, p.mValue);
    const int port = lv2.ControlIndex(p.mName);
    vst.SetParameter(vst.ParamIndex(p.mName), (p.mValue - mins[size_t(port)]) / (maxs[size_t(port)] - mins[size_t(port)]));
  }
  lv2.Run(64);
  const Bytes chunk = Chunk(lv2);
  EXPECT_EQ(chunk.size(), 8u + 8u * 42u);
  const Bytes vstChunk = vst.GetChunk(false);
  EXPECT_EQ(chunk, vstChunk);
  for (size_t i = 8; i + 8 <= chunk.size() && i + 8 <= vstChunk.size(); i += 8) {
    double a, b;
    std::memcpy(&a, &chunk[i], 8);
    std::memcpy(&b, &vstChunk[i], 8);
    EXPECT_EQ(a, b) << "parameter " << (i - 8) / 8;
  }
  EXPECT_EQ(Program(lv2), 0);
}

// Bytes as a user's wrong file or another version might hold them.
struct ChunkCase {
  const char* mName;
  Bytes mBytes;
};

std::vector<ChunkCase> ChunkCases() {
  Bytes noise(2000);
  uint32_t x = 12345;
  for (uint8_t& b : noise) b = static_cast<uint8_t>((x = x * 1103515245u + 12345u) >> 16);
  Bytes trailing = Repeat(0.5, 42, true);
  trailing.insert(trailing.end(), 100, 0xEE);
  return {
      {"empty", {}},
      {"three bytes", {0x74, 0x66, 0x66}},
      {"magic only", {0x74, 0x66, 0x66, 0x70}},
      {"header only", Doubles({}, true)},
      {"header and ten values", Repeat(3.0, 10, true)},
      {"bare values without header", Repeat(5.0, 42, false)},
      {"not a number everywhere", Repeat(std::nan(""), 42, true)},
      {"infinities", Repeat(-INFINITY, 42, true)},
      {"huge values", Repeat(1e300, 42, true)},
      {"trailing bytes", trailing},
      {"noise", noise},
  };
}

class ChunkRestoreTest : public StateFixture, public testing::WithParamInterface<ChunkCase> {};

TEST_P(ChunkRestoreTest, EndsAsEffSetChunkEnds) {
  const ChunkCase& c = GetParam();
  LilvHost::Instance lv2(&mHost, kRate, 512);
  ASSERT_TRUE(lv2.Ok());
  TestHost vst;
  std::string error;
  ASSERT_TRUE(vst.LoadModule(CYCLOCHORD_VST_MODULE, &error)) << error;
  vst.Start(kRate, 512);

  Properties properties;
  properties[Urid(kChunkKey)] = {Urid(LV2_ATOM__Chunk), c.mBytes};
  const LV2_State_Status status = Restore(lv2, properties);
  const bool vstAccepted = vst.SetChunk(c.mBytes, false);
  EXPECT_EQ(status == LV2_STATE_SUCCESS, vstAccepted);
  EXPECT_EQ(Chunk(lv2), vst.GetChunk(false));
  // Whatever it holds now, the instance keeps working.
  lv2.AddPosition(0, {0, 1, 120});
  lv2.AddMidi(10, {0x90, 60, 100});
  for (int i = 0; i < 8; ++i) lv2.Run(512);
}

INSTANTIATE_TEST_SUITE_P(Bytes, ChunkRestoreTest, testing::ValuesIn(ChunkCases()), CaseName<ChunkCase>);

struct PropertyCase {
  const char* mName;
  bool mWithChunk;
  LV2_URID (*mChunkType)(UridMap&);
  std::vector<int32_t> mProgram;  // none, or the stored program
  LV2_State_Status mStatus;
  int32_t mProgramAfter;
  bool mChunkApplied;
};

LV2_URID ChunkType(UridMap& u) { return u.Map(LV2_ATOM__Chunk); }
LV2_URID IntType(UridMap& u) { return u.Map(LV2_ATOM__Int); }

const PropertyCase kPropertyCases[] = {
    {"chunk and program", true, ChunkType, {3}, LV2_STATE_SUCCESS, 3, true},
    {"program beyond the slots is ignored", true, ChunkType, {99}, LV2_STATE_SUCCESS, 0, true},
    {"negative program is ignored", true, ChunkType, {-1}, LV2_STATE_SUCCESS, 0, true},
    {"no program keeps the current one", true, ChunkType, {}, LV2_STATE_SUCCESS, 0, true},
    {"no chunk changes no parameter", false, ChunkType, {2}, LV2_STATE_ERR_NO_PROPERTY, 2, false},
    {"a chunk of another type is refused", true, IntType, {}, LV2_STATE_ERR_BAD_TYPE, 0, false},
};

class StatePropertyTest : public StateFixture, public testing::WithParamInterface<PropertyCase> {};

TEST_P(StatePropertyTest, RestoresWhatItCan) {
  const PropertyCase& c = GetParam();
  LilvHost::Instance lv2(&mHost, kRate, 512);
  ASSERT_TRUE(lv2.Ok());
  const Bytes before = Chunk(lv2);
  const Bytes values = Repeat(1.0, 42, true);
  Properties properties;
  if (c.mWithChunk) properties[Urid(kChunkKey)] = {c.mChunkType(mHost.Urids()), values};
  if (!c.mProgram.empty()) {
    Bytes program(4);
    std::memcpy(program.data(), &c.mProgram[0], 4);
    properties[Urid(kProgramKey)] = {Urid(LV2_ATOM__Int), program};
  }
  EXPECT_EQ(Restore(lv2, properties), c.mStatus);
  EXPECT_EQ(Program(lv2), c.mProgramAfter);
  const Bytes after = Chunk(lv2);
  if (c.mChunkApplied)
    EXPECT_NE(after, before);
  else
    EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(Properties, StatePropertyTest, testing::ValuesIn(kPropertyCases), CaseName<PropertyCase>);
}  // namespace
