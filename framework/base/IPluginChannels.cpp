// The base's audio channel records: connection, scratch buffers and host buffer attachment.
#include <algorithm>

#include "IPluginBase.h"

namespace {
template <typename Channel>
void SetConnected(std::vector<Channel>& channels, int start, int count, bool connected) {
  const int end = static_cast<int>(std::min<long long>(static_cast<long long>(start) + count,
                                                       static_cast<long long>(channels.size())));
  for (int i = std::max(start, 0); i < end; ++i) {
    Channel& channel = channels[static_cast<size_t>(i)];
    channel.mConnected = connected;
    if (!connected) {
      // A disconnected channel reads silence, whatever the scratch held before.
      std::fill(channel.mScratch.begin(), channel.mScratch.end(), 0.0);
      *channel.mpBuffer = channel.mScratch.data();
    }
  }
}

template <typename Sample>
void FillSilence(Sample** hostOutputs, int nFrames, int first, int count) {
  if (!hostOutputs || nFrames <= 0) return;
  for (int c = std::max(first, 0); c < count; ++c)
    if (Sample* out = hostOutputs[c]) std::fill(out, out + nFrames, Sample(0));
}
}  // namespace

void IPluginBase::WriteSilence(float** hostOutputs, int nFrames, int first) {
  FillSilence(hostOutputs, nFrames, first, NOutChannels());
}

void IPluginBase::WriteSilence(double** hostOutputs, int nFrames, int first) {
  FillSilence(hostOutputs, nFrames, first, NOutChannels());
}

int IPluginBase::NConnectedOutputs() const {
  int count = 0;
  for (const IOutputChannel& channel : mOutputs) count += channel.mConnected ? 1 : 0;
  return count;
}

void IPluginBase::SetInputsConnected(int start, int count, bool connected) {
  SetConnected(mInputs, start, count, connected);
}

void IPluginBase::SetOutputsConnected(int start, int count, bool connected) {
  SetConnected(mOutputs, start, count, connected);
}

void IPluginBase::SetBlockSize(int blockSize) {
  if (blockSize == mBlockSize) return;
  const size_t size = static_cast<size_t>(std::max(blockSize, 0));
  for (IInputChannel& channel : mInputs) {
    channel.mScratch.assign(size, 0.0);
    if (!channel.mConnected) *channel.mpBuffer = channel.mScratch.data();
  }
  for (IOutputChannel& channel : mOutputs) {
    channel.mScratch.assign(size, 0.0);
    if (!channel.mConnected) *channel.mpBuffer = channel.mScratch.data();
  }
  mBlockSize = blockSize;
}

void IPluginBase::AttachInputBuffers(float** hostInputs, int nFrames) {
  int next = 0;
  for (IInputChannel& channel : mInputs) {
    if (!channel.mConnected) continue;
    const float* source = hostInputs ? hostInputs[next++] : nullptr;
    double* scratch = channel.mScratch.data();
    if (source) {
      for (int s = 0; s < nFrames; ++s) scratch[s] = source[s];
    } else {
      std::fill(scratch, scratch + nFrames, 0.0);
    }
    *channel.mpBuffer = scratch;
  }
}

void IPluginBase::AttachInputBuffers(double** hostInputs) {
  int next = 0;
  for (IInputChannel& channel : mInputs) {
    if (!channel.mConnected) continue;
    double* source = hostInputs ? hostInputs[next++] : nullptr;
    if (!source) {
      std::fill(channel.mScratch.begin(), channel.mScratch.end(), 0.0);
      source = channel.mScratch.data();
    }
    *channel.mpBuffer = source;
  }
}

void IPluginBase::AttachOutputBuffers(float** hostOutputs) {
  int next = 0;
  for (IOutputChannel& channel : mOutputs) {
    if (!channel.mConnected) continue;
    *channel.mpBuffer = channel.mScratch.data();
    channel.mpDestination = hostOutputs ? hostOutputs[next++] : nullptr;
  }
}

void IPluginBase::AttachOutputBuffers(double** hostOutputs) {
  int next = 0;
  for (IOutputChannel& channel : mOutputs) {
    if (!channel.mConnected) continue;
    double* destination = hostOutputs ? hostOutputs[next++] : nullptr;
    *channel.mpBuffer = destination ? destination : channel.mScratch.data();
    channel.mpDestination = nullptr;
  }
}

void IPluginBase::RunReplacing(int nFrames, bool singlePrecision) {
  ProcessBlock(mInputBuffers.data(), mOutputBuffers.data(), nFrames);
  if (!singlePrecision) return;
  for (IOutputChannel& channel : mOutputs) {
    if (!channel.mConnected || !channel.mpDestination) continue;
    const double* scratch = channel.mScratch.data();
    for (int s = 0; s < nFrames; ++s) channel.mpDestination[s] = static_cast<float>(scratch[s]);
  }
}

void IPluginBase::RunAccumulating(int nFrames) {
  ProcessBlock(mInputBuffers.data(), mOutputBuffers.data(), nFrames);
  for (IOutputChannel& channel : mOutputs) {
    if (!channel.mConnected || !channel.mpDestination) continue;
    const double* scratch = channel.mScratch.data();
    for (int s = 0; s < nFrames; ++s) channel.mpDestination[s] += static_cast<float>(scratch[s]);
  }
}

void IPluginBase::LimitToStereo() {
  if (NInChannels() > 2) SetInputsConnected(2, NInChannels() - 2, false);
  if (NOutChannels() > 2) SetOutputsConnected(2, NOutChannels() - 2, true);
}

void IPluginBase::AddStereoIO() {
  if (NInChannels() != 0 || NOutChannels() != 0) return;
  mChannelConfigs.push_back({2, 2});
  CreateChannels(2, 2);
  if (mBlockSize != 0) {
    const int blockSize = mBlockSize;
    mBlockSize = 0;
    SetBlockSize(blockSize);
  }
  SetInputsConnected(0, 2, true);
  SetOutputsConnected(0, 2, true);
}
