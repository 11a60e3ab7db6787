// cyclochord-host render: MIDI file in, plug-in output out, with summary, picture and audio.
#include <algorithm>
#include <cmath>
#include <iostream>
#include <iomanip>
#include <sstream>

#include "ClapRenderTarget.h"
#include "CommandSupport.h"
#include "Commands.h"
#include "FileIo.h"
#include "MidiFileReader.h"
#include "MidiFileWriter.h"
#include "NoteCheck.h"
#include "OutputMidi.h"
#include "PianoRoll.h"
#include "PluginState.h"
#include "ProgressLine.h"
#include "RenderOptions.h"
#include "SynthRenderer.h"
#include "VstRenderTarget.h"

namespace cchost {
namespace {

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Fixed(double v, int decimals) {
  std::ostringstream s;
  s << std::fixed << std::setprecision(decimals) << v;
  return s.str();
}

void PrintCounts(const EventCounts& in, const EventCounts& out, std::ostream& os) {
  os << "events        in     out\n";
  for (size_t c = 0; c < 16; ++c)
    if (in.perChannel[c] || out.perChannel[c])
      os << "  channel " << std::setw(2) << c + 1 << std::setw(6) << in.perChannel[c] << std::setw(8)
         << out.perChannel[c] << "\n";
  if (in.sysex || out.sysex) os << "  sysex     " << std::setw(6) << in.sysex << std::setw(8) << out.sysex << "\n";
  os << "notes       " << std::setw(6) << in.notes << std::setw(8) << out.notes << "\n";
}

}  // namespace

int RunRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  RenderOptions o;
  std::string error;
  if (!ParseRenderOptions(args, &o, &error)) {
    err << "cyclochord-host render: " << error << "\n";
    return kExitUsage;
  }
  auto fail = [&err](const std::string& message) {
    err << "cyclochord-host: " << message << "\n";
    return kExitError;
  };
  for (const std::string* path : {&o.outputMidi, &o.saveFxp, &o.wav, &o.plot})
    if (!path->empty() && !CheckWritable(*path, &error)) return fail(error);

  MidiFile input;
  if (!LoadMidiFile(o.inputMidi, &input, &error)) return fail(error);
  std::ostringstream report;  // printed only when everything worked
  Host host(o.render.sampleRate, o.render.blockSize);
  std::unique_ptr<Plugin> plugin;
  std::unique_ptr<Lv2Plugin> lv2;
  std::unique_ptr<ClapInstance> clap;
  std::unique_ptr<ClapRenderTarget> clapTarget;
  std::unique_ptr<RenderTarget> vst;
  RenderTarget* target = nullptr;
  OutputFiles files;
  std::string pluginName, pluginSource;
  if (!o.lv2.empty()) {
    lv2 = Lv2Plugin::Load(o.lv2, o.render.sampleRate, o.render.blockSize, &error);
    if (!lv2) return fail(error);
    if (!ApplySetup(*lv2, o.setup, report, &error)) return fail(error);
    pluginName = lv2->Name();
    pluginSource = lv2->Uri();
    target = lv2.get();
  } else if (IsClapPath(o.plugin)) {
    if (o.setup.program >= 0 || !o.saveFxp.empty()) {
      // CLAP has no program list, and its state carries no VST plug-in ID for a program file.
      return fail(std::string(o.setup.program >= 0 ? "--program" : "--save-fxp") + " works with VST plug-ins only");
    }
    clap = ClapInstance::Load(o.plugin, &error);
    if (!clap) return fail(error);
    if (!ApplySetup(*clap, o.setup, report, &error)) return fail(error);
    pluginName = clap->Name();
    pluginSource = o.plugin;
    clapTarget = std::make_unique<ClapRenderTarget>(*clap);
    target = clapTarget.get();
  } else {
    plugin = Plugin::Load(o.plugin, &host, &error);
    if (!plugin) return fail(error);
    if (!ApplySetup(*plugin, o.setup, report, &error)) return fail(error);
    if (!o.saveFxp.empty()) files.Add(o.saveFxp, WriteProgramFile(CaptureProgram(*plugin)));
    pluginName = plugin->Name();
    pluginSource = o.plugin;
    vst = std::make_unique<VstRenderTarget>(*plugin, host);
    target = vst.get();
  }

  const TempoMap map(input, o.tempo);
  // Only the real standard error of a person's terminal gets the progress line, and only with audio.
  ProgressLine progress(err, !o.synth.empty() && &err == &std::cerr && ProgressLine::WantedOnStandardError());
  RenderResult result;
  // The output track is written while the render runs; the events are kept only for the instrument.
  OutputTrack track(map, o.render.sampleRate, pluginName, !o.plot.empty());
  if (!Render(*target, input, map, o.render, &result, &error, o.synth.empty() ? &track : nullptr,
              [&progress](double done) { progress.Update("MIDI", done); }))
    return fail(error);
  if (clapTarget && !clapTarget->StartError().empty()) return fail(clapTarget->StartError());
  if (!o.synth.empty()) track.Take(result.output, 0);
  files.Add(o.outputMidi, track.FileBytes(result.stopFrame));

