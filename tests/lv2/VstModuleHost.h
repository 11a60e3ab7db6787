// Drives the VST build of a plug-in, loaded from its module file, as a VST host would: transport through
// audioMasterGetTime, MIDI through effProcessEvents, output collected from audioMasterProcessEvents.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "LilvHost.h"
#include "VstAbi.h"

class VstModuleHost {
 public:
  VstModuleHost() = default;
  ~VstModuleHost();
  VstModuleHost(const VstModuleHost&) = delete;
  VstModuleHost& operator=(const VstModuleHost&) = delete;

  // Opens the module, creates and opens the plug-in, sets rate and block size and switches it on.
  bool Load(const std::string& path, double sampleRate, int blockSize, std::string* error);
  AEffect* Effect() const { return mEffect; }

  int ParamIndex(const std::string& name) const;
  void SetParameter(int index, float normalized) { mEffect->setParameter(mEffect, index, normalized); }
  // The display text for a normalised value as such (unrounded), and after setting the parameter to it.
  std::string ParamDisplayFor(int index, float normalized);
  std::string ParamDisplayAt(int index, float normalized);
  std::vector<uint8_t> GetChunk(bool bank);
  bool SetChunk(const std::vector<uint8_t>& bytes, bool bank);

  void SetTransport(double samplePos, double tempo, bool playing);
  void SendMidi(int offset, const std::vector<uint8_t>& bytes);
  // One processReplacing call; events stamped with the session frame (blocks counted from 0).
  std::vector<HostEvent> Process(int frames);
  int64_t Frames() const { return mFrames; }

 private:
  static VstIntPtr VST_CALLBACK Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                         void* ptr, float opt);
  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);

  void* mModule = nullptr;
  AEffect* mEffect = nullptr;
  VstTimeInfo mTime = {};
  int64_t mFrames = 0;
  std::vector<HostEvent> mCollected;
  std::vector<float> mBuffers[4];
};
