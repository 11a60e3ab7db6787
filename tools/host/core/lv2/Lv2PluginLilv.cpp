// LV2 hosting with lilv: one plug-in instance, its ports connected to buffers of their own, MIDI and the
// transport written as atoms at the start of each block, MIDI read back from its atom outputs.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>

#include <lilv/lilv.h>
#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/parameters/parameters.h>
#include <lv2/resize-port/resize-port.h>
#include <lv2/state/state.h>
#include <lv2/time/time.h>
#include <lv2/urid/urid.h>

#include "Lv2Plugin.h"
#include "Lv2PortValue.h"

namespace cchost {
namespace {

// The plug-in may map URIs from any of its threads.
class UridTable {
 public:
  UridTable() : mMap{this, MapUri}, mUnmap{this, UnmapUrid} {}
  LV2_URID Map(const char* uri) {
    std::lock_guard<std::mutex> lock(mLock);
    auto it = mIds.find(uri);
    if (it != mIds.end()) return it->second;
    mUris.emplace_back(uri);
    return mIds[uri] = static_cast<LV2_URID>(mUris.size());
  }
  const char* Unmap(LV2_URID id) {
    std::lock_guard<std::mutex> lock(mLock);
    return id >= 1 && id <= mUris.size() ? mUris[id - 1].c_str() : nullptr;
  }
  LV2_URID_Map* MapFeature() { return &mMap; }
  LV2_URID_Unmap* UnmapFeature() { return &mUnmap; }

 private:
  static LV2_URID MapUri(LV2_URID_Map_Handle h, const char* uri) { return static_cast<UridTable*>(h)->Map(uri); }
  static const char* UnmapUrid(LV2_URID_Unmap_Handle h, LV2_URID id) { return static_cast<UridTable*>(h)->Unmap(id); }
  std::mutex mLock;
  std::map<std::string, LV2_URID> mIds;
  std::vector<std::string> mUris;
  LV2_URID_Map mMap;
  LV2_URID_Unmap mUnmap;
};

// lilv nodes freed with their scope.
struct Node {
  explicit Node(LilvNode* n) : node(n) {}
  ~Node() { lilv_node_free(node); }
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;
  LilvNode* node;
};

enum class PortKind { kControlIn, kControlOut, kSamples, kAtomIn, kAtomOut };

struct Port {
  PortKind kind = PortKind::kSamples;
  Lv2PortValue value;  // control inputs: symbol, name, range, scale points and the value itself
  float scratch = 0.0f;
  std::vector<float> samples;
  std::vector<uint64_t> atoms;  // 8-byte aligned
};

// Atom buffers at least this large, or the size a port asks for.
constexpr size_t kAtomBytes = 65536;

bool IsFolder(const std::string& path);

class LilvPlugin final : public Lv2Plugin {
 public:
  ~LilvPlugin() override {
    if (mInstance) {
      if (mActive) lilv_instance_deactivate(mInstance);
      lilv_instance_free(mInstance);
    }
    lilv_world_free(mWorld);
  }

  bool Open(const std::string& uriOrBundle, double sampleRate, int maxBlock, std::string* error);

  std::string Name() const override {
    Node name(lilv_plugin_get_name(mPlugin));
    return name.node ? lilv_node_as_string(name.node) : Uri();
  }
  std::string Uri() const override { return lilv_node_as_uri(lilv_plugin_get_uri(mPlugin)); }
  bool LoadChunk(const std::vector<uint8_t>& bytes, std::string* error) override;
  bool SetControl(const std::string& name, const std::string& value, std::string* shown,
                  std::string* error) override;

  void Start(double, int, int64_t) override {
    if (!mActive) lilv_instance_activate(mInstance);
    mActive = true;
  }
  void ProcessBlock(int64_t songFrame, int frames, const VstTimeInfo& time, const std::vector<BlockEvent>& events,
                    bool advance) override;
  void Stop() override {
    if (mActive) lilv_instance_deactivate(mInstance);
    mActive = false;
  }

  ReceivedEvents& Received() override { return mReceived; }
  int EventsOutsideBlock() const override { return mOutsideBlock; }
  int EventsOutsideProcessing() const override { return 0; }  // LV2 output exists only inside run()
  int MalformedEvents() const override { return mMalformed; }

