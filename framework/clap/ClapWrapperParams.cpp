// Parameters as CLAP hosts see them: ids are the VST indices, values plain; and the state, the same chunk a VST
// host stores.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "ClapWrapper.h"
#include "Text.h"

namespace {
// No preset of ours comes near this; a stream that goes on is not one of ours.
constexpr uint64_t kLargestState = 1u << 20;
}  // namespace

// Reserved slots and internal parameters are not exposed.
const IParameter* ClapWrapper::ParamFor(clap_id id) const {
  if (id >= static_cast<clap_id>(mPlug->NHostParams())) return nullptr;
  const IParameter* param = mPlug->GetParam(static_cast<int>(id));
  return param && param->Type() != kParamNone ? param : nullptr;
}

bool ClapWrapper::ParamInfo(uint32_t index, clap_param_info_t* info) const {
  if (!info) return false;
  uint32_t seen = 0;
  for (int i = 0; i < mPlug->NHostParams(); ++i) {
    const IParameter* param = ParamFor(static_cast<clap_id>(i));
    if (!param || seen++ != index) continue;
    *info = {};
    info->id = static_cast<clap_id>(i);
    info->flags = CLAP_PARAM_IS_AUTOMATABLE;
    if (param->Type() != kParamDouble) info->flags |= CLAP_PARAM_IS_STEPPED;
    if (param->Type() == kParamEnum || param->Type() == kParamBool) info->flags |= CLAP_PARAM_IS_ENUM;
    if (param->Hidden()) info->flags |= CLAP_PARAM_IS_HIDDEN;
    CopyText(info->name, sizeof(info->name), param->LongName());
    CopyText(info->module, sizeof(info->module), param->Group());
    info->min_value = param->Min();
    info->max_value = param->Max();
    info->default_value = param->Default();
    return true;
  }
  return false;
}

bool ClapWrapper::ParamValueText(clap_id id, double value, char* out, uint32_t capacity) const {
  const IParameter* param = ParamFor(id);
  if (!param || !out || capacity == 0 || !std::isfinite(value)) return false;
  char text[kParamTextSize];
  param->FormatDisplay(value, false, text);
  CopyText(out, capacity, text);
  return true;
}

bool ClapWrapper::ParamTextValue(clap_id id, const char* text, double* value) const {
  const IParameter* param = ParamFor(id);
  if (!param || !text || !value) return false;
  int entry = 0;
  if (param->ValueForDisplayText(text, &entry)) {
    *value = entry;
    return true;
  }
  char* end = nullptr;
  const double number = std::strtod(text, &end);
  if (end == text || !std::isfinite(number)) return false;
  while (*end == ' ') ++end;
  if (*end != '\0' && std::strcmp(end, param->Label()) != 0) return false;
  *value = std::fmin(std::fmax(number, param->Min()), param->Max());
  return true;
}

void ClapWrapper::SetParamFromEvent(const clap_event_header_t* event) {
  if (event->size < sizeof(clap_event_param_value_t)) return;
  const auto* change = reinterpret_cast<const clap_event_param_value_t*>(event);
  const IParameter* param = ParamFor(change->param_id);
  // A value that is not a number says nothing; one out of range is held at the nearer end.
  if (!param || !std::isfinite(change->value)) return;
  const double normalized = std::fmin(std::fmax(param->NormalizeValue(change->value), 0.0), 1.0);
  mPlug->SetParameterFromHost(static_cast<int>(change->param_id), normalized);
}

void ClapWrapper::Flush(const clap_input_events_t* in, const clap_output_events_t* out) {
  // Active: on the audio thread between process calls. Inactive: on the main thread; applied at activation.
  ScopedLock audio(mPlug->AudioLock());
  const uint32_t count = in && in->size && in->get ? in->size(in) : 0;
  for (uint32_t i = 0; i < count; ++i) {
    const clap_event_header_t* event = in->get(in, i);
    if (event && event->space_id == CLAP_CORE_EVENT_SPACE_ID && event->type == CLAP_EVENT_PARAM_VALUE)
      SetParamFromEvent(event);
  }
  if (mActive) mPlug->ApplyParameterChanges();
  mEdits.Flush(out);
}

void ClapWrapper::QueueEdit(ClapEditQueue::Kind kind, int paramIdx, double plainValue) {
  if (!ParamFor(static_cast<clap_id>(paramIdx))) return;
  mEdits.Push({kind, static_cast<uint32_t>(paramIdx), plainValue});
  if (mHostParams && mHostParams->request_flush) mHostParams->request_flush(mHost);
}

void ClapWrapper::BeginHostEdit(int paramIdx) { QueueEdit(ClapEditQueue::kBegin, paramIdx, 0.0); }

