// The render loop: transport, sample-accurate event delivery, tail and stop.
#include "Renderer.h"

#include <algorithm>
#include <cmath>

#include "BlockPlan.h"
#include "Transport.h"
#include "VstEventBatch.h"

namespace cchost {
namespace {
// A corrupt or hostile file can place an event days away; rendering that would look like a hang.
constexpr double kMaxSongSeconds = 6.0 * 3600.0;

void AddToBatch(const MidiEvent& e, int delta, VstEventBatch* batch) {
  if (e.kind == MidiEventKind::kChannel) {
    const uint8_t bytes[3] = {e.status, e.data1, e.data2};
    batch->AddMidi(delta, bytes, size_t(1 + ChannelDataLength(e.status)));
  } else {
    std::vector<uint8_t> dump;
    if (e.status == 0xF0) dump.push_back(0xF0);  // a file stores the bytes after F0
    dump.insert(dump.end(), e.bytes.begin(), e.bytes.end());
    if (!dump.empty()) batch->AddSysEx(delta, std::move(dump));
  }
}

class AudioBuffers {
 public:
  AudioBuffers(int inputs, int outputs, int frames)
      : mData(size_t(inputs + outputs) * size_t(frames), 0.0f), mIn(size_t(inputs)), mOut(size_t(outputs)) {
    for (int c = 0; c < inputs; ++c) mIn[size_t(c)] = mData.data() + size_t(c) * size_t(frames);
    for (int c = 0; c < outputs; ++c) mOut[size_t(c)] = mData.data() + size_t(inputs + c) * size_t(frames);
    mInputFrames = size_t(inputs) * size_t(frames);
  }
  float** In() { return mIn.empty() ? nullptr : mIn.data(); }
  float** Out() { return mOut.empty() ? nullptr : mOut.data(); }
  void SilenceInputs() { std::fill(mData.begin(), mData.begin() + long(mInputFrames), 0.0f); }

