// The audio pass through an instrument.
#include "SynthRenderer.h"

#include <algorithm>
#include <cmath>

#include "Transport.h"
#include "VstEventBatch.h"

namespace cchost {

bool RenderSynth(Plugin& synth, Host& host, const ReceivedEvents& received, const TempoMap& map,
                 double sampleRate, int blockSize, int64_t endFrame, double releaseLimitSeconds, SynthAudio* out,
                 std::string* error, const std::function<void(double done)>& progress) {
  const AEffect* effect = synth.Effect();
  if (effect->numOutputs < 1) {
    *error = synth.Path() + ": the instrument has no audio outputs";
    return false;
  }
  constexpr double kMaxAudioSeconds = 3600.0;  // the audio is kept in memory
  if (double(endFrame) / sampleRate + releaseLimitSeconds > kMaxAudioSeconds) {
    *error = "audio through an instrument is limited to one hour";
    return false;
  }
  const int outputs = effect->numOutputs;
  const int inputs = effect->numInputs;
  const size_t block = size_t(blockSize);
  std::vector<float> inData(size_t(inputs) * block, 0.0f), outData(size_t(outputs) * block, 0.0f);
  std::vector<float*> in(static_cast<size_t>(inputs)), outPtr(static_cast<size_t>(outputs));
  for (int c = 0; c < inputs; ++c) in[size_t(c)] = inData.data() + size_t(c) * block;
  for (int c = 0; c < outputs; ++c) outPtr[size_t(c)] = outData.data() + size_t(c) * block;

  const Transport transport(map, sampleRate, 0);
  host.SetBlockSize(blockSize);
  synth.Resume(sampleRate, blockSize);
  SynthAudio audio;
  audio.channels = outputs;
  const int64_t silenceNeeded = static_cast<int64_t>(0.3 * sampleRate);
  const int64_t hardEnd = endFrame + static_cast<int64_t>(releaseLimitSeconds * sampleRate);
  const std::vector<ReceivedEvent>& events = received.events;
  const int64_t lastEvent = events.empty() ? 0 : std::max<int64_t>(0, events.back().frame);
  double reported = -1.0;
  int64_t silentFor = 0;
  int64_t pos = 0;
  size_t next = 0;
  VstEventBatch batch;
  while (pos < hardEnd) {
    if (pos >= std::max(endFrame, lastEvent + 1) && silentFor >= silenceNeeded) break;
    const int n = static_cast<int>(std::min<int64_t>(blockSize, hardEnd - pos));
    transport.Fill(pos, n, true, pos == 0, &host.TimeInfo());
    batch.Clear();
    for (; next < events.size() && events[next].frame < pos + n; ++next) {
      const ReceivedEvent& e = events[next];
      const int delta = static_cast<int>(std::max<int64_t>(0, e.frame - pos));
      const uint8_t* bytes = received.Data(e);
      if (e.IsSysEx())
        batch.AddSysEx(delta, std::vector<uint8_t>(bytes, bytes + received.Size(e)));
      else
        batch.AddMidi(delta, bytes, e.size);
    }
    host.BeginBlock(pos, n);
    if (batch.Count() > 0) synth.Dispatch(effProcessEvents, 0, 0, batch.Events());
    std::fill(inData.begin(), inData.end(), 0.0f);
    synth.Process(in.empty() ? nullptr : in.data(), outPtr.data(), n);
    host.EndBlock();
    float peak = 0.0f;
    for (int f = 0; f < n; ++f)
      for (int c = 0; c < outputs; ++c) {
        const float v = outPtr[size_t(c)][f];
        audio.samples.push_back(v);
        peak = std::max(peak, std::isfinite(v) ? std::fabs(v) : 1.0f);
      }
    silentFor = peak < 1e-4f ? silentFor + n : 0;
    pos += n;
    if (progress && endFrame > 0) {
      const double done = std::min(1.0, double(pos) / double(endFrame));
      if (done - reported >= 0.01) progress(reported = done);
    }
  }
  synth.Suspend();
  audio.frames = pos;
  *out = std::move(audio);
  return true;
}

}  // namespace cchost
