// The audioMaster callback of cyclochord-host.
#include "HostCallback.h"

#include <cstring>

namespace cchost {
namespace {
thread_local Host* tCreatingHost = nullptr;

void CopyOut(void* ptr, const char* text, size_t size) {
  if (!ptr) return;
  std::strncpy(static_cast<char*>(ptr), text, size - 1);
  static_cast<char*>(ptr)[size - 1] = '\0';
}

bool IsHostCanDo(const char* question) {
  static const char* const kYes[] = {"sendVstEvents",      "sendVstMidiEvent",    "sendVstTimeInfo",
                                     "receiveVstEvents",   "receiveVstMidiEvent", "startStopProcess",
                                     "sendVstMidiEventFlagIsRealtime", "sizeWindow"};
  for (const char* yes : kYes)
    if (std::strcmp(question, yes) == 0) return true;
  return false;
}
}  // namespace

Host::Host(double sampleRate, int blockSize) : mSampleRate(sampleRate), mBlockSize(blockSize) {
  mTimeInfo.sampleRate = sampleRate;
  mTimeInfo.tempo = 120.0;
  mTimeInfo.timeSigNumerator = 4;
  mTimeInfo.timeSigDenominator = 4;
  mTimeInfo.flags = kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
}

void Host::BeginCreating() { tCreatingHost = this; }

void Host::EndCreating(AEffect* effect) {
  tCreatingHost = nullptr;
  if (effect) effect->resvd1 = reinterpret_cast<VstIntPtr>(this);
}

VstIntPtr Host::Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  Host* host = effect && effect->resvd1 ? reinterpret_cast<Host*>(effect->resvd1) : tCreatingHost;
  if (!host) return opcode == audioMasterVersion ? kVstVersion : 0;
  return host->Handle(effect, opcode, index, value, ptr, opt);
}

void Host::BeginBlock(int64_t blockStart, int frames) {
  mBlockStart = blockStart;
  mBlockFrames = frames;
  mInBlock = true;
}

void Host::EndBlock(bool advance) {
  mInBlock = false;
  if (advance) mBlockStart += mBlockFrames;  // between blocks the position is where the last one ended
  mBlockFrames = 0;
}

bool MakeShortMessage(const uint8_t data[3], ReceivedEvent* out) {
  const uint8_t status = data[0];
  if (status < 0x80) return false;
  out->bytes[0] = status;
  int length = 0;
  if (status < 0xF0)
    length = (status >> 4) == 0xC || (status >> 4) == 0xD ? 1 : 2;
  else if (status == 0xF2)
    length = 2;
  else if (status == 0xF1 || status == 0xF3)
    length = 1;
  for (int b = 1; b <= length; ++b) out->bytes[b] = data[b] & 0x7F;
  out->size = static_cast<uint8_t>(1 + length);
  return true;
}

void Host::Receive(const VstEvents* events) {
  if (!events) return;
  VstEvent* const* list = events->events;  // numEvents entries, although the type declares two
  for (VstInt32 i = 0; i < events->numEvents; ++i) {
    const VstEvent* event = list[i];
    if (!event) continue;
    int delta = event->deltaFrames;
    if (!mInBlock) {
      ++mOutsideProcessing;
      delta = 0;
    } else if (delta < 0 || delta > mBlockFrames) {
      // An offset outside the block cannot be placed; keep the event at the nearer edge.
      ++mOutsideBlock;
      delta = delta < 0 ? 0 : mBlockFrames;
    }
    ReceivedEvent received;
    received.frame = mBlockStart + delta;
    if (event->type == kVstMidiType) {
      const VstMidiEvent* midi = reinterpret_cast<const VstMidiEvent*>(event);
      const uint8_t data[3] = {static_cast<uint8_t>(midi->midiData[0]), static_cast<uint8_t>(midi->midiData[1]),
                               static_cast<uint8_t>(midi->midiData[2])};
      if (!MakeShortMessage(data, &received)) {
        ++mMalformed;
        continue;
      }
      mReceived.events.push_back(received);
    } else if (event->type == kVstSysExType) {
      const VstMidiSysexEvent* sysex = reinterpret_cast<const VstMidiSysexEvent*>(event);
      if (sysex->dumpBytes <= 0 || !sysex->sysexDump || sysex->dumpBytes > (1 << 24)) {
        ++mMalformed;
        continue;
      }
      mReceived.dumps.emplace_back(sysex->sysexDump, sysex->sysexDump + sysex->dumpBytes);
      received.dump = static_cast<uint32_t>(mReceived.dumps.size());
      mReceived.events.push_back(received);
    }
  }
}

VstIntPtr Host::Handle(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  switch (opcode) {
    case audioMasterVersion:
      return kVstVersion;
    case audioMasterWantMidi:
    case audioMasterUpdateDisplay:
      return 1;
    case audioMasterGetTime:
      mTimeInfo.sampleRate = mSampleRate;
      return reinterpret_cast<VstIntPtr>(&mTimeInfo);
    case audioMasterProcessEvents:
      Receive(static_cast<const VstEvents*>(ptr));
      return 1;
    case audioMasterGetSampleRate:
      return static_cast<VstIntPtr>(mSampleRate);
    case audioMasterGetBlockSize:
      return mBlockSize;
    case audioMasterGetCurrentProcessLevel:
      return mInBlock ? mProcessLevel : 1;
    case audioMasterGetAutomationState:
      return 1;
    case audioMasterPinConnected:
      // 0 means connected: every pin the plug-in declares is.
      if (!effect) return 1;
      return index >= 0 && index < (value ? effect->numOutputs : effect->numInputs) ? 0 : 1;
    case audioMasterGetVendorString:
      CopyOut(ptr, "Cyclochord", 64);
      return 1;
    case audioMasterGetProductString:
      CopyOut(ptr, "cyclochord-host", 64);
      return 1;
    case audioMasterGetVendorVersion:
      return 1000;
    case audioMasterCanDo:
      return ptr && IsHostCanDo(static_cast<const char*>(ptr)) ? 1 : 0;
    case audioMasterGetLanguage:
      return 1;
    case audioMasterGetDirectory:
      return reinterpret_cast<VstIntPtr>(mDirectory.c_str());
    case audioMasterAutomate:
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
      if (mEditListener) mEditListener(opcode, index, opt);
      return opcode == audioMasterAutomate ? 0 : 1;
    case audioMasterSizeWindow:
      return mSizeListener && index > 0 && value > 0 && mSizeListener(index, static_cast<int>(value)) ? 1 : 0;
    default:
      return 0;
  }
}

}  // namespace cchost
