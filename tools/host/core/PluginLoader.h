// Loads a VST 2.4 plug-in module and wraps its AEffect with the calls a host makes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "HostCallback.h"
#include "VstAbi.h"

namespace cchost {

class Plugin {
 public:
  // Opens the module, finds VSTPluginMain (or main), creates and opens the plug-in.
  static std::unique_ptr<Plugin> Load(const std::string& path, Host* host, std::string* error);
  ~Plugin();
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  AEffect* Effect() const { return mEffect; }
  const std::string& Path() const { return mPath; }
  const std::string& EntryPointName() const { return mEntryPoint; }

  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) const;
  // Text answers, read through a generous buffer because plug-ins overrun the nominal sizes.
  std::string Text(VstInt32 opcode, VstInt32 index = 0) const;
  std::string Name() const;
  std::string ParamName(int index) const { return Text(effGetParamName, index); }
  std::string ParamLabel(int index) const { return Text(effGetParamLabel, index); }
  std::string ParamDisplay(int index) const { return Text(effGetParamDisplay, index); }
  std::string ProgramName(int index) const;
  VstIntPtr CanDo(const char* question) const;

  int NumParams() const { return mEffect->numParams; }
  int NumPrograms() const { return mEffect->numPrograms; }
  float GetParameter(int index) const { return mEffect->getParameter(mEffect, index); }
  void SetParameter(int index, float value) const { mEffect->setParameter(mEffect, index, value); }
  bool SetProgram(int index) const;

  // effSetSampleRate, effSetBlockSize, effMainsChanged(1), effStartProcess; and back.
  void Resume(double sampleRate, int blockSize);
  void Suspend();
  void Process(float** inputs, float** outputs, int frames) const;

 private:
  Plugin() = default;
  void* mLibrary = nullptr;
  AEffect* mEffect = nullptr;
  std::string mPath;
  std::string mEntryPoint;
  bool mResumed = false;
};

}  // namespace cchost
