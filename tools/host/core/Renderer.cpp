// The render loop: transport, sample-accurate event delivery, tail and stop.
#include "Renderer.h"

#include <algorithm>
#include <cmath>

#include "BlockPlan.h"
#include "Transport.h"
#include "VstRenderTarget.h"

namespace cchost {
namespace {
// A corrupt or hostile file can place an event days away; rendering that would look like a hang.
constexpr double kMaxSongSeconds = 6.0 * 3600.0;

}  // namespace

bool Render(Plugin& plugin, Host& host, const MidiFile& input, const TempoMap& map, const RenderSettings& settings,
            RenderResult* result, std::string* error, RenderSink* sink, const RenderProgress& progress) {
  VstRenderTarget target(plugin, host);
  return Render(target, input, map, settings, result, error, sink, progress);
}

bool Render(RenderTarget& target, const MidiFile& input, const TempoMap& map, const RenderSettings& settings,
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

  target.Start(rate, block, -preroll);  // what the plug-in sends before the first block belongs to the start

  ReceivedEvents& received = target.Received();
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
  VstTimeInfo time;
  std::vector<BlockEvent> events;
  while (pos < end) {
    const int n = plan.Length(pos, end);
    transport.Fill(pos, plan.TempoTick(pos), plan.SignatureTick(pos), true, first, &time);
    first = false;
    events.clear();
    while (nextInput < inputs.size() && inputs[nextInput].frame < pos + n) {
      events.push_back({static_cast<int>(inputs[nextInput].frame - pos), inputs[nextInput].event});
      ++nextInput;
    }
    target.ProcessBlock(pos, n, time, events, true);
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
  transport.Fill(pos, block, false, true, &time);
  events.clear();
  target.ProcessBlock(pos, block, time, events, false);
  ++out.blocks;
  target.Stop();
  collect();

  out.stopFrame = pos;
  if (!sink) out.output = std::move(received);
  received = ReceivedEvents();
  out.eventsOutsideBlock = target.EventsOutsideBlock();
  out.eventsOutsideProcessing = target.EventsOutsideProcessing();
  out.malformedEvents = target.MalformedEvents();
  *result = std::move(out);
  return true;
}

}  // namespace cchost
