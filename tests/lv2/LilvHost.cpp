#include "LilvHost.h"

#include <cstring>
#include <iomanip>
#include <ostream>

#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/time/time.h>

void PrintTo(const HostEvent& e, std::ostream* os) {
  *os << "{frame " << e.mFrame << ":";
  for (uint8_t b : e.mBytes) *os << " " << std::hex << std::setw(2) << std::setfill('0') << int(b) << std::dec;
  *os << "}";
}

UridMap::UridMap() {
  mMap.handle = this;
  mMap.map = [](LV2_URID_Map_Handle h, const char* uri) { return static_cast<UridMap*>(h)->Map(uri); };
  mUnmap.handle = this;
  mUnmap.unmap = [](LV2_URID_Unmap_Handle h, LV2_URID u) { return static_cast<UridMap*>(h)->Unmap(u); };
}

LV2_URID UridMap::Map(const char* uri) {
  std::lock_guard<std::mutex> lock(mLock);
  auto it = mIds.find(uri);
  if (it != mIds.end()) return it->second;
  mUris.emplace_back(uri);
  const auto id = static_cast<LV2_URID>(mUris.size());
  mIds.emplace(uri, id);
  return id;
}

const char* UridMap::Unmap(LV2_URID urid) {
  std::lock_guard<std::mutex> lock(mLock);
  return urid >= 1 && urid <= mUris.size() ? mUris[urid - 1].c_str() : nullptr;
}

LilvHost::LilvHost(const std::string& bundleDir, const char* pluginUri) {
  mWorld = lilv_world_new();
  LilvNode* bundle = lilv_new_file_uri(mWorld, nullptr, bundleDir.c_str());
  lilv_world_load_bundle(mWorld, bundle);
  lilv_node_free(bundle);
  LilvNode* uri = lilv_new_uri(mWorld, pluginUri);
  mPlugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(mWorld), uri);
  lilv_node_free(uri);
  if (!mPlugin) mError = std::string("no plug-in ") + pluginUri + " in " + bundleDir;
}

LilvHost::~LilvHost() { lilv_world_free(mWorld); }

LilvHost::Instance::Instance(LilvHost* host, double sampleRate, int maxBlock, bool withMap)
    : mHost(host), mMaxBlock(maxBlock) {
  UridMap& urids = host->mUrids;
  mOptions[0] = {LV2_OPTIONS_INSTANCE, 0, urids.Map(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t),
                 urids.Map(LV2_ATOM__Int), &mMaxBlock};
  mOptions[1] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
  mMapFeature = {LV2_URID__map, urids.MapFeature()};
  mUnmapFeature = {LV2_URID__unmap, urids.UnmapFeature()};
  mOptionsFeature = {LV2_OPTIONS__options, mOptions};
  int n = 0;
  if (withMap) mFeatures[n++] = &mMapFeature;
  mFeatures[n++] = &mUnmapFeature;
  mFeatures[n++] = &mOptionsFeature;
  mFeatures[n] = nullptr;
  if (!host->mPlugin) return;
  mInstance = lilv_plugin_instantiate(host->mPlugin, sampleRate, mFeatures);
  if (!mInstance) return;

  const LilvPlugin* plugin = host->mPlugin;
  const uint32_t nPorts = lilv_plugin_get_num_ports(plugin);
  mControls.assign(nPorts, 0.0f);
  std::vector<float> defaults(nPorts, 0.0f);
  lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, defaults.data());
  LilvNode* control = lilv_new_uri(host->mWorld, LV2_CORE__ControlPort);
  LilvNode* atom = lilv_new_uri(host->mWorld, LV2_ATOM__AtomPort);
  LilvNode* input = lilv_new_uri(host->mWorld, LV2_CORE__InputPort);
  mIn.assign(8192, 0);
  mOut.assign(16384, 0);
  for (uint32_t i = 0; i < nPorts; ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
    if (lilv_port_is_a(plugin, port, control)) {
      mControls[i] = defaults[i];
      mControlIndex[lilv_node_as_string(lilv_port_get_symbol(plugin, port))] = static_cast<int>(i);
      lilv_instance_connect_port(mInstance, i, &mControls[i]);
    } else if (lilv_port_is_a(plugin, port, atom)) {
      lilv_instance_connect_port(mInstance, i, lilv_port_is_a(plugin, port, input) ? mIn.data() : mOut.data());
    }
  }
  lilv_node_free(control);
  lilv_node_free(atom);
  lilv_node_free(input);
  lv2_atom_forge_init(&mForge, urids.MapFeature());
  BeginInput();
  lilv_instance_activate(mInstance);
}

