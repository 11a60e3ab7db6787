// A VST 2.4 plug-in as a render target: events through effProcessEvents, the transport through the host
// callback's time information, audio buffers of silence.
#pragma once

#include <memory>

#include "HostCallback.h"
#include "PluginLoader.h"
#include "RenderTarget.h"
#include "VstEventBatch.h"

namespace cchost {

class VstRenderTarget : public RenderTarget {
 public:
  VstRenderTarget(Plugin& plugin, Host& host) : mPlugin(plugin), mHost(host) {}

  void Start(double sampleRate, int maxBlock, int64_t startFrame) override;
  void ProcessBlock(int64_t songFrame, int frames, const VstTimeInfo& time, const std::vector<BlockEvent>& events,
                    bool advance) override;
  void Stop() override { mPlugin.Suspend(); }

  ReceivedEvents& Received() override { return mHost.Received(); }
  int EventsOutsideBlock() const override { return mHost.EventsOutsideBlock(); }
  int EventsOutsideProcessing() const override { return mHost.EventsOutsideProcessing(); }
  int MalformedEvents() const override { return mHost.MalformedEvents(); }

 private:
  Plugin& mPlugin;
  Host& mHost;
  VstEventBatch mBatch;
  std::vector<float> mData;
  std::vector<float*> mIn, mOut;
  size_t mInputSamples = 0;
};

}  // namespace cchost
