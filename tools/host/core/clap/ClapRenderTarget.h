// A CLAP plug-in as a render target: input MIDI as CLAP MIDI events, the transport from the same time
// information the VST target gives, no audio ports; what it sends is stamped and checked like VST output.
#pragma once

#include <cstdint>
#include <vector>

#include "ClapInstance.h"
#include "RenderTarget.h"

namespace cchost {

class ClapRenderTarget : public RenderTarget {
 public:
  explicit ClapRenderTarget(ClapInstance& plugin) : mPlugin(plugin) {}

  void Start(double sampleRate, int maxBlock, int64_t startFrame) override;
  void ProcessBlock(int64_t songFrame, int frames, const VstTimeInfo& time, const std::vector<BlockEvent>& events,
                    bool advance) override;
  void Stop() override { mPlugin.Stop(); }

  ReceivedEvents& Received() override { return mReceived; }
  int EventsOutsideBlock() const override { return mOutsideBlock; }
  int EventsOutsideProcessing() const override { return 0; }  // CLAP has no way to send outside a call
  int MalformedEvents() const override { return mMalformed; }
  // Why the plug-in could not start; empty when it did.
  const std::string& StartError() const { return mStartError; }
  int ProcessErrors() const { return mProcessErrors; }

 private:
  void Receive(const clap_event_header_t& event, int64_t blockStart, int frames);

  ClapInstance& mPlugin;
  std::string mStartError;
  int64_t mSteadyTime = 0;
  ReceivedEvents mReceived;
  int mOutsideBlock = 0;
  int mMalformed = 0;
  int mProcessErrors = 0;
  // One block's inputs; kept so that no block allocates once they have grown.
  std::vector<clap_event_midi_t> mMidi;
  std::vector<clap_event_midi_sysex_t> mSysex;
  std::vector<std::vector<uint8_t>> mDumps;
  std::vector<const clap_event_header_t*> mInputs;
};

}  // namespace cchost