  EventCounts inputCounts;
  for (const MidiTrack& t : input.tracks)
    for (const MidiEvent& e : t.events) CountEvent(e, &inputCounts);
  const NoteReport outputNotes = track.Notes();
  if (!o.plot.empty()) {
    PianoRollInput roll;
    roll.title = BaseName(o.inputMidi) + " through " + pluginName +
                 (o.setup.loadFxp.empty() ? "" : " (" + BaseName(o.setup.loadFxp) + ")");
    roll.inputNotes = PairNotes(input.Merged()).spans;
    roll.outputNotes = outputNotes.spans;
    roll.endTick = std::max({FrameToTick(map, o.render.sampleRate, result.stopFrame), track.LastTick(),
                             input.LastTick()});
    std::vector<uint8_t> png;
    if (!EncodePng(DrawPianoRoll(roll, map), &png, &error)) return fail(error);
    files.Add(o.plot, std::move(png));
  }
  std::string audioReport;
  if (!o.synth.empty()) {
    Host synthHost(o.render.sampleRate, o.render.blockSize);
    std::unique_ptr<Plugin> synth = Plugin::Load(o.synth, &synthHost, &error);
    if (!synth) return fail(error);
    SynthAudio audio;
    // The audio ends when the last note has died away, not with the silent tail of the render.
    const int64_t lastFrame = result.output.events.empty() ? 0 : result.output.events.back().frame;
    if (!RenderSynth(*synth, synthHost, result.output, map, o.render.sampleRate, o.render.blockSize, lastFrame,
                     10.0, &audio, &error, [&progress](double done) { progress.Update("audio", done); }))
      return fail(error);
    progress.Clear();
    float peak = 0.0f;
    for (float v : audio.samples) peak = std::max(peak, std::isfinite(v) ? std::fabs(v) : 0.0f);
    double gain = std::pow(10.0, o.gainDb / 20.0);
    if (o.normalize && peak > 0.0f) gain = std::pow(10.0, -1.0 / 20.0) / peak;  // peak at -1 dBFS
    for (float& v : audio.samples) v = static_cast<float>(v * gain);
    WavStats stats;
    files.Add(o.wav, EncodeWav(audio.samples, audio.channels, static_cast<int>(std::lround(o.render.sampleRate)),
                               o.wavFormat, &stats));
    audioReport = "audio         " + synth->Name() + ", " + std::to_string(audio.channels) + " channels, " +
                  Fixed(double(audio.frames) / o.render.sampleRate, 2) + " s, peak " +
                  (stats.peak > 0 ? Fixed(20.0 * std::log10(stats.peak), 1) + " dBFS" : "silent") +
                  (stats.clipped ? ", " + std::to_string(stats.clipped) + " samples clipped" : "") + "\n";
  }
  progress.Clear();
  if (!files.Commit(&error)) return fail(error);

  const double seconds = double(result.stopFrame) / o.render.sampleRate;
  out << "input         " << o.inputMidi << ": format " << input.format << ", " << input.tracks.size()
      << (input.tracks.size() == 1 ? " track, " : " tracks, ") << input.division << " ticks per beat\n"
      << "plug-in       " << pluginName << " (" << pluginSource << ")\n"
      << report.str() << "render        " << Fixed(o.render.sampleRate, 0) << " Hz, blocks of "
      << o.render.blockSize << ", " << result.blocks << " blocks, transport stopped at "
      << Fixed(map.SecondsToTick(seconds) / map.Division(), 2) << " beats (" << Fixed(seconds, 2) << " s)\n";
  PrintCounts(inputCounts, track.Counts(), out);
  if (result.stoppedAtLimit)
    out << "warning       the plug-in was still sending when the transport was stopped at the tail limit\n";
  if (result.eventsOutsideBlock)
    out << "warning       " << result.eventsOutsideBlock << " events had offsets outside their block\n";
  if (result.eventsOutsideProcessing)
    out << "warning       " << result.eventsOutsideProcessing << " events were sent outside processing\n";
  if (result.malformedEvents) out << "warning       " << result.malformedEvents << " malformed events dropped\n";
  if (clapTarget && clapTarget->ProcessErrors())
    out << "warning       " << clapTarget->ProcessErrors() << " process calls returned an error\n";
  if (outputNotes.strayNoteOffs)
    out << "note          " << outputNotes.strayNoteOffs << " note-offs came out with no note sounding\n";
  out << audioReport;
  for (const std::string& path : files.Paths()) out << "wrote         " << path << "\n";
  if (outputNotes.hanging.empty()) {
    out << "check         every note-on that came out was followed by its note-off\n";
    return kExitOk;
  }
  for (const NoteSpan& n : outputNotes.hanging) {
    const double beats = double(n.startTick) / map.Division();
    out << "HANGING NOTE  " << NoteName(n.note) << " (" << n.note << ") on channel " << n.channel + 1
        << ", note-on at tick " << n.startTick << " (beat " << Fixed(beats, 3) << ", "
        << Fixed(map.TickToSeconds(n.startTick), 3) << " s) has no note-off\n";
  }
  out << "check         FAILED: " << outputNotes.hanging.size() << " hanging note"
      << (outputNotes.hanging.size() == 1 ? "" : "s") << "\n";
  return kExitHanging;
}

}  // namespace cchost