 private:
  struct StateProperty {
    uint32_t key, type, flags;
    std::vector<uint8_t> value;
  };
  static LV2_State_Status Store(LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t type,
                                uint32_t flags);
  static const void* Retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type,
                              uint32_t* flags);
  bool Instantiate(double sampleRate, int maxBlock, std::string* error);
  void WritePosition(const VstTimeInfo& time);
  void ReadOutput(const LV2_Atom_Sequence* sequence, size_t room, int64_t songFrame, int frames);

  LilvWorld* mWorld = lilv_world_new();
  const ::LilvPlugin* mPlugin = nullptr;
  LilvInstance* mInstance = nullptr;
  bool mActive = false;
  UridTable mUrids;
  int32_t mMaxBlock = 0, mMinBlock = 1;
  float mRate = 0.0f;
  LV2_Options_Option mOptions[4] = {};
  LV2_Feature mMapFeature{}, mUnmapFeature{}, mOptionsFeature{}, mBoundedFeature{};
  const LV2_Feature* mFeatures[5] = {};
  std::vector<Port> mPorts;
  LV2_Atom_Forge mForge{};
  ReceivedEvents mReceived;
  int mOutsideBlock = 0;
  int mMalformed = 0;
  std::vector<StateProperty> mState;
};

bool LilvPlugin::Open(const std::string& uriOrBundle, double sampleRate, int maxBlock, std::string* error) {
  const LilvPlugins* all = nullptr;
  if (IsFolder(uriOrBundle)) {
    // A bundle folder: its Turtle alone, so the plug-in found is the one there even if another is installed.
    std::error_code ec;
    if (!std::filesystem::is_directory(uriOrBundle, ec) ||
        !std::filesystem::is_regular_file(std::filesystem::path(uriOrBundle) / "manifest.ttl", ec)) {
      *error = uriOrBundle + ": no LV2 bundle (a folder with a manifest.ttl) and no plug-in URI";
      return false;
    }
    char* real = realpath(uriOrBundle.c_str(), nullptr);
    std::string folder = real ? real : uriOrBundle;
    std::free(real);
    if (folder.empty() || folder.back() != '/') folder += '/';
    Node bundle(lilv_new_file_uri(mWorld, nullptr, folder.c_str()));
    lilv_world_load_bundle(mWorld, bundle.node);
    all = lilv_world_get_all_plugins(mWorld);
    std::vector<const ::LilvPlugin*> found;
    LILV_FOREACH(plugins, i, all) {
      const ::LilvPlugin* p = lilv_plugins_get(all, i);
      if (lilv_node_equals(lilv_plugin_get_bundle_uri(p), bundle.node)) found.push_back(p);
    }
    if (found.size() != 1) {
      *error = uriOrBundle + ": " + (found.empty() ? "no LV2 plug-in in this folder" :
                                     "more than one LV2 plug-in in this bundle; give the plug-in's URI");
      return false;
    }
    mPlugin = found[0];
  } else {
    lilv_world_load_all(mWorld);  // LV2_PATH, or the standard folders
    all = lilv_world_get_all_plugins(mWorld);
    Node uri(lilv_new_uri(mWorld, uriOrBundle.c_str()));
    mPlugin = uri.node ? lilv_plugins_get_by_uri(all, uri.node) : nullptr;
    if (!mPlugin) {
      *error = "no LV2 plug-in with the URI " + uriOrBundle + " (searched LV2_PATH or ~/.lv2, /usr/local/lib/lv2, " +
               "/usr/lib/lv2; a bundle folder can be given instead)";
      return false;
    }
  }
  return Instantiate(sampleRate, maxBlock, error);
}

bool LilvPlugin::Instantiate(double sampleRate, int maxBlock, std::string* error) {
  mMaxBlock = maxBlock;
  mRate = static_cast<float>(sampleRate);
  const LV2_URID atomInt = mUrids.Map(LV2_ATOM__Int), atomFloat = mUrids.Map(LV2_ATOM__Float);
  mOptions[0] = {LV2_OPTIONS_INSTANCE, 0, mUrids.Map(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t), atomInt, &mMaxBlock};
  mOptions[1] = {LV2_OPTIONS_INSTANCE, 0, mUrids.Map(LV2_BUF_SIZE__minBlockLength), sizeof(int32_t), atomInt, &mMinBlock};
  mOptions[2] = {LV2_OPTIONS_INSTANCE, 0, mUrids.Map(LV2_PARAMETERS__sampleRate), sizeof(float), atomFloat, &mRate};
  mOptions[3] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
  mMapFeature = {LV2_URID__map, mUrids.MapFeature()};
  mUnmapFeature = {LV2_URID__unmap, mUrids.UnmapFeature()};
  mOptionsFeature = {LV2_OPTIONS__options, mOptions};
  mBoundedFeature = {LV2_BUF_SIZE__boundedBlockLength, nullptr};
  const LV2_Feature* offered[] = {&mMapFeature, &mUnmapFeature, &mOptionsFeature, &mBoundedFeature};
  std::copy(std::begin(offered), std::end(offered), mFeatures);

  LilvNodes* required = lilv_plugin_get_required_features(mPlugin);
  std::string missing;
  LILV_FOREACH(nodes, i, required) {
    const char* uri = lilv_node_as_uri(lilv_nodes_get(required, i));
    bool have = false;
    for (const LV2_Feature* f : offered) have = have || std::strcmp(f->URI, uri) == 0;
    if (!have) missing += std::string(missing.empty() ? "" : ", ") + uri;
  }
  lilv_nodes_free(required);
  if (!missing.empty()) {
    *error = Uri() + " needs host features cyclochord-host does not offer: " + missing;
    return false;
  }

  const uint32_t n = lilv_plugin_get_num_ports(mPlugin);
  mPorts.resize(n);
  std::vector<float> mins(n), maxs(n), defaults(n);
  lilv_plugin_get_port_ranges_float(mPlugin, mins.data(), maxs.data(), defaults.data());
  Node input(lilv_new_uri(mWorld, LV2_CORE__InputPort)), control(lilv_new_uri(mWorld, LV2_CORE__ControlPort));
  Node atom(lilv_new_uri(mWorld, LV2_ATOM__AtomPort)), audio(lilv_new_uri(mWorld, LV2_CORE__AudioPort));
  Node cv(lilv_new_uri(mWorld, LV2_CORE__CVPort)), integer(lilv_new_uri(mWorld, LV2_CORE__integer));
  Node toggled(lilv_new_uri(mWorld, LV2_CORE__toggled)), minSize(lilv_new_uri(mWorld, LV2_RESIZE_PORT__minimumSize));
  Node optional(lilv_new_uri(mWorld, LV2_CORE__connectionOptional));
  for (uint32_t i = 0; i < n; ++i) {
    const LilvPort* lp = lilv_plugin_get_port_by_index(mPlugin, i);
    Port& port = mPorts[i];
    const bool isInput = lilv_port_is_a(mPlugin, lp, input.node);
    if (lilv_port_is_a(mPlugin, lp, control.node)) {
      port.kind = isInput ? PortKind::kControlIn : PortKind::kControlOut;
      Lv2PortValue& v = port.value;
      v.symbol = lilv_node_as_string(lilv_port_get_symbol(mPlugin, lp));
      Node name(lilv_port_get_name(mPlugin, lp));
      v.name = name.node ? lilv_node_as_string(name.node) : v.symbol;
      v.min = mins[i];
      v.max = maxs[i];
      v.integer = lilv_port_has_property(mPlugin, lp, integer.node);
      v.toggled = lilv_port_has_property(mPlugin, lp, toggled.node);
      // Without a default, the lowest value; without that, zero.
      v.value = !std::isnan(defaults[i]) ? defaults[i] : !std::isnan(mins[i]) ? mins[i] : 0.0f;
      if (LilvScalePoints* points = lilv_port_get_scale_points(mPlugin, lp)) {
        LILV_FOREACH(scale_points, s, points) {
          const LilvScalePoint* point = lilv_scale_points_get(points, s);
          v.points.push_back({lilv_node_as_float(lilv_scale_point_get_value(point)),
                              lilv_node_as_string(lilv_scale_point_get_label(point))});
        }
        lilv_scale_points_free(points);
      }
    } else if (lilv_port_is_a(mPlugin, lp, atom.node)) {
      port.kind = isInput ? PortKind::kAtomIn : PortKind::kAtomOut;
      size_t bytes = kAtomBytes;
      if (LilvNodes* sizes = lilv_port_get_value(mPlugin, lp, minSize.node)) {
        LILV_FOREACH(nodes, s, sizes) bytes = std::max(bytes, size_t(std::max(0, lilv_node_as_int(lilv_nodes_get(sizes, s)))));
        lilv_nodes_free(sizes);
      }
      port.atoms.assign((bytes + 7) / 8, 0);
    } else if (lilv_port_is_a(mPlugin, lp, audio.node) || lilv_port_is_a(mPlugin, lp, cv.node)) {
      port.samples.assign(size_t(maxBlock), 0.0f);
    } else if (!lilv_port_has_property(mPlugin, lp, optional.node)) {
      *error = Uri() + ": port " + lilv_node_as_string(lilv_port_get_symbol(mPlugin, lp)) +
               " is of a kind cyclochord-host cannot connect";
      return false;
    }
  }

  mInstance = lilv_plugin_instantiate(mPlugin, sampleRate, mFeatures);
  if (!mInstance) {
    *error = Uri() + ": the plug-in could not be instantiated";
    return false;
  }
  for (uint32_t i = 0; i < n; ++i) {
    Port& port = mPorts[i];
    void* data = nullptr;
    switch (port.kind) {
      case PortKind::kControlIn: data = &port.value.value; break;
      case PortKind::kControlOut: data = &port.scratch; break;
      case PortKind::kAtomIn:
      case PortKind::kAtomOut: data = port.atoms.empty() ? nullptr : port.atoms.data(); break;
      case PortKind::kSamples: data = port.samples.empty() ? nullptr : port.samples.data(); break;
    }
    lilv_instance_connect_port(mInstance, i, data);
  }
  lv2_atom_forge_init(&mForge, mUrids.MapFeature());
  return true;
}

void LilvPlugin::WritePosition(const VstTimeInfo& time) {
  auto key = [this](const char* uri) { lv2_atom_forge_key(&mForge, mUrids.Map(uri)); };
  // Exact values: a float where it holds the value, which is what most plug-ins read, else a double.
  auto number = [this](double v) {
    if (static_cast<double>(static_cast<float>(v)) == v)
      lv2_atom_forge_float(&mForge, static_cast<float>(v));
    else
      lv2_atom_forge_double(&mForge, v);
  };
  const double beatsPerQuarter = time.timeSigDenominator > 0 ? time.timeSigDenominator / 4.0 : 1.0;
  const double beat = time.ppqPos * beatsPerQuarter;  // in the signature's beat unit
  LV2_Atom_Forge_Frame object;
  lv2_atom_forge_frame_time(&mForge, 0);
  lv2_atom_forge_object(&mForge, &object, 0, mUrids.Map(LV2_TIME__Position));
  key(LV2_TIME__frame);
  lv2_atom_forge_long(&mForge, std::llround(time.samplePos));
  key(LV2_TIME__speed);
  lv2_atom_forge_float(&mForge, (time.flags & kVstTransportPlaying) ? 1.0f : 0.0f);
  key(LV2_TIME__beatsPerMinute);
  number(time.tempo);
  key(LV2_TIME__beat);
  lv2_atom_forge_double(&mForge, beat);
  if (time.timeSigNumerator > 0 && time.timeSigDenominator > 0) {
    key(LV2_TIME__beatsPerBar);
    lv2_atom_forge_float(&mForge, static_cast<float>(time.timeSigNumerator));
    key(LV2_TIME__beatUnit);
    lv2_atom_forge_int(&mForge, time.timeSigDenominator);
    key(LV2_TIME__barBeat);
    number((time.ppqPos - time.barStartPos) * beatsPerQuarter);
  }
  lv2_atom_forge_pop(&mForge, &object);
}

void LilvPlugin::ProcessBlock(int64_t songFrame, int frames, const VstTimeInfo& time,
                              const std::vector<BlockEvent>& events, bool) {
  const LV2_URID midi = mUrids.Map(LV2_MIDI__MidiEvent), chunk = mUrids.Map(LV2_ATOM__Chunk);
  bool firstInput = true;
  for (Port& port : mPorts) {
    if (port.kind == PortKind::kAtomOut && !port.atoms.empty()) {
      // An output tells the plug-in its room as an atom:Chunk of that size.
      auto* atom = reinterpret_cast<LV2_Atom*>(port.atoms.data());
      atom->size = static_cast<uint32_t>(port.atoms.size() * sizeof(uint64_t) - sizeof(LV2_Atom));
      atom->type = chunk;
    } else if (port.kind == PortKind::kAtomIn && !port.atoms.empty()) {
      // The transport and the MIDI go to the first atom input; others get empty sequences.
      lv2_atom_forge_set_buffer(&mForge, reinterpret_cast<uint8_t*>(port.atoms.data()),
                                port.atoms.size() * sizeof(uint64_t));
      LV2_Atom_Forge_Frame sequence;
      lv2_atom_forge_sequence_head(&mForge, &sequence, 0);
      if (firstInput) {
        WritePosition(time);
        for (const BlockEvent& e : events) {
          std::vector<uint8_t> bytes;
          if (e.event->kind == MidiEventKind::kChannel) {
            bytes = {e.event->status, e.event->data1, e.event->data2};
            bytes.resize(size_t(1 + ChannelDataLength(e.event->status)));
          } else if (e.event->status == 0xF0) {
            bytes.push_back(0xF0);  // a file stores the bytes after F0
            bytes.insert(bytes.end(), e.event->bytes.begin(), e.event->bytes.end());
          } else {
            continue;  // escaped (F7) packets are no complete message
          }
          lv2_atom_forge_frame_time(&mForge, e.delta);
          lv2_atom_forge_atom(&mForge, static_cast<uint32_t>(bytes.size()), midi);
          lv2_atom_forge_write(&mForge, bytes.data(), static_cast<uint32_t>(bytes.size()));
        }
      }
      lv2_atom_forge_pop(&mForge, &sequence);
      firstInput = false;
    } else if (!port.samples.empty()) {
      std::fill(port.samples.begin(), port.samples.end(), 0.0f);
    }
  }
  lilv_instance_run(mInstance, static_cast<uint32_t>(frames));
  for (const Port& port : mPorts)
    if (port.kind == PortKind::kAtomOut && !port.atoms.empty())
      ReadOutput(reinterpret_cast<const LV2_Atom_Sequence*>(port.atoms.data()), port.atoms.size() * sizeof(uint64_t),
                 songFrame, frames);
}

void LilvPlugin::ReadOutput(const LV2_Atom_Sequence* sequence, size_t room, int64_t songFrame, int frames) {
  const LV2_URID midi = mUrids.Map(LV2_MIDI__MidiEvent);
  if (sequence->atom.type != mUrids.Map(LV2_ATOM__Sequence)) return;
  // The plug-in says how much it wrote; a size beyond the buffer is not believed.
  if (sequence->atom.size > room - sizeof(LV2_Atom)) {
    ++mMalformed;
    return;
  }
  LV2_ATOM_SEQUENCE_FOREACH(sequence, ev) {
    if (ev->body.type != midi) continue;
    const auto* bytes = reinterpret_cast<const uint8_t*>(ev + 1);
    const uint32_t size = ev->body.size;
    if (size == 0 || bytes[0] < 0x80) {
      ++mMalformed;
      continue;
    }
    int64_t delta = ev->time.frames;
    if (delta < 0 || delta > frames) {
      ++mOutsideBlock;
      delta = delta < 0 ? 0 : frames;
    }
    ReceivedEvent received;
    received.frame = songFrame + delta;
    if (bytes[0] == 0xF0) {
      mReceived.dumps.emplace_back(bytes, bytes + size);
      received.dump = static_cast<uint32_t>(mReceived.dumps.size());
    } else {
      const uint8_t status = bytes[0];
      int length = 0;
      if (status < 0xF0)
        length = (status >> 4) == 0xC || (status >> 4) == 0xD ? 1 : 2;
      else if (status == 0xF2)
        length = 2;
      else if (status == 0xF1 || status == 0xF3)
        length = 1;
      if (uint32_t(1 + length) > size) {
        ++mMalformed;
        continue;
      }
      received.bytes[0] = status;
      for (int b = 1; b <= length; ++b) received.bytes[b] = bytes[b] & 0x7F;
      received.size = static_cast<uint8_t>(1 + length);
    }
    mReceived.events.push_back(received);
  }
}

LV2_State_Status LilvPlugin::Store(LV2_State_Handle handle, uint32_t key, const void* value, size_t size,
                                   uint32_t type, uint32_t flags) {
  auto* self = static_cast<LilvPlugin*>(handle);
  const auto* bytes = static_cast<const uint8_t*>(value);
  self->mState.push_back({key, type, flags, std::vector<uint8_t>(bytes, bytes + size)});
  return LV2_STATE_SUCCESS;
}

const void* LilvPlugin::Retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type,
                                 uint32_t* flags) {
  auto* self = static_cast<LilvPlugin*>(handle);
  for (const StateProperty& p : self->mState) {
    if (p.key != key) continue;
    *size = p.value.size();
    *type = p.type;
    *flags = p.flags;
    return p.value.data();
  }
  return nullptr;
}

