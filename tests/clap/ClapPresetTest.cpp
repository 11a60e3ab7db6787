// The shipped presets through CLAP: the discovery factory finds every one installed beside the module, and
// preset-load gives the output the same program file gives through VST; a bad file changes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "ClapEntry.h"
#include "ClapTestHost.h"
#include "ClapTestHostGtest.h"
#include "IProgramFile.h"
#include "TestHost.h"

namespace fs = std::filesystem;
using clap_test::ClapEvent;
using clap_test::ClapTestHost;

namespace {

const clap_plugin_entry_t kLinkedEntry = {CLAP_VERSION, ClapEntryInit, ClapEntryDeinit, ClapEntryGetFactory};
const fs::path kShipped = fs::path(CYCLOCHORD_SOURCE_DIR) / "presets";

// What users find in their preset menus: file and name, the same in every format.
const std::map<std::string, std::string> kExpected = {
    {"rotating-triads.fxp", "Rotating triads"}, {"pentatonic-echo.fxp", "Pentatonic echo"},
    {"two-channel-split.fxp", "Two-channel split"}, {"octave-doubler.fxp", "Octave doubler"},
    {"strummed-g-major.fxp", "Strummed G major"}, {"ping-pong-echo.fxp", "Ping-pong echo"},
    {"a-minor-arpeggio.fxp", "A minor arpeggio"}};

std::vector<uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// An install as a package lays it out: lib/clap/Cyclochord.clap and share/cyclochord/presets/*.fxp.
class Install {
 public:
  Install() {
    mRoot = fs::temp_directory_path() / ("cyclochord-presets-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(mRoot);
    fs::create_directories(mRoot / "lib" / "clap");
    fs::create_directories(Presets());
    for (const auto& entry : fs::directory_iterator(kShipped)) fs::copy_file(entry.path(), Presets() / entry.path().filename());
  }
  ~Install() {
    std::error_code ignored;
    fs::remove_all(mRoot, ignored);
  }
  fs::path Presets() const { return mRoot / "share" / "cyclochord" / "presets"; }
  std::string Module() const { return (mRoot / "lib" / "clap" / "Cyclochord.clap").string(); }
  fs::path Scratch(const std::string& name) const { return mRoot / name; }

 private:
  fs::path mRoot;
};

// Sets an environment variable for a test's length; null unsets it.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string* value) : mName(name) {
    const char* old = std::getenv(name);
    mHad = old != nullptr;
    if (old) mOld = old;
    Set(value ? value->c_str() : nullptr);
  }
  ~ScopedEnv() { Set(mHad ? mOld.c_str() : nullptr); }

 private:
  void Set(const char* value) {
#ifndef _WIN32  // the Windows module reads neither
    if (value)
      setenv(mName, value, 1);
    else
      unsetenv(mName);
#else
    (void)value;
#endif
  }
  const char* mName;
  bool mHad = false;
  std::string mOld;
};

// A host's indexer and metadata receiver in one: what the provider declared and reported.
struct Indexer {
  clap_preset_discovery_indexer_t mClap = {};
  clap_preset_discovery_metadata_receiver_t mReceiver = {};
  std::vector<std::string> mExtensions, mLocations;
  std::vector<uint32_t> mLocationFlags;
  std::vector<std::string> mNames, mPluginIds, mErrors;

