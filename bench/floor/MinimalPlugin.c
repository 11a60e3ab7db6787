/* A minimal VST 2.4 plug-in in plain C: copies inputs to outputs, and forwards the MIDI events it was given
   in one host call per processing block. Only what a host needs to drive it is declared here. */
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

typedef int32_t VstInt32;
typedef intptr_t VstIntPtr;
struct AEffect;
typedef VstIntPtr (*HostCallback)(struct AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float);

struct AEffect {
  VstInt32 magic;
  VstIntPtr (*dispatcher)(struct AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float);
  void (*process)(struct AEffect*, float**, float**, VstInt32);
  void (*setParameter)(struct AEffect*, VstInt32, float);
  float (*getParameter)(struct AEffect*, VstInt32);
  VstInt32 numPrograms, numParams, numInputs, numOutputs, flags;
  VstIntPtr resvd1, resvd2;
  VstInt32 initialDelay, realQualities, offQualities;
  float ioRatio;
  void* object;
  void* user;
  VstInt32 uniqueID, version;
  void (*processReplacing)(struct AEffect*, float**, float**, VstInt32);
  void (*processDoubleReplacing)(struct AEffect*, double**, double**, VstInt32);
  char future[56];
};
_Static_assert(sizeof(struct AEffect) == (sizeof(void*) == 4 ? 144 : 192), "AEffect size");
_Static_assert(offsetof(struct AEffect, processDoubleReplacing) == (sizeof(void*) == 4 ? 84 : 128), "AEffect layout");

struct VstEvent {
  VstInt32 type, byteSize, deltaFrames, flags;
  char data[16];
};

enum {
  kChannels = 2,
  kMaxEvents = 1024,
  kMagic = 0x56737450,
  kFlagsCanReplacing = 16,
  kFlagsIsSynth = 256,
  kFlagsCanDoubleReplacing = 4096,
  effClose = 1,
  effProcessEvents = 25,
  effGetVstVersion = 58,
  audioMasterProcessEvents = 8
};

/* The VstEvents layout with room for every event of a block. */
struct EventList {
  VstInt32 numEvents;
  VstIntPtr reserved;
  struct VstEvent* events[kMaxEvents];
};

struct Minimal {
  struct AEffect effect;
  HostCallback host;
  struct VstEvent held[kMaxEvents];
  struct EventList list;
};

static VstIntPtr Dispatch(struct AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                          float opt) {
  struct Minimal* self = (struct Minimal*)effect->object;
  (void)index;
  (void)value;
  (void)opt;
  if (opcode == effClose) {
    free(self);
    return 0;
  }
  if (opcode == effGetVstVersion) return 2400;
  if (opcode == effProcessEvents && ptr) {
    const VstInt32* header = (const VstInt32*)ptr;
    struct VstEvent* const* incoming = (struct VstEvent* const*)((const char*)ptr + offsetof(struct EventList, events));
    for (VstInt32 i = 0; i < header[0] && self->list.numEvents < kMaxEvents; ++i) {
      if (!incoming[i]) continue;
      self->held[self->list.numEvents] = *incoming[i];
      self->list.events[self->list.numEvents] = &self->held[self->list.numEvents];
      ++self->list.numEvents;
    }
    return 1;
  }
  return 0;
}

static void SendHeld(struct Minimal* self) {
  if (self->list.numEvents == 0) return;
  self->host(&self->effect, audioMasterProcessEvents, 0, 0, &self->list, 0.0f);
  self->list.numEvents = 0;
}

static void ProcessReplacing(struct AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
  struct Minimal* self = (struct Minimal*)effect->object;
  for (int c = 0; c < kChannels && inputs && outputs && frames > 0; ++c)
    if (inputs[c] && outputs[c]) memcpy(outputs[c], inputs[c], sizeof(float) * (size_t)frames);
  SendHeld(self);
}

static void ProcessDoubleReplacing(struct AEffect* effect, double** inputs, double** outputs, VstInt32 frames) {
  struct Minimal* self = (struct Minimal*)effect->object;
  for (int c = 0; c < kChannels && inputs && outputs && frames > 0; ++c)
    if (inputs[c] && outputs[c]) memcpy(outputs[c], inputs[c], sizeof(double) * (size_t)frames);
  SendHeld(self);
}

static void ProcessAccumulating(struct AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
  struct Minimal* self = (struct Minimal*)effect->object;
  for (int c = 0; c < kChannels && inputs && outputs; ++c)
    if (inputs[c] && outputs[c])
      for (VstInt32 s = 0; s < frames; ++s) outputs[c][s] += inputs[c][s];
  SendHeld(self);
}

static void SetParameter(struct AEffect* effect, VstInt32 index, float value) {
  (void)effect;
  (void)index;
  (void)value;
}

static float GetParameter(struct AEffect* effect, VstInt32 index) {
  (void)effect;
  (void)index;
  return 0.0f;
}

struct AEffect* VSTPluginMain(HostCallback hostCallback);

struct AEffect* VSTPluginMain(HostCallback hostCallback) {
  struct Minimal* self = (struct Minimal*)calloc(1, sizeof(struct Minimal));
  if (!self || !hostCallback) {
    free(self);
    return NULL;
  }
  self->host = hostCallback;
  self->effect.magic = kMagic;
  self->effect.dispatcher = Dispatch;
  self->effect.process = ProcessAccumulating;
  self->effect.setParameter = SetParameter;
  self->effect.getParameter = GetParameter;
  self->effect.numPrograms = 1;
  self->effect.numInputs = kChannels;
  self->effect.numOutputs = kChannels;
  self->effect.flags = kFlagsCanReplacing | kFlagsCanDoubleReplacing | kFlagsIsSynth;
  self->effect.ioRatio = 1.0f;
  self->effect.object = self;
  self->effect.processReplacing = ProcessReplacing;
  self->effect.processDoubleReplacing = ProcessDoubleReplacing;
  return &self->effect;
}
