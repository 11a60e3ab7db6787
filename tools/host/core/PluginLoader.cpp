// Module loading and the plug-in's life cycle.
#include "PluginLoader.h"
#include "ModuleLibrary.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

namespace cchost {
namespace {
using EntryPoint = AEffect* (*)(audioMasterCallback);

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string Printable(const char* text) {
  std::string out;
  for (const char* p = text; *p; ++p) out += (static_cast<unsigned char>(*p) < 0x20) ? ' ' : *p;
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}
}  // namespace

std::unique_ptr<Plugin> Plugin::Load(const std::string& path, Host* host, std::string* error) {
  struct stat st = {};
  if (stat(path.c_str(), &st) != 0) {
    *error = path + ": " + std::strerror(errno);
    return nullptr;
  }
  if (!S_ISREG(st.st_mode)) {
    *error = path + ": not a plug-in file";
    return nullptr;
  }
  std::string why;
  void* library = OpenModule(path, &why);
  if (!library) {
    *error = path + ": not a loadable plug-in module (" + why + ")";
    return nullptr;
  }
  std::unique_ptr<Plugin> plugin(new Plugin());
  plugin->mLibrary = library;
  plugin->mPath = path;
  void* symbol = FindModuleSymbol(library, "VSTPluginMain");
  plugin->mEntryPoint = "VSTPluginMain";
  if (!symbol) {
    symbol = FindModuleSymbol(library, "main");
    plugin->mEntryPoint = "main";
  }
  if (!symbol) {
    *error = path + ": not a VST 2.4 plug-in (exports neither VSTPluginMain nor main)";
    return nullptr;
  }
  host->SetPluginDirectory(FolderOf(path));
  EntryPoint entry = reinterpret_cast<EntryPoint>(symbol);
  host->BeginCreating();
  AEffect* effect = entry(&Host::Callback);
  host->EndCreating(nullptr);
  if (!effect) {
    *error = path + ": the plug-in's entry point " + plugin->mEntryPoint + " returned no plug-in (null)";
    return nullptr;
  }
  if (effect->magic != kEffectMagic) {
    // Not an AEffect: nothing of it can be called, not even to close it; the module stays loaded.
    plugin->mLibrary = nullptr;
    *error = path + ": the entry point returned something that is not a VST 2.4 plug-in (bad magic)";
    return nullptr;
  }
  if (!effect->dispatcher || !effect->setParameter || !effect->getParameter ||
      (!effect->processReplacing && !effect->process) || effect->numParams < 0 || effect->numPrograms < 0 ||
      effect->numInputs < 0 || effect->numOutputs < 0 || effect->numInputs > 64 || effect->numOutputs > 64) {
    plugin->mLibrary = nullptr;
    *error = path + ": the plug-in's AEffect is incomplete or implausible";
    return nullptr;
  }
  host->EndCreating(effect);
  plugin->mEffect = effect;
  plugin->Dispatch(effOpen);
  return plugin;
}

Plugin::~Plugin() {
  if (mEffect) {
    Suspend();
    Dispatch(effClose);
  }
  if (mLibrary) CloseModule(mLibrary);
}

VstIntPtr Plugin::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) const {
  return mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
}

std::string Plugin::Text(VstInt32 opcode, VstInt32 index) const {
  char buffer[512] = {};
  Dispatch(opcode, index, 0, buffer);
  buffer[sizeof(buffer) - 1] = '\0';
  return Printable(buffer);
}

std::string Plugin::Name() const {
  std::string name = Text(effGetEffectName);
  return name.empty() ? Text(effGetProductString) : name;
}

std::string Plugin::ProgramName(int index) const {
  char buffer[512] = {};
  if (Dispatch(effGetProgramNameIndexed, index, -1, buffer) != 0) return Printable(buffer);
  // Older plug-ins only name the current program.
  if (Dispatch(effGetProgram) == index) return Text(effGetProgramName);
  return std::string();
}

VstIntPtr Plugin::CanDo(const char* question) const {
  return Dispatch(effCanDo, 0, 0, const_cast<char*>(question));
}

bool Plugin::SetProgram(int index) const {
  if (index < 0 || index >= NumPrograms()) return false;
  Dispatch(effBeginSetProgram);
  Dispatch(effSetProgram, 0, index);
  Dispatch(effEndSetProgram);
  return Dispatch(effGetProgram) == index;
}

void Plugin::Resume(double sampleRate, int blockSize) {
  if (mResumed) return;
  Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
  Dispatch(effSetBlockSize, 0, blockSize);
  Dispatch(effSetProcessPrecision, 0, 0);
  Dispatch(effMainsChanged, 0, 1);
  Dispatch(effStartProcess);
  mResumed = true;
}

void Plugin::Suspend() {
  if (!mResumed) return;
  Dispatch(effStopProcess);
  Dispatch(effMainsChanged, 0, 0);
  mResumed = false;
}

void Plugin::Process(float** inputs, float** outputs, int frames) const {
  if ((mEffect->flags & effFlagsCanReplacing) && mEffect->processReplacing) {
    mEffect->processReplacing(mEffect, inputs, outputs, frames);
  } else {
    // The old accumulating call adds to what is there.
    for (int c = 0; c < mEffect->numOutputs; ++c) std::memset(outputs[c], 0, sizeof(float) * size_t(frames));
    mEffect->process(mEffect, inputs, outputs, frames);
  }
}

}  // namespace cchost