  Indexer() {
    mClap.clap_version = CLAP_VERSION;
    mClap.name = "test indexer";
    mClap.indexer_data = this;
    mClap.declare_filetype = [](const clap_preset_discovery_indexer_t* i, const clap_preset_discovery_filetype_t* t) {
      static_cast<Indexer*>(i->indexer_data)->mExtensions.push_back(t->file_extension ? t->file_extension : "");
      return true;
    };
    mClap.declare_location = [](const clap_preset_discovery_indexer_t* i, const clap_preset_discovery_location_t* l) {
      auto* self = static_cast<Indexer*>(i->indexer_data);
      self->mLocations.push_back(l->location ? l->location : "(null)");
      self->mLocationFlags.push_back(l->flags);
      return l->kind == CLAP_PRESET_DISCOVERY_LOCATION_FILE;
    };
    mReceiver.receiver_data = this;
    mReceiver.on_error = [](const clap_preset_discovery_metadata_receiver_t* r, int32_t, const char* msg) {
      static_cast<Indexer*>(r->receiver_data)->mErrors.push_back(msg ? msg : "(null)");
    };
    mReceiver.begin_preset = [](const clap_preset_discovery_metadata_receiver_t* r, const char* name, const char* key) {
      EXPECT_EQ(key, nullptr) << "one preset per file needs no load key";
      static_cast<Indexer*>(r->receiver_data)->mNames.push_back(name ? name : "(null)");
      return true;
    };
    mReceiver.add_plugin_id = [](const clap_preset_discovery_metadata_receiver_t* r, const clap_universal_plugin_id_t* id) {
      static_cast<Indexer*>(r->receiver_data)->mPluginIds.push_back(std::string(id->abi) + ":" + id->id);
    };
  }
};

// A provider made as a host makes one, for the module at path.
class Discovery {
 public:
  explicit Discovery(const std::string& modulePath, const char* factoryId = CLAP_PRESET_DISCOVERY_FACTORY_ID) {
    ClapEntryInit(modulePath.c_str());
    mFactory = static_cast<const clap_preset_discovery_factory_t*>(ClapEntryGetFactory(factoryId));
    if (!mFactory || mFactory->count(mFactory) != 1) return;
    mProvider = mFactory->create(mFactory, &mIndexer.mClap, mFactory->get_descriptor(mFactory, 0)->id);
    mInitialised = mProvider && mProvider->init(mProvider);
  }
  ~Discovery() {
    if (mProvider) mProvider->destroy(mProvider);
    ClapEntryDeinit();
  }
  bool Ok() const { return mInitialised; }
  bool Metadata(const std::string& file) {
    return mProvider->get_metadata(mProvider, CLAP_PRESET_DISCOVERY_LOCATION_FILE, file.c_str(), &mIndexer.mReceiver);
  }
  // Every file of the declared locations with a declared extension, as a host walks them.
  void IndexAll() {
    for (const std::string& location : mIndexer.mLocations)
      for (const auto& entry : fs::directory_iterator(location))
        for (const std::string& extension : mIndexer.mExtensions)
          if (entry.path().extension() == "." + extension) {
            EXPECT_TRUE(Metadata(entry.path().string())) << entry.path();
          }
  }
  Indexer mIndexer;
  const clap_preset_discovery_factory_t* mFactory = nullptr;
  const clap_preset_discovery_provider_t* mProvider = nullptr;

 private:
  bool mInitialised = false;
};

TEST(ClapPresetDiscovery, ListsEveryShippedPresetByNameUnderBothFactoryIds) {
  size_t shipped = 0;
  for (const auto& entry : fs::directory_iterator(kShipped)) {
    EXPECT_EQ(entry.path().extension(), ".fxp") << "presets/ holds only the shipped program files";
    EXPECT_TRUE(kExpected.count(entry.path().filename().string())) << entry.path() << " is not known to this test";
    ++shipped;
  }
  EXPECT_EQ(shipped, kExpected.size());
  Install install;
  for (const char* id : {CLAP_PRESET_DISCOVERY_FACTORY_ID, CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT}) {
    SCOPED_TRACE(id);
    Discovery discovery(install.Module(), id);
    ASSERT_TRUE(discovery.Ok());
    EXPECT_EQ(discovery.mIndexer.mExtensions, std::vector<std::string>{"fxp"});
    // The plug-in names folders with forward slashes, which Windows takes as well.
    ASSERT_EQ(discovery.mIndexer.mLocations, std::vector<std::string>{install.Presets().generic_string()});
    EXPECT_EQ(discovery.mIndexer.mLocationFlags[0], CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT);
    discovery.IndexAll();
    std::vector<std::string> names = discovery.mIndexer.mNames, expected;
    for (const auto& [file, name] : kExpected) expected.push_back(name);
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
    EXPECT_EQ(discovery.mIndexer.mPluginIds,
              std::vector<std::string>(expected.size(), std::string("clap:") + kClapPluginInfo.mId));
    EXPECT_TRUE(discovery.mIndexer.mErrors.empty());
  }
}

