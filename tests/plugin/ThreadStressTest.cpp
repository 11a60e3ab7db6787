// Several threads doing at once what hosts do, for a few seconds: the audio thread sends events and processes
// 64-frame blocks,
// another sets and reads parameters, another switches programs and moves chunks, and the user thread opens and
// closes the editor in a real X11 window and clicks, drags and scrolls in it. Meant for the ThreadSanitizer build,
// where any data race fails the run; elsewhere it checks that nothing crashes or stalls.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "VstEntry.h"
#include "VstAbi.h"
#include "X11TestDisplay.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kDuration = std::chrono::seconds(3);
constexpr int kFrames = 64;  // as a host at low latency: many calls, each short

// Everything the callback touches is atomic or belongs to the audio thread alone.
struct StressHost {
  std::atomic<int> automations{0};
  std::atomic<int> notesOut{0};
  VstTimeInfo time = {};  // the audio thread's: only processing asks for it
};
StressHost* gHost = nullptr;

VstIntPtr VST_CALLBACK Callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
  switch (opcode) {
    case audioMasterVersion: return 2400;
    case audioMasterGetTime: return reinterpret_cast<VstIntPtr>(&gHost->time);
    case audioMasterAutomate: ++gHost->automations; return 0;
    case audioMasterProcessEvents: {
      const auto* events = static_cast<const VstEvents*>(ptr);
      VstEvent* const* list = events->events;  // numEvents entries, although the type declares two
      for (VstInt32 i = 0; i < events->numEvents; ++i)
        if (list[i] && list[i]->type == kVstMidiType) ++gHost->notesOut;
      return 1;
    }
    default: return 0;
  }
}

// The audio thread: a block of events (notes on and off, All Notes Off, pitch bend), then processing, in both
// precisions, with the transport running and now and then jumping.
void AudioThread(AEffect* effect, const std::atomic<bool>& stop, int* blocks) {
  std::vector<float> floats(2 * kFrames);
  std::vector<double> doubles(2 * kFrames);
  float* fin[2] = {&floats[0], &floats[kFrames]};
  double* din[2] = {&doubles[0], &doubles[kFrames]};
  VstTimeInfo& t = gHost->time;
  t.sampleRate = 44100;
  t.tempo = 140;
  t.flags = kVstTransportPlaying | kVstTempoValid | kVstPpqPosValid;
  for (int b = 0; !stop; ++b) {
    VstMidiEvent midi[4] = {};
    const unsigned char messages[4][3] = {{0x90, static_cast<unsigned char>(48 + b % 24), 100},
                                          {0x80, static_cast<unsigned char>(48 + (b + 12) % 24), 0},
                                          {static_cast<unsigned char>(b % 50 == 0 ? 0xB0 : 0xE0), 123, 0},
                                          {0x90, static_cast<unsigned char>(60 + b % 5), 0}};
    struct {
      VstInt32 numEvents;
      VstIntPtr reserved;
      VstEvent* events[4];
    } list = {4, 0, {}};
    for (int i = 0; i < 4; ++i) {
      midi[i].type = kVstMidiType;
      midi[i].byteSize = sizeof(VstMidiEvent);
      midi[i].deltaFrames = 16 * i;
      std::memcpy(midi[i].midiData, messages[i], 3);
      list.events[i] = reinterpret_cast<VstEvent*>(&midi[i]);
    }
    effect->dispatcher(effect, effProcessEvents, 0, 0, &list, 0.0f);
    if (b % 2)
      effect->processDoubleReplacing(effect, din, din, kFrames);
    else
      effect->processReplacing(effect, fin, fin, kFrames);
    t.samplePos = b % 97 == 0 ? 0.0 : t.samplePos + kFrames;
    *blocks = b + 1;
  }
}

void ParameterThread(AEffect* effect, const std::atomic<bool>& stop) {
  char text[256];
  for (int i = 0; !stop; ++i) {
    const int index = i % effect->numParams;
    effect->setParameter(effect, index, static_cast<float>((i * 37) % 101) / 100.0f);
    (void)effect->getParameter(effect, (index * 7) % effect->numParams);
    effect->dispatcher(effect, effGetParamDisplay, index, 0, text, 0.0f);
  }
}

void ProgramThread(AEffect* effect, const std::atomic<bool>& stop) {
  std::vector<unsigned char> saved;
  for (int i = 0; !stop; ++i) {
    effect->dispatcher(effect, effSetProgram, 0, i % effect->numPrograms, nullptr, 0.0f);
    void* data = nullptr;
    const VstIntPtr size = effect->dispatcher(effect, effGetChunk, i % 2, 0, &data, 0.0f);
    if (size > 0 && data) saved.assign(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
    if (!saved.empty()) effect->dispatcher(effect, effSetChunk, (i + 1) % 2, VstIntPtr(saved.size()), saved.data(), 0.0f);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

TEST(ThreadStress, HostThreadsAndTheEditorTogether) {
  X11TestDisplay x;
  REQUIRE_X_DISPLAY(x);
  StressHost host;
  gHost = &host;
  AEffect* effect = VstCreateEffect(Callback, CreatePluginInstance);
  ASSERT_NE(effect, nullptr);
  effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
  effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
  effect->dispatcher(effect, effSetBlockSize, 0, kFrames, nullptr, 0.0f);
  effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
  ERect* rect = nullptr;
  ASSERT_EQ(effect->dispatcher(effect, effEditGetRect, 0, 0, &rect, 0.0f), 1);
  const int width = rect->right - rect->left, height = rect->bottom - rect->top;
  const xcb_window_t frame = x.MakeWindow(10, 10, width, height);

  std::atomic<bool> stop{false};
  int blocks = 0;
  std::thread audio(AudioThread, effect, std::cref(stop), &blocks);
  std::thread params(ParameterThread, effect, std::cref(stop));
  std::thread programs(ProgramThread, effect, std::cref(stop));

  // The user: the editor opens, takes input for a moment and closes again, over and over.
  int opened = 0;
  const Clock::time_point end = Clock::now() + kDuration;
  for (int round = 0; Clock::now() < end; ++round) {
    ASSERT_EQ(effect->dispatcher(effect, effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t(frame)), 0.0f), 1);
    ++opened;
    for (int i = 0; i < 6; ++i) {
      const int px = 20 + (round * 53 + i * 97) % (width - 40), py = 20 + (round * 31 + i * 61) % (height - 40);
      x.MoveTo(frame, px, py);
      x.Press(1);
      x.MoveTo(frame, px + 15, py - 10);
      x.Release(1);
      x.Click(frame, px, py, i % 2 ? 4 : 5);
      if (i == 3) {
        x.Click(frame, px, py, 3);  // may open the typed-entry box; a right click elsewhere closes it
        x.Click(frame, 5, 5, 3);
      }
    }
    x.Sync();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
  }
  stop = true;
  audio.join();
  params.join();
  programs.join();
  effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
  x.DestroyWindow(frame);
  gHost = nullptr;

  EXPECT_GT(opened, 1);
  EXPECT_GT(blocks, 10) << "the audio thread made no progress";
  EXPECT_GT(host.notesOut.load(), 0);
  EXPECT_GT(host.automations.load(), 0) << "the clicks and drags changed nothing";
}

}  // namespace