bool LilvPlugin::LoadChunk(const std::vector<uint8_t>& bytes, std::string* error) {
  const auto* state = static_cast<const LV2_State_Interface*>(
      lilv_instance_get_extension_data(mInstance, LV2_STATE__interface));
  if (!state || !state->save || !state->restore) {
    *error = "the plug-in keeps no state that a preset could go into";
    return false;
  }
  // The plug-in's own saved state shows which property holds its chunk; the rest goes back as it was.
  mState.clear();
  if (state->save(lilv_instance_get_handle(mInstance), Store, this, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE,
                  mFeatures) != LV2_STATE_SUCCESS) {
    *error = "the plug-in could not save its state";
    return false;
  }
  const LV2_URID chunkType = mUrids.Map(LV2_ATOM__Chunk);
  StateProperty* chunk = nullptr;
  int chunks = 0;
  for (StateProperty& p : mState)
    if (p.type == chunkType) {
      chunk = &p;
      ++chunks;
    }
  if (chunks != 1) {
    *error = "the plug-in's state holds " + std::to_string(chunks) + " opaque chunks; a program file fits only one";
    return false;
  }
  chunk->value = bytes;
  const LV2_State_Status status =
      state->restore(lilv_instance_get_handle(mInstance), Retrieve, this, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE,
                     mFeatures);
  mState.clear();
  if (status != LV2_STATE_SUCCESS) {
    *error = "the plug-in refused the preset's chunk";
    return false;
  }
  return true;
}

bool LilvPlugin::SetControl(const std::string& name, const std::string& value, std::string* shown,
                            std::string* error) {
  std::vector<Lv2PortValue*> controls;
  for (Port& port : mPorts)
    if (port.kind == PortKind::kControlIn) controls.push_back(&port.value);
  Lv2PortValue* port = FindControl(controls, name, error);
  return port && port->SetFromText(value, shown, error);
}

bool IsFolder(const std::string& path) {
  // A URI has a scheme; anything else is taken for a path.
  const size_t colon = path.find(':');
  const bool uri = colon != std::string::npos && colon > 0 && path.compare(colon, 3, "://") == 0 &&
                   path.compare(0, 7, "file://") != 0;
  return !uri;
}

}  // namespace

std::unique_ptr<Lv2Plugin> Lv2Plugin::Load(const std::string& uriOrBundle, double sampleRate, int maxBlock,
                                           std::string* error) {
  auto plugin = std::make_unique<LilvPlugin>();
  if (!plugin->Open(uriOrBundle, sampleRate, maxBlock, error)) return nullptr;
  return plugin;
}

}  // namespace cchost