TEST(ClapPresetDiscovery, NoLocationWhereNoPresetsWereInstalledAndErrorsForBadFiles) {
  Install install;
  {
    const std::string home = install.Scratch("home").string();  // whatever the user installed stays out
    ScopedEnv homeEnv("HOME", &home);
    ScopedEnv dataEnv("XDG_DATA_HOME", nullptr);
    Discovery discovery(install.Scratch("elsewhere/Cyclochord.clap").string());
    ASSERT_TRUE(discovery.Ok());
    EXPECT_EQ(discovery.mIndexer.mExtensions.size(), 1u);
    EXPECT_TRUE(discovery.mIndexer.mLocations.empty());
  }
  Discovery discovery(install.Module());
  ASSERT_TRUE(discovery.Ok());
  std::vector<uint8_t> cut = ReadBytes(kShipped / "rotating-triads.fxp");
  cut.resize(cut.size() - 9);
  WriteBytes(install.Scratch("cut.fxp"), cut);
  EXPECT_FALSE(discovery.Metadata(install.Scratch("cut.fxp").string()));
  EXPECT_FALSE(discovery.Metadata(install.Scratch("missing.fxp").string()));
  EXPECT_FALSE(discovery.mProvider->get_metadata(discovery.mProvider, CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr,
                                                 &discovery.mIndexer.mReceiver));
  EXPECT_EQ(discovery.mIndexer.mErrors.size(), 3u);
  EXPECT_TRUE(discovery.mIndexer.mNames.empty());
}

// ---- every layout the packages install ----

struct LayoutCase {
  const char* name;
  const char* module;       // where the .clap file is, under a scratch root that is also HOME's parent
  const char* presets;      // where the presets were installed; null: nowhere
  const char* alsoPresets;  // presets of another install, not this module's; null: none
  const char* dataHome;     // XDG_DATA_HOME under the root; null: unset
  bool userDataFolder;      // the layout relies on the user's data folder, which Windows does not use
};

const LayoutCase kLayouts[] = {
    {"the .deb", "usr/lib/clap/Cyclochord.clap", "usr/share/cyclochord/presets", nullptr, nullptr, false},
    {"a prefix from the tarball", "opt/cyclochord-1.0.0/lib/clap/Cyclochord.clap",
     "opt/cyclochord-1.0.0/share/cyclochord/presets", nullptr, nullptr, false},
    {"install.sh --user", "home/.clap/Cyclochord.clap", "home/.local/share/cyclochord/presets", nullptr, nullptr, true},
    {"install.sh --user with XDG_DATA_HOME", "home/.clap/Cyclochord.clap", "data/cyclochord/presets",
     "home/.local/share/cyclochord/presets", "data", true},
    {"the Windows .zip copied into a CLAP folder", "Common Files/CLAP/Cyclochord.clap",
     "Common Files/CLAP/Cyclochord Presets", nullptr, nullptr, false},
    {"the .deb beside a user install", "usr/lib/clap/Cyclochord.clap", "usr/share/cyclochord/presets",
     "home/.local/share/cyclochord/presets", nullptr, false},
    {"a copied module without presets", "elsewhere/Cyclochord.clap", nullptr, nullptr, nullptr, false},
};

