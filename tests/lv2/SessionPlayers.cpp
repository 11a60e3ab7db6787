#include "SessionPlayers.h"

#include <algorithm>

namespace {
// As many bytes as the message has, the way an LV2 host receives it.
HostEvent FromVst(int64_t blockFrame, const MidiEvent& e) {
  const uint8_t s = e.status;
  const size_t size = s >= 0xF0 ? (s == 0xF2 ? 3 : (s == 0xF1 || s == 0xF3) ? 2 : 1) : (s & 0xE0) == 0xC0 ? 2 : 3;
  const uint8_t bytes[3] = {e.status, e.data1, e.data2};
  return {blockFrame + e.offset, std::vector<uint8_t>(bytes, bytes + size)};
}

void SendMidi(TestHost& vst, int offset, const std::vector<uint8_t>& bytes) {
  auto byte = [&bytes](size_t i) { return i < bytes.size() ? bytes[i] : uint8_t(0); };
  vst.SendMidi(byte(0), byte(1), byte(2), offset);
}
}  // namespace

PlayResult PlayLV2(LilvHost* host, const Session& session, double sampleRate,
                   const std::function<void(LilvHost::Instance&)>& prepare) {
  PlayResult result;
  LilvHost::Instance instance(host, sampleRate, session.mMaxBlock);
  if (!instance.Ok()) {
    result.mError = "cannot instantiate " + host->Error();
    return result;
  }
  if (prepare) prepare(instance);
  size_t nextMidi = 0, nextTransport = 0, nextParam = 0;
  int64_t start = 0;
  for (int frames : session.mCycles) {
    const int64_t end = start + frames;
    for (; nextParam < session.mParams.size() && session.mParams[nextParam].mFrame <= start; ++nextParam)
      instance.SetControl(session.mParams[nextParam].mName, session.mParams[nextParam].mValue);
    // A host reports the transport before the MIDI of the same frame.
    while (true) {
      const bool transportLeft = nextTransport < session.mTransport.size() && session.mTransport[nextTransport].mFrame < end;
      const bool midiLeft = nextMidi < session.mMidi.size() && session.mMidi[nextMidi].mFrame < end;
      if (!transportLeft && !midiLeft) break;
      if (transportLeft && (!midiLeft || session.mTransport[nextTransport].mFrame <= session.mMidi[nextMidi].mFrame)) {
        const SessionTransport& t = session.mTransport[nextTransport++];
        instance.AddPosition(t.mFrame - start, t.mPosition);
      } else {
        const SessionMidi& m = session.mMidi[nextMidi++];
        instance.AddMidi(m.mFrame - start, m.mBytes);
      }
    }
    std::vector<HostEvent> out = instance.Run(static_cast<uint32_t>(frames));
    result.mEvents.insert(result.mEvents.end(), out.begin(), out.end());
    start = end;
  }
  return result;
}

PlayResult PlayVst(const std::string& modulePath, LilvHost* lv2Ranges, const Session& session, double sampleRate,
                   const std::function<void(TestHost&)>& prepare) {
  PlayResult result;
  TestHost vst;
  if (!vst.LoadModule(modulePath, &result.mError)) return result;
  vst.Start(sampleRate, session.mMaxBlock);
  vst.mTime.flags = kVstTempoValid;  // the LV2 host reports no musical position either
  if (prepare) prepare(vst);
  // Normalised values from the ranges the LV2 bundle declares, which must be the parameters' own.
  const LilvPlugin* plugin = lv2Ranges->Plugin();
  std::vector<float> mins(lilv_plugin_get_num_ports(plugin)), maxs(mins.size());
  lilv_plugin_get_port_ranges_float(plugin, mins.data(), maxs.data(), nullptr);
  LilvNode* symbolNode = nullptr;

  // Block boundaries: cycle starts, transport reports, and the plug-in's block size counted from each.
  std::vector<int64_t> stretchStarts;
  int64_t at = 0;
  for (int frames : session.mCycles) {
    stretchStarts.push_back(at);
    at += frames;
  }
  const int64_t length = at;
  for (const SessionTransport& t : session.mTransport) stretchStarts.push_back(t.mFrame);
  stretchStarts.push_back(length);
  std::sort(stretchStarts.begin(), stretchStarts.end());
  stretchStarts.erase(std::unique(stretchStarts.begin(), stretchStarts.end()), stretchStarts.end());

  HostPosition position = {0, 0, 0};
  int64_t positionFrame = 0;
  size_t nextMidi = 0, nextTransport = 0, nextParam = 0;
  for (size_t s = 0; s + 1 < stretchStarts.size(); ++s) {
    for (int64_t block = stretchStarts[s]; block < stretchStarts[s + 1]; block += session.mMaxBlock) {
      const int64_t blockEnd = std::min(block + session.mMaxBlock, stretchStarts[s + 1]);
      for (; nextParam < session.mParams.size() && session.mParams[nextParam].mFrame <= block; ++nextParam) {
        const SessionParam& p = session.mParams[nextParam];
        symbolNode = lilv_new_string(lv2Ranges->World(), p.mName.c_str());
        const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin, symbolNode);
        lilv_node_free(symbolNode);
        const int index = vst.ParamIndex(p.mName);
        if (!port || index < 0) {
          result.mError = "no parameter " + p.mName;
          return result;
        }
        const uint32_t i = lilv_port_get_index(plugin, port);
        vst.SetParameter(index, (p.mValue - mins[i]) / (maxs[i] - mins[i]));
      }
      for (; nextTransport < session.mTransport.size() && session.mTransport[nextTransport].mFrame <= block;
           ++nextTransport) {
        position = session.mTransport[nextTransport].mPosition;
        positionFrame = session.mTransport[nextTransport].mFrame;
      }
      const double songFrame = position.mFrame + static_cast<double>(block - positionFrame) * position.mSpeed;
      vst.SetTransport(songFrame, position.mTempo > 0 ? position.mTempo : 120.0, position.mSpeed != 0.0);
      for (; nextMidi < session.mMidi.size() && session.mMidi[nextMidi].mFrame < blockEnd; ++nextMidi)
        SendMidi(vst, static_cast<int>(session.mMidi[nextMidi].mFrame - block), session.mMidi[nextMidi].mBytes);
      vst.Process(static_cast<int>(blockEnd - block));
      for (const MidiEvent& e : vst.TakeMidi()) result.mEvents.push_back(FromVst(block, e));
    }
  }
  // A VST host takes what a call sends in the order sent; time order is what both formats play.
  std::stable_sort(result.mEvents.begin(), result.mEvents.end(),
                   [](const HostEvent& a, const HostEvent& b) { return a.mFrame < b.mFrame; });
  return result;
}