void ClapWrapper::NotifyHostOfChange(int paramIdx, double) {
  const IParameter* param = ParamFor(static_cast<clap_id>(paramIdx));
  if (param) QueueEdit(ClapEditQueue::kValue, paramIdx, param->Value());
}

void ClapWrapper::EndHostEdit(int paramIdx) { QueueEdit(ClapEditQueue::kEnd, paramIdx, 0.0); }

// ---- State [main thread, under the plug-in's lock] ----

bool ClapWrapper::SaveState(const clap_ostream_t* stream) {
  if (!stream || !stream->write) return false;
  ScopedLock lock(mPlug->Lock());
  // The chunk of a VST program request: the bytes a preset file holds, so presets move between formats.
  IStateChunk chunk;
  mPlug->BeginStateChunk(&chunk);
  if (!mPlug->SerializeState(&chunk) || chunk.Size() == 0) return false;
  const auto* bytes = static_cast<const uint8_t*>(chunk.Data());
  uint64_t done = 0;
  const uint64_t size = static_cast<uint64_t>(chunk.Size());
  while (done < size) {
    const int64_t written = stream->write(stream, bytes + done, size - done);
    if (written <= 0 || static_cast<uint64_t>(written) > size - done) return false;
    done += static_cast<uint64_t>(written);
  }
  return true;
}

bool ClapWrapper::LoadState(const clap_istream_t* stream) {
  if (!stream || !stream->read) return false;
  std::vector<uint8_t> bytes;
  uint8_t buffer[1024];
  for (;;) {
    const int64_t got = stream->read(stream, buffer, sizeof(buffer));
    if (got < 0 || got > static_cast<int64_t>(sizeof(buffer))) return false;
    if (got == 0) break;
    if (bytes.size() + static_cast<uint64_t>(got) > kLargestState) return false;
    bytes.insert(bytes.end(), buffer, buffer + got);
  }
  ScopedLock lock(mPlug->Lock());
  // Any bytes at all are read as effSetChunk reads them: what they hold is set, clamped into range, and a
  // short chunk is a failure after that.
  IStateChunk chunk;
  chunk.Resize(static_cast<int>(bytes.size()));
  if (!bytes.empty()) std::memcpy(chunk.Data(), bytes.data(), bytes.size());
  int position = 0;
  mPlug->ReadChunkVersion(&chunk, &position);
  const int end = mPlug->UnserializeState(&chunk, position);
  mPlug->StoreCurrentPreset(nullptr);
  mPlug->PushParamsToEditor();
  if (mHostParams && mHostParams->rescan) mHostParams->rescan(mHost, CLAP_PARAM_RESCAN_VALUES);
  return end >= 0;
}

// ---- The tables ----

namespace {
ClapWrapper& W(const clap_plugin_t* plugin) { return *ClapWrapper::From(plugin); }
}  // namespace

struct ClapParamCalls {
  static uint32_t CLAP_ABI Count(const clap_plugin_t* p) {
    uint32_t count = 0;
    clap_param_info_t info;
    while (W(p).ParamInfo(count, &info)) ++count;
    return count;
  }
  static bool CLAP_ABI Info(const clap_plugin_t* p, uint32_t index, clap_param_info_t* info) {
    return W(p).ParamInfo(index, info);
  }
  static bool CLAP_ABI Value(const clap_plugin_t* p, clap_id id, double* value) {
    const IParameter* param = W(p).ParamFor(id);
    if (!param || !value) return false;
    *value = param->Value();
    return true;
  }
  static bool CLAP_ABI ToText(const clap_plugin_t* p, clap_id id, double value, char* out, uint32_t capacity) {
    return W(p).ParamValueText(id, value, out, capacity);
  }
  static bool CLAP_ABI FromText(const clap_plugin_t* p, clap_id id, const char* text, double* value) {
    return W(p).ParamTextValue(id, text, value);
  }
  static void CLAP_ABI Flush(const clap_plugin_t* p, const clap_input_events_t* in, const clap_output_events_t* out) {
    W(p).Flush(in, out);
  }
  static bool CLAP_ABI Save(const clap_plugin_t* p, const clap_ostream_t* stream) { return W(p).SaveState(stream); }
  static bool CLAP_ABI Load(const clap_plugin_t* p, const clap_istream_t* stream) { return W(p).LoadState(stream); }
};

const clap_plugin_params_t ClapWrapper::kParams = {ClapParamCalls::Count, ClapParamCalls::Info, ClapParamCalls::Value,
                                                   ClapParamCalls::ToText, ClapParamCalls::FromText,
                                                   ClapParamCalls::Flush};
const clap_plugin_state_t ClapWrapper::kState = {ClapParamCalls::Save, ClapParamCalls::Load};