 private:
  std::vector<float> mData;
  std::vector<float*> mIn, mOut;
  size_t mInputFrames = 0;
};

}  // namespace

bool Render(Plugin& plugin, Host& host, const MidiFile& input, const TempoMap& map, const RenderSettings& settings,
            RenderResult* result, std::string* error, RenderSink* sink, const RenderProgress& progress) {
  if (!(settings.sampleRate >= 1000.0 && settings.sampleRate <= 1e6) || settings.blockSize < 1 ||
      settings.blockSize > (1 << 20) || !(settings.tailBeats >= 0.0) || !(settings.prerollBeats >= 0.0)) {
    *error = "render settings out of range";
    return false;
  }
  const double rate = settings.sampleRate;
  const int block = settings.blockSize;
  const int64_t preroll = std::llround((map.SecondsAtBeats(0.0) - map.SecondsAtBeats(-settings.prerollBeats)) * rate);
  const Transport transport(map, rate, preroll);
  const BlockPlan plan(map, transport, -preroll, block);

  // Pointers into the file rather than a merged copy: long files stay small.
  std::vector<TimedInput> inputs;
  for (const MidiTrack& track : input.tracks)
    for (const MidiEvent& e : track.events)
      if (e.kind != MidiEventKind::kMeta) inputs.push_back({0, &e});
  // Tracks were appended in order, so equal ticks keep track order, then file order.
  std::stable_sort(inputs.begin(), inputs.end(),
                   [](const TimedInput& a, const TimedInput& b) { return a.event->tick < b.event->tick; });
  for (TimedInput& in : inputs) in.frame = transport.FrameAtTick(in.event->tick);

  // The tail runs from the last event in or out; a plug-in that never stops sending is cut off.
  const int64_t lastInput = inputs.empty() ? 0 : inputs.back().frame;
  if (double(lastInput) / rate > kMaxSongSeconds) {
    *error = "the MIDI file's last event is " + std::to_string(int64_t(double(lastInput) / rate / 3600.0)) +
             " hours in; files longer than " + std::to_string(int(kMaxSongSeconds / 3600.0)) + " hours are refused";
    return false;
  }
  const double lastInputBeats = transport.BeatsAtFrame(lastInput);
  const int64_t limit = transport.FrameAtBeats(lastInputBeats + std::max(64.0, 8.0 * settings.tailBeats));
  auto tailEnd = [&](int64_t frame) {
    return transport.FrameAtBeats(transport.BeatsAtFrame(frame) + settings.tailBeats);
  };
  // Every input event must fall inside a block, the last one included, even without a tail.
  int64_t end = std::max(lastInput + 1, std::min(limit, tailEnd(lastInput)));

  AEffect* effect = plugin.Effect();
  AudioBuffers buffers(effect->numInputs, effect->numOutputs, block);
  VstEventBatch batch;
  host.SetBlockSize(block);
  host.Received().Clear();
  host.BeginBlock(-preroll, 0);  // what the plug-in sends before the first block belongs to the start
  host.EndBlock();
  plugin.Resume(rate, block);

  ReceivedEvents& received = host.Received();
  RenderResult out;
  out.prerollFrames = preroll;
  // A block's events lie at or after its start, and so after everything earlier blocks sent: putting each
  // block's own events in order keeps the whole list in order.
  size_t seen = 0;
  auto collect = [&]() {
    std::stable_sort(received.events.begin() + long(seen), received.events.end(),
                     [](const ReceivedEvent& a, const ReceivedEvent& b) { return a.frame < b.frame; });
    if (sink) {
      sink->Take(received, seen);
      received.Clear();
    }
    seen = received.events.size();
  };
  collect();  // anything sent while the plug-in was resumed

  int64_t pos = -preroll;
  size_t nextInput = 0;
  bool first = true;
  const int64_t songFrames = std::max<int64_t>(1, lastInput + preroll);
  double reported = -1.0;
  while (pos < end) {
    const int n = plan.Length(pos, end);
    transport.Fill(pos, plan.TempoTick(pos), plan.SignatureTick(pos), true, first, &host.TimeInfo());
    first = false;
    batch.Clear();
    while (nextInput < inputs.size() && inputs[nextInput].frame < pos + n) {
      AddToBatch(*inputs[nextInput].event, static_cast<int>(inputs[nextInput].frame - pos), &batch);
      ++nextInput;
    }
    host.BeginBlock(pos, n);
    if (batch.Count() > 0) plugin.Dispatch(effProcessEvents, 0, 0, batch.Events());
    buffers.SilenceInputs();
    plugin.Process(buffers.In(), buffers.Out(), n);
    host.EndBlock();
    ++out.blocks;
    for (size_t i = seen; i < received.events.size(); ++i) {
      const int64_t wanted = tailEnd(received.events[i].frame);
      if (wanted > limit) out.stoppedAtLimit = true;
      end = std::max(end, std::min(limit, wanted));
    }
    collect();
    pos += n;
    if (progress) {
      const double done = std::min(1.0, double(pos + preroll) / double(songFrames));
      if (done - reported >= 0.01) progress(reported = done);
    }
  }
  // Stopping the transport lets the plug-in release whatever still sounds.
  transport.Fill(pos, block, false, true, &host.TimeInfo());
  host.BeginBlock(pos, block);
  buffers.SilenceInputs();
  plugin.Process(buffers.In(), buffers.Out(), block);
  host.EndBlock(false);
  ++out.blocks;
  plugin.Suspend();
  collect();

  out.stopFrame = pos;
  if (!sink) out.output = std::move(received);
  received = ReceivedEvents();
  out.eventsOutsideBlock = host.EventsOutsideBlock();
  out.eventsOutsideProcessing = host.EventsOutsideProcessing();
  out.malformedEvents = host.MalformedEvents();
  *result = std::move(out);
  return true;
}

}  // namespace cchost