LilvHost::Instance::~Instance() {
  if (!mInstance) return;
  lilv_instance_deactivate(mInstance);
  lilv_instance_free(mInstance);
}

void LilvHost::Instance::BeginInput() {
  lv2_atom_forge_set_buffer(&mForge, reinterpret_cast<uint8_t*>(mIn.data()), mIn.size() * sizeof(uint64_t));
  lv2_atom_forge_sequence_head(&mForge, &mSequenceFrame, 0);
}

int LilvHost::Instance::ControlIndex(const std::string& symbol) const {
  auto it = mControlIndex.find(symbol);
  return it == mControlIndex.end() ? -1 : it->second;
}

void LilvHost::Instance::SetControl(const std::string& symbol, float value) {
  const int i = ControlIndex(symbol);
  if (i >= 0) mControls[static_cast<size_t>(i)] = value;
}

float LilvHost::Instance::Control(const std::string& symbol) const {
  const int i = ControlIndex(symbol);
  return i >= 0 ? mControls[static_cast<size_t>(i)] : 0.0f;
}

void LilvHost::Instance::AddPosition(int64_t time, const HostPosition& p) {
  UridMap& u = mHost->mUrids;
  LV2_Atom_Forge_Frame frame;
  lv2_atom_forge_frame_time(&mForge, time);
  lv2_atom_forge_object(&mForge, &frame, 0, u.Map(LV2_TIME__Position));
  lv2_atom_forge_key(&mForge, u.Map(LV2_TIME__frame));
  lv2_atom_forge_long(&mForge, static_cast<int64_t>(p.mFrame));
  lv2_atom_forge_key(&mForge, u.Map(LV2_TIME__speed));
  lv2_atom_forge_float(&mForge, static_cast<float>(p.mSpeed));
  lv2_atom_forge_key(&mForge, u.Map(LV2_TIME__beatsPerMinute));
  lv2_atom_forge_float(&mForge, static_cast<float>(p.mTempo));
  lv2_atom_forge_pop(&mForge, &frame);
}

void LilvHost::Instance::AddMidi(int64_t time, const std::vector<uint8_t>& bytes) {
  lv2_atom_forge_frame_time(&mForge, time);
  lv2_atom_forge_atom(&mForge, static_cast<uint32_t>(bytes.size()), mHost->mUrids.Map(LV2_MIDI__MidiEvent));
  lv2_atom_forge_write(&mForge, bytes.data(), static_cast<uint32_t>(bytes.size()));
}

std::vector<HostEvent> LilvHost::Instance::Run(uint32_t frames) {
  lv2_atom_forge_pop(&mForge, &mSequenceFrame);
  auto* out = reinterpret_cast<LV2_Atom_Sequence*>(mOut.data());
  out->atom.size = static_cast<uint32_t>(mOut.size() * sizeof(uint64_t) - sizeof(LV2_Atom));
  out->atom.type = 0;
  lilv_instance_run(mInstance, frames);
  std::vector<HostEvent> events;
  const LV2_URID midi = mHost->mUrids.Map(LV2_MIDI__MidiEvent);
  LV2_ATOM_SEQUENCE_FOREACH(out, ev) {
    if (ev->body.type != midi) continue;
    const auto* bytes = reinterpret_cast<const uint8_t*>(ev + 1);
    events.push_back({mFrames + ev->time.frames, std::vector<uint8_t>(bytes, bytes + ev->body.size)});
  }
  mFrames += frames;
  BeginInput();
  return events;
}

const void* LilvHost::Instance::GetPortValue(const char* symbol, void* user, uint32_t* size, uint32_t* type) {
  auto* self = static_cast<Instance*>(user);
  const int i = self->ControlIndex(symbol);
  if (i < 0) return nullptr;
  *size = sizeof(float);
  *type = self->mHost->mUrids.Map(LV2_ATOM__Float);
  return &self->mControls[static_cast<size_t>(i)];
}

void LilvHost::Instance::SetPortValue(const char* symbol, void* user, const void* value, uint32_t size,
                                      uint32_t type) {
  auto* self = static_cast<Instance*>(user);
  if (size != sizeof(float) || type != self->mHost->mUrids.Map(LV2_ATOM__Float)) return;
  float v;
  std::memcpy(&v, value, sizeof(v));
  self->SetControl(symbol, v);
}

LilvState* LilvHost::Instance::SaveState() {
  return lilv_state_new_from_instance(mHost->mPlugin, mInstance, mHost->mUrids.MapFeature(), nullptr, nullptr,
                                      nullptr, nullptr, GetPortValue, this, 0, nullptr);
}

void LilvHost::Instance::RestoreState(const LilvState* state) {
  lilv_state_restore(state, mInstance, SetPortValue, this, 0, mFeatures);
}