TEST(ClapPresetDiscovery, FindsThePresetsOfEveryInstallLayout) {
  const fs::path root = fs::temp_directory_path() /
                        ("cyclochord-layouts-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  for (const LayoutCase& c : kLayouts) {
    SCOPED_TRACE(c.name);
#ifdef _WIN32
    if (c.userDataFolder) continue;
#endif
    fs::remove_all(root);
    const std::string home = (root / "home").string();
    const std::string dataHome = c.dataHome ? (root / c.dataHome).string() : std::string();
    ScopedEnv homeEnv("HOME", &home);
    ScopedEnv dataEnv("XDG_DATA_HOME", c.dataHome ? &dataHome : nullptr);
    for (const char* folder : {c.presets, c.alsoPresets}) {
      if (!folder) continue;
      fs::create_directories(root / folder);
      for (const auto& entry : fs::directory_iterator(kShipped)) fs::copy_file(entry.path(), root / folder / entry.path().filename());
    }
    fs::create_directories((root / c.module).parent_path());
    Discovery discovery((root / c.module).string());
    ASSERT_TRUE(discovery.Ok());
    if (!c.presets) {
      EXPECT_TRUE(discovery.mIndexer.mLocations.empty());
      continue;
    }
    // Every layout is tried, also after one fails.
    EXPECT_EQ(discovery.mIndexer.mLocations, std::vector<std::string>{(root / c.presets).generic_string()});
    if (discovery.mIndexer.mLocations.size() != 1) continue;
    discovery.IndexAll();
    EXPECT_EQ(discovery.mIndexer.mNames.size(), kExpected.size());
    EXPECT_TRUE(discovery.mIndexer.mErrors.empty());
  }
  fs::remove_all(root);
}

// ---- the same session through VST with the program file and through CLAP with preset-load ----

constexpr double kRate = 48000.0;
constexpr double kTempo = 120.0;
constexpr int kBlock = 256;
constexpr int kBlocks = 800;  // a little over four seconds: past the longest delay of any preset

struct Out {
  int block, offset;
  uint8_t status, data1, data2;
  bool operator==(const Out& o) const {
    return block == o.block && offset == o.offset && status == o.status && data1 == o.data1 && data2 == o.data2;
  }
};
void PrintTo(const Out& o, std::ostream* os) {
  *os << "block " << o.block << " +" << o.offset << ": " << int(o.status) << " " << int(o.data1) << " " << int(o.data2);
}

// A melody of eighth notes with a chord in the middle, as (block, offset, status, key, velocity).
std::vector<Out> Melody() {
  std::vector<Out> in;
  const int keys[] = {60, 62, 64, 67, 65, 64, 62, 55, 57, 59, 60, 72};
  int64_t frame = 300;
  const int64_t eighth = static_cast<int64_t>(kRate * 30.0 / kTempo);
  for (int key : keys) {
    in.push_back({int(frame / kBlock), int(frame % kBlock), 0x90, uint8_t(key), 100});
    const int64_t off = frame + eighth * 3 / 4;
    in.push_back({int(off / kBlock), int(off % kBlock), 0x80, uint8_t(key), 0});
    frame += eighth;
  }
  std::stable_sort(in.begin(), in.end(), [](const Out& a, const Out& b) {
    return a.block != b.block ? a.block < b.block : a.offset < b.offset;
  });
  return in;
}

std::vector<Out> PlayVst(const std::vector<uint8_t>* chunk) {
  TestHost host;
  host.Load(CreatePluginInstance);
  host.Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
  host.Dispatch(effSetBlockSize, 0, kBlock);
  if (chunk) {
    std::vector<uint8_t> copy = *chunk;
    EXPECT_EQ(host.Dispatch(effSetChunk, 1, static_cast<VstIntPtr>(copy.size()), copy.data()), 1);
  }
  host.Dispatch(effMainsChanged, 0, 1);
  host.SetTransport(0, kTempo, true);
  const std::vector<Out> in = Melody();
  std::vector<Out> out;
  size_t next = 0;
  for (int block = 0; block < kBlocks; ++block) {
    for (; next < in.size() && in[next].block == block; ++next)
      host.SendMidi(in[next].status, in[next].data1, in[next].data2, in[next].offset);
    host.Process(kBlock);
    for (const MidiEvent& e : host.TakeMidi()) out.push_back({block, e.offset, e.status, e.data1, e.data2});
  }
  return out;
}

