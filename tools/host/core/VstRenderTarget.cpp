#include "VstRenderTarget.h"

#include <algorithm>

namespace cchost {
namespace {
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
}  // namespace

void VstRenderTarget::Start(double sampleRate, int maxBlock, int64_t startFrame) {
  const AEffect* effect = mPlugin.Effect();
  const size_t inputs = size_t(std::max(effect->numInputs, 0)), outputs = size_t(std::max(effect->numOutputs, 0));
  const size_t frames = size_t(maxBlock);
  mData.assign((inputs + outputs) * frames, 0.0f);
  mIn.resize(inputs);
  mOut.resize(outputs);
  for (size_t c = 0; c < inputs; ++c) mIn[c] = mData.data() + c * frames;
  for (size_t c = 0; c < outputs; ++c) mOut[c] = mData.data() + (inputs + c) * frames;
  mInputSamples = inputs * frames;

  mHost.SetBlockSize(maxBlock);
  mHost.Received().Clear();
  mHost.BeginBlock(startFrame, 0);
  mHost.EndBlock();
  mPlugin.Resume(sampleRate, maxBlock);
}

void VstRenderTarget::ProcessBlock(int64_t songFrame, int frames, const VstTimeInfo& time,
                                   const std::vector<BlockEvent>& events, bool advance) {
  mHost.TimeInfo() = time;
  mBatch.Clear();
  for (const BlockEvent& e : events) AddToBatch(*e.event, e.delta, &mBatch);
  mHost.BeginBlock(songFrame, frames);
  if (mBatch.Count() > 0) mPlugin.Dispatch(effProcessEvents, 0, 0, mBatch.Events());
  std::fill(mData.begin(), mData.begin() + long(mInputSamples), 0.0f);
  mPlugin.Process(mIn.empty() ? nullptr : mIn.data(), mOut.empty() ? nullptr : mOut.data(), frames);
  mHost.EndBlock(advance);
}

}  // namespace cchost