std::vector<Out> PlayClap(ClapTestHost& host) {
  EXPECT_TRUE(host.Activate(kRate, 1, kBlock));
  EXPECT_TRUE(host.StartProcessing());
  const std::vector<Out> in = Melody();
  std::vector<Out> out;
  size_t next = 0;
  for (int block = 0; block < kBlocks; ++block) {
    std::vector<ClapEvent> events;
    for (; next < in.size() && in[next].block == block; ++next)
      events.push_back(clap_test::MidiEvent(uint32_t(in[next].offset), in[next].status, in[next].data1, in[next].data2));
    clap_event_transport_t t = {};
    t.flags = CLAP_TRANSPORT_HAS_TEMPO | CLAP_TRANSPORT_HAS_BEATS_TIMELINE | CLAP_TRANSPORT_HAS_SECONDS_TIMELINE |
              CLAP_TRANSPORT_IS_PLAYING;
    t.tempo = kTempo;
    const double seconds = double(block) * kBlock / kRate;
    t.song_pos_seconds = static_cast<clap_sectime>(std::llround(seconds * CLAP_SECTIME_FACTOR));
    t.song_pos_beats = static_cast<clap_beattime>(std::llround(seconds * kTempo / 60.0 * CLAP_BEATTIME_FACTOR));
    for (const ClapEvent& e : host.Process(kBlock, events, &t).out)
      if (e.Is(CLAP_EVENT_MIDI)) {
        const auto& m = e.As<clap_event_midi_t>();
        out.push_back({block, int(e.Header().time), m.data[0], m.data[1], m.data[2]});
      }
  }
  return out;
}

// VST hands a block's events over in the order sent, CLAP in time order: compare in time order.
std::vector<Out> InTimeOrder(std::vector<Out> events) {
  std::stable_sort(events.begin(), events.end(), [](const Out& a, const Out& b) {
    return a.block != b.block ? a.block < b.block : a.offset < b.offset;
  });
  return events;
}

std::vector<uint8_t> State(ClapTestHost& host) {
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(host.SaveState(&bytes));
  return bytes;
}

TEST(ClapPresetLoad, EachShippedPresetPlaysAsItsProgramFileThroughVst) {
  Install install;
  const std::vector<Out> plain = PlayVst(nullptr);
  for (const auto& [file, name] : kExpected) {
    SCOPED_TRACE(file);
    IProgramFile program;
    std::string error;
    ASSERT_TRUE(ReadProgramFile((kShipped / file).string().c_str(), &program, &error)) << error;
    const std::vector<Out> vst = InTimeOrder(PlayVst(&program.mChunk));
    EXPECT_NE(vst, InTimeOrder(plain)) << "the preset changes nothing: the comparison would prove nothing";

    ClapTestHost host(&kLinkedEntry, install.Module());
    ASSERT_TRUE(host.Load());
    const std::string location = (install.Presets() / file).string();
    // Each preset under one of the two ids, so that both are used.
    ASSERT_TRUE(host.LoadPreset(CLAP_PRESET_DISCOVERY_LOCATION_FILE, location.c_str(), nullptr, file.size() % 2 == 0));
    const clap_test::HostRequests requests = host.Requests();
    EXPECT_EQ(requests.presetsLoaded, std::vector<std::string>{location});
    EXPECT_TRUE(requests.presetErrors.empty());
    EXPECT_EQ(requests.paramRescans, std::vector<uint32_t>{CLAP_PARAM_RESCAN_VALUES});
    EXPECT_EQ(State(host), program.mChunk) << "the state is the preset's chunk";
    EXPECT_EQ(PlayClap(host), vst);
    EXPECT_TRUE(clap_test::NoViolations(host));
  }
}

std::vector<uint8_t> ProgramFile(const char* magic, int32_t pluginId, const std::vector<uint8_t>& body, int32_t count) {
  std::vector<uint8_t> out;
  auto put = [&out](uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
  };
  put(0x43636e4b);  // CcnK
  put(0);
  put((uint32_t(uint8_t(magic[0])) << 24) | (uint32_t(uint8_t(magic[1])) << 16) | (uint32_t(uint8_t(magic[2])) << 8) |
      uint8_t(magic[3]));
  put(1);
  put(uint32_t(pluginId));
  put(1);
  put(uint32_t(count));
  out.resize(out.size() + 28, 0);
  if (std::string(magic) == "FPCh") put(uint32_t(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  const uint32_t size = uint32_t(out.size() - 8);
  for (int i = 0; i < 4; ++i) out[size_t(4 + i)] = uint8_t(size >> (24 - 8 * i));
  return out;
}

struct BadPreset {
  const char* name;
  std::vector<uint8_t> (*make)(const std::vector<uint8_t>& goodChunk);
  uint32_t kind = CLAP_PRESET_DISCOVERY_LOCATION_FILE;
};

constexpr int32_t kOurs = 0x6c734363;  // 'lsCc'

const BadPreset kBadPresets[] = {
    {"missing file", nullptr},
    {"empty file", [](const std::vector<uint8_t>&) { return std::vector<uint8_t>(); }},
    {"not a preset", [](const std::vector<uint8_t>&) { return std::vector<uint8_t>(300, 'x'); }},
    {"file cut inside the chunk",
     [](const std::vector<uint8_t>& c) {
       std::vector<uint8_t> file = ProgramFile("FPCh", kOurs, c, 1);
       file.resize(file.size() - 5);
       return file;
     }},
    // A whole file whose chunk stops after a dozen values, several unlike the current ones: those would be set
    // before the end shows.
    {"chunk cut short inside", [](const std::vector<uint8_t>& c) {
       return ProgramFile("FPCh", kOurs, std::vector<uint8_t>(c.begin(), c.begin() + 8 + 8 * 12 + 3), 1);
     }},
    {"chunk without its header",
     [](const std::vector<uint8_t>& c) { return ProgramFile("FPCh", kOurs, std::vector<uint8_t>(c.begin() + 8, c.end()), 1); }},
    {"another plug-in's preset", [](const std::vector<uint8_t>& c) { return ProgramFile("FPCh", 0x41424344, c, 1); }},
    {"bare parameter values",
     [](const std::vector<uint8_t>&) { return ProgramFile("FxCk", kOurs, std::vector<uint8_t>(8, 0), 2); }},
    {"a bank", [](const std::vector<uint8_t>& c) { return ProgramFile("FBCh", kOurs, c, 1); }},
    {"inside the plug-in", nullptr, CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN},
};

TEST(ClapPresetLoad, ABadPresetIsReportedAndChangesNothing) {
  Install install;
  // A good chunk unlike the current settings, so that any value a bad one sets shows.
  IProgramFile good;
  std::string error;
  ASSERT_TRUE(ReadProgramFile((kShipped / "pentatonic-echo.fxp").string().c_str(), &good, &error)) << error;
  for (const BadPreset& c : kBadPresets) {
    SCOPED_TRACE(c.name);
    ClapTestHost host(&kLinkedEntry, install.Module());
    ASSERT_TRUE(host.Load());
    const std::string rotating = (install.Presets() / "rotating-triads.fxp").string();
    ASSERT_TRUE(host.LoadPreset(CLAP_PRESET_DISCOVERY_LOCATION_FILE, rotating.c_str(), nullptr));
    const std::vector<uint8_t> before = State(host);
    const std::string path = install.Scratch(std::string(c.name) + ".fxp").string();
    if (c.make) WriteBytes(path, c.make(good.mChunk));
    const char* location = c.kind == CLAP_PRESET_DISCOVERY_LOCATION_FILE ? path.c_str() : nullptr;
    EXPECT_FALSE(host.LoadPreset(c.kind, location, nullptr));
    const clap_test::HostRequests requests = host.Requests();
    EXPECT_EQ(requests.presetsLoaded.size(), 1u) << "only the good preset is reported loaded";
    EXPECT_EQ(requests.presetErrors.size(), 1u);
    EXPECT_EQ(State(host), before);
    EXPECT_TRUE(clap_test::NoViolations(host));
  }
}

}  // namespace
