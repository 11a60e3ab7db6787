// The VST 2.4 binary interface, declared from its published layout facts.
#pragma once

#include <cstddef>
#include <cstdint>

// The reserved spelling: <windows.h> defines cdecl as a macro, which would change the mangled names.
#if defined(__i386__) && !defined(_WIN64)
#define VST_CALLBACK __attribute__((__cdecl__))
#else
#define VST_CALLBACK
#endif

extern "C" {

typedef int16_t VstInt16;
typedef int32_t VstInt32;
typedef int64_t VstInt64;
typedef intptr_t VstIntPtr;

struct AEffect;

typedef VstIntPtr(VST_CALLBACK* audioMasterCallback)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                     VstIntPtr value, void* ptr, float opt);
typedef VstIntPtr(VST_CALLBACK* AEffectDispatcherProc)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                       VstIntPtr value, void* ptr, float opt);
typedef void(VST_CALLBACK* AEffectProcessProc)(AEffect* effect, float** inputs, float** outputs,
                                               VstInt32 sampleFrames);
typedef void(VST_CALLBACK* AEffectProcessDoubleProc)(AEffect* effect, double** inputs, double** outputs,
                                                     VstInt32 sampleFrames);
typedef void(VST_CALLBACK* AEffectSetParameterProc)(AEffect* effect, VstInt32 index, float value);
typedef float(VST_CALLBACK* AEffectGetParameterProc)(AEffect* effect, VstInt32 index);

struct AEffect {
  VstInt32 magic;
  AEffectDispatcherProc dispatcher;
  AEffectProcessProc process;
  AEffectSetParameterProc setParameter;
  AEffectGetParameterProc getParameter;
  VstInt32 numPrograms;
  VstInt32 numParams;
  VstInt32 numInputs;
  VstInt32 numOutputs;
  VstInt32 flags;
  VstIntPtr resvd1;
  VstIntPtr resvd2;
  VstInt32 initialDelay;
  VstInt32 realQualities;
  VstInt32 offQualities;
  float ioRatio;
  void* object;
  void* user;
  VstInt32 uniqueID;
  VstInt32 version;
  AEffectProcessProc processReplacing;
  AEffectProcessDoubleProc processDoubleReplacing;
  char future[56];
};

struct ERect {
  VstInt16 top, left, bottom, right;
};

struct VstEvent {
  VstInt32 type;
  VstInt32 byteSize;
  VstInt32 deltaFrames;
  VstInt32 flags;
  char data[16];
};

struct VstMidiEvent {
  VstInt32 type;
  VstInt32 byteSize;
  VstInt32 deltaFrames;
  VstInt32 flags;
  VstInt32 noteLength;
  VstInt32 noteOffset;
  char midiData[4];
  char detune;
  char noteOffVelocity;
  char reserved1;
  char reserved2;
};

struct VstMidiSysexEvent {
  VstInt32 type;
  VstInt32 byteSize;
  VstInt32 deltaFrames;
  VstInt32 flags;
  VstInt32 dumpBytes;
  VstIntPtr resvd1;
  char* sysexDump;
  VstIntPtr resvd2;
};

struct VstEvents {
  VstInt32 numEvents;
  VstIntPtr reserved;
  VstEvent* events[2];
};

struct VstTimeInfo {
  double samplePos;
  double sampleRate;
  double nanoSeconds;
  double ppqPos;
  double tempo;
  double barStartPos;
  double cycleStartPos;
  double cycleEndPos;
  VstInt32 timeSigNumerator;
  VstInt32 timeSigDenominator;
  VstInt32 smpteOffset;
  VstInt32 smpteFrameRate;
  VstInt32 samplesToNextClock;
  VstInt32 flags;
};

struct VstPinProperties {
  char label[64];
  VstInt32 flags;
  VstInt32 arrangementType;
  char shortLabel[8];
  char future[48];
};

struct VstSpeakerProperties {
  float azimuth;
  float elevation;
  float radius;
  float reserved;
  char name[64];
  VstInt32 type;
  char future[28];
};

struct VstSpeakerArrangement {
  VstInt32 type;
  VstInt32 numChannels;
  VstSpeakerProperties speakers[8];
};

struct MidiKeyName {
  VstInt32 thisProgramIndex;
  VstInt32 thisKeyNumber;
  char keyName[64];
  VstInt32 reserved;
  VstInt32 flags;
};

struct MidiProgramName {
  VstInt32 thisProgramIndex;
  char name[64];
  char midiProgram;
  char midiBankMsb;
  char midiBankLsb;
  char reserved;
  VstInt32 parentCategoryIndex;
  VstInt32 flags;
};

struct MidiProgramCategory {
  VstInt32 thisCategoryIndex;
  char name[64];
  VstInt32 parentCategoryIndex;
  VstInt32 flags;
};

struct VstParameterProperties {
  float stepFloat;
  float smallStepFloat;
  float largeStepFloat;
  char label[64];
  VstInt32 flags;
  VstInt32 minInteger;
  VstInt32 maxInteger;
  VstInt32 stepInteger;
  VstInt32 largeStepInteger;
  char shortLabel[8];
  VstInt16 displayIndex;
  VstInt16 category;
  VstInt16 numParametersInCategory;
  VstInt16 reserved;
  char categoryLabel[24];
  char future[16];
};

struct VstPatchChunkInfo {
  VstInt32 version;
  VstInt32 pluginUniqueID;
  VstInt32 pluginVersion;
  VstInt32 numElements;
  char future[48];
};

struct VstVariableIo {
  float** inputs;
  float** outputs;
  VstInt32 numSamplesInput;
  VstInt32 numSamplesOutput;
  VstInt32* numSamplesInputProcessed;
  VstInt32* numSamplesOutputProcessed;
};

struct VstKeyCode {
  VstInt32 character;
  unsigned char virt;
  unsigned char modifier;
};

}  // extern "C"

constexpr VstInt32 VstFourCC(char a, char b, char c, char d) {
  return static_cast<VstInt32>((static_cast<uint32_t>(static_cast<unsigned char>(a)) << 24) |
                               (static_cast<uint32_t>(static_cast<unsigned char>(b)) << 16) |
                               (static_cast<uint32_t>(static_cast<unsigned char>(c)) << 8) |
                               static_cast<uint32_t>(static_cast<unsigned char>(d)));
}

constexpr VstInt32 kEffectMagic = VstFourCC('V', 's', 't', 'P');
constexpr VstInt32 kEffectIdentify = VstFourCC('N', 'v', 'E', 'f');
constexpr VstInt32 kVstVersion = 2400;

// Preset file magics (stored big-endian in files).
constexpr VstInt32 cMagic = VstFourCC('C', 'c', 'n', 'K');
constexpr VstInt32 fMagic = VstFourCC('F', 'x', 'C', 'k');
constexpr VstInt32 bankMagic = VstFourCC('F', 'x', 'B', 'k');
constexpr VstInt32 chunkPresetMagic = VstFourCC('F', 'P', 'C', 'h');
constexpr VstInt32 chunkBankMagic = VstFourCC('F', 'B', 'C', 'h');

enum VstEventTypes : VstInt32 {
  kVstMidiType = 1,
  kVstAudioType = 2,
  kVstVideoType = 3,
  kVstParameterType = 4,
  kVstTriggerType = 5,
  kVstSysExType = 6,
};

enum VstMidiEventFlags : VstInt32 { kVstMidiEventIsRealtime = 1 };

enum VstAEffectFlags : VstInt32 {
  effFlagsHasEditor = 1,
  effFlagsHasClip = 2,
  effFlagsHasVu = 4,
  effFlagsCanMono = 8,
  effFlagsCanReplacing = 16,
  effFlagsProgramChunks = 32,
  effFlagsIsSynth = 256,
  effFlagsNoSoundInStop = 512,
  effFlagsExtIsAsync = 1024,
  effFlagsExtHasBuffer = 2048,
  effFlagsCanDoubleReplacing = 4096,
};

enum VstTimeInfoFlags : VstInt32 {
  kVstTransportChanged = 1,
  kVstTransportPlaying = 2,
  kVstTransportCycleActive = 4,
  kVstTransportRecording = 8,
  kVstAutomationWriting = 64,
  kVstAutomationReading = 128,
  kVstNanosValid = 256,
  kVstPpqPosValid = 512,
  kVstTempoValid = 1024,
  kVstBarsValid = 2048,
  kVstCyclePosValid = 4096,
  kVstTimeSigValid = 8192,
  kVstSmpteValid = 16384,
  kVstClockValid = 32768,
};

enum VstPinPropertiesFlags : VstInt32 {
  kVstPinIsActive = 1,
  kVstPinIsStereo = 2,
  kVstPinUseSpeaker = 4,
};

enum VstPlugCategory : VstInt32 {
  kPlugCategUnknown = 0,
  kPlugCategEffect = 1,
  kPlugCategSynth = 2,
  kPlugCategAnalysis = 3,
  kPlugCategMastering = 4,
  kPlugCategSpacializer = 5,
  kPlugCategRoomFx = 6,
  kPlugSurroundFx = 7,
  kPlugCategRestoration = 8,
  kPlugCategOfflineProcess = 9,
  kPlugCategShell = 10,
  kPlugCategGenerator = 11,
  kPlugCategMaxCount = 12,
};

enum VstSpeakerArrangementType : VstInt32 {
  kSpeakerArrUserDefined = -2,
  kSpeakerArrEmpty = -1,
  kSpeakerArrMono = 0,
  kSpeakerArrStereo = 1,
};

enum VstStringConstants : VstInt32 {
  kVstMaxProgNameLen = 24,
  kVstMaxParamStrLen = 8,
  kVstMaxVendorStrLen = 64,
  kVstMaxProductStrLen = 64,
  kVstMaxEffectNameLen = 32,
  kVstMaxNameLen = 64,
  kVstMaxLabelLen = 64,
  kVstMaxShortLabelLen = 8,
};

enum AEffectOpcodes : VstInt32 {
  effOpen = 0,
  effClose,
  effSetProgram,
  effGetProgram,
  effSetProgramName,
  effGetProgramName,
  effGetParamLabel,
  effGetParamDisplay,
  effGetParamName,
  effGetVu,
  effSetSampleRate,
  effSetBlockSize,
  effMainsChanged,
  effEditGetRect,
  effEditOpen,
  effEditClose,
  effEditDraw,
  effEditMouse,
  effEditKey,
  effEditIdle,
  effEditTop,
  effEditSleep,
  effIdentify,
  effGetChunk,
  effSetChunk,
  effProcessEvents,
  effCanBeAutomated,
  effString2Parameter,
  effGetNumProgramCategories,
  effGetProgramNameIndexed,
  effCopyProgram,
  effConnectInput,
  effConnectOutput,
  effGetInputProperties,
  effGetOutputProperties,
  effGetPlugCategory,
  effGetCurrentPosition,
  effGetDestinationBuffer,
  effOfflineNotify,
  effOfflinePrepare,
  effOfflineRun,
  effProcessVarIo,
  effSetSpeakerArrangement,
  effSetBlockSizeAndSampleRate,
  effSetBypass,
  effGetEffectName,
  effGetErrorText,
  effGetVendorString,
  effGetProductString,
  effGetVendorVersion,
  effVendorSpecific,
  effCanDo,
  effGetTailSize,
  effIdle,
  effGetIcon,
  effSetViewPosition,
  effGetParameterProperties,
  effKeysRequired,
  effGetVstVersion,
  effEditKeyDown,
  effEditKeyUp,
  effSetEditKnobMode,
  effGetMidiProgramName,
  effGetCurrentMidiProgram,
  effGetMidiProgramCategory,
  effHasMidiProgramsChanged,
  effGetMidiKeyName,
  effBeginSetProgram,
  effEndSetProgram,
  effGetSpeakerArrangement,
  effShellGetNextPlugin,
  effStartProcess,
  effStopProcess,
  effSetTotalSampleToProcess,
  effSetPanLaw,
  effBeginLoadBank,
  effBeginLoadProgram,
  effSetProcessPrecision,
  effGetNumMidiInputChannels,
  effGetNumMidiOutputChannels,
};

enum AudioMasterOpcodes : VstInt32 {
  audioMasterAutomate = 0,
  audioMasterVersion,
  audioMasterCurrentId,
  audioMasterIdle,
  audioMasterPinConnected,
  audioMasterUnused5,
  audioMasterWantMidi,
  audioMasterGetTime,
  audioMasterProcessEvents,
  audioMasterSetTime,
  audioMasterTempoAt,
  audioMasterGetNumAutomatableParameters,
  audioMasterGetParameterQuantization,
  audioMasterIOChanged,
  audioMasterNeedIdle,
  audioMasterSizeWindow,
  audioMasterGetSampleRate,
  audioMasterGetBlockSize,
  audioMasterGetInputLatency,
  audioMasterGetOutputLatency,
  audioMasterGetPreviousPlug,
  audioMasterGetNextPlug,
  audioMasterWillReplaceOrAccumulate,
  audioMasterGetCurrentProcessLevel,
  audioMasterGetAutomationState,
  audioMasterOfflineStart,
  audioMasterOfflineRead,
  audioMasterOfflineWrite,
  audioMasterOfflineGetCurrentPass,
  audioMasterOfflineGetCurrentMetaPass,
  audioMasterSetOutputSampleRate,
  audioMasterGetOutputSpeakerArrangement,
  audioMasterGetVendorString,
  audioMasterGetProductString,
  audioMasterGetVendorVersion,
  audioMasterVendorSpecific,
  audioMasterSetIcon,
  audioMasterCanDo,
  audioMasterGetLanguage,
  audioMasterOpenWindow,
  audioMasterCloseWindow,
  audioMasterGetDirectory,
  audioMasterUpdateDisplay,
  audioMasterBeginEdit,
  audioMasterEndEdit,
  audioMasterOpenFileSelector,
  audioMasterCloseFileSelector,
  audioMasterEditFile,
  audioMasterGetChunkFile,
  audioMasterGetInputSpeakerArrangement,
};

// Layout checks: a mismatch here means hosts would read garbage.
constexpr bool kVstIs32Bit = sizeof(void*) == 4;
static_assert(sizeof(VstInt32) == 4 && sizeof(VstIntPtr) == sizeof(void*), "VST integer sizes");
static_assert(sizeof(AEffect) == (kVstIs32Bit ? 144 : 192), "AEffect size");
static_assert(offsetof(AEffect, dispatcher) == (kVstIs32Bit ? 4 : 8), "AEffect.dispatcher");
static_assert(offsetof(AEffect, process) == (kVstIs32Bit ? 8 : 16), "AEffect.process");
static_assert(offsetof(AEffect, setParameter) == (kVstIs32Bit ? 12 : 24), "AEffect.setParameter");
static_assert(offsetof(AEffect, getParameter) == (kVstIs32Bit ? 16 : 32), "AEffect.getParameter");
static_assert(offsetof(AEffect, numPrograms) == (kVstIs32Bit ? 20 : 40), "AEffect.numPrograms");
static_assert(offsetof(AEffect, numParams) == (kVstIs32Bit ? 24 : 44), "AEffect.numParams");
static_assert(offsetof(AEffect, numInputs) == (kVstIs32Bit ? 28 : 48), "AEffect.numInputs");
static_assert(offsetof(AEffect, numOutputs) == (kVstIs32Bit ? 32 : 52), "AEffect.numOutputs");
static_assert(offsetof(AEffect, flags) == (kVstIs32Bit ? 36 : 56), "AEffect.flags");
static_assert(offsetof(AEffect, resvd1) == (kVstIs32Bit ? 40 : 64), "AEffect.resvd1");
static_assert(offsetof(AEffect, resvd2) == (kVstIs32Bit ? 44 : 72), "AEffect.resvd2");
static_assert(offsetof(AEffect, initialDelay) == (kVstIs32Bit ? 48 : 80), "AEffect.initialDelay");
static_assert(offsetof(AEffect, realQualities) == (kVstIs32Bit ? 52 : 84), "AEffect.realQualities");
static_assert(offsetof(AEffect, offQualities) == (kVstIs32Bit ? 56 : 88), "AEffect.offQualities");
static_assert(offsetof(AEffect, ioRatio) == (kVstIs32Bit ? 60 : 92), "AEffect.ioRatio");
static_assert(offsetof(AEffect, object) == (kVstIs32Bit ? 64 : 96), "AEffect.object");
static_assert(offsetof(AEffect, user) == (kVstIs32Bit ? 68 : 104), "AEffect.user");
static_assert(offsetof(AEffect, uniqueID) == (kVstIs32Bit ? 72 : 112), "AEffect.uniqueID");
static_assert(offsetof(AEffect, version) == (kVstIs32Bit ? 76 : 116), "AEffect.version");
static_assert(offsetof(AEffect, processReplacing) == (kVstIs32Bit ? 80 : 120), "AEffect.processReplacing");
static_assert(offsetof(AEffect, processDoubleReplacing) == (kVstIs32Bit ? 84 : 128),
              "AEffect.processDoubleReplacing");
static_assert(offsetof(AEffect, future) == (kVstIs32Bit ? 88 : 136), "AEffect.future");
static_assert(sizeof(VstEvents) == (kVstIs32Bit ? 16 : 32), "VstEvents size");
static_assert(offsetof(VstEvents, events) == (kVstIs32Bit ? 8 : 16), "VstEvents.events");
static_assert(sizeof(VstMidiSysexEvent) == (kVstIs32Bit ? 32 : 48), "VstMidiSysexEvent size");
static_assert(offsetof(VstMidiSysexEvent, sysexDump) == (kVstIs32Bit ? 24 : 32), "VstMidiSysexEvent.sysexDump");
static_assert(sizeof(VstVariableIo) == (kVstIs32Bit ? 24 : 40), "VstVariableIo size");

static_assert(sizeof(ERect) == 8, "ERect size");
static_assert(sizeof(VstEvent) == 32, "VstEvent size");
static_assert(sizeof(VstMidiEvent) == 32, "VstMidiEvent size");
static_assert(offsetof(VstMidiEvent, midiData) == 24, "VstMidiEvent.midiData");
static_assert(offsetof(VstMidiEvent, detune) == 28, "VstMidiEvent.detune");
static_assert(sizeof(VstTimeInfo) == 88, "VstTimeInfo size");
static_assert(offsetof(VstTimeInfo, timeSigNumerator) == 64, "VstTimeInfo.timeSigNumerator");
static_assert(offsetof(VstTimeInfo, flags) == 84, "VstTimeInfo.flags");
static_assert(sizeof(VstPinProperties) == 128, "VstPinProperties size");
static_assert(offsetof(VstPinProperties, flags) == 64, "VstPinProperties.flags");
static_assert(offsetof(VstPinProperties, shortLabel) == 72, "VstPinProperties.shortLabel");
static_assert(sizeof(VstSpeakerProperties) == 112, "VstSpeakerProperties size");
static_assert(offsetof(VstSpeakerProperties, type) == 80, "VstSpeakerProperties.type");
static_assert(sizeof(VstSpeakerArrangement) == 904, "VstSpeakerArrangement size");
static_assert(sizeof(MidiKeyName) == 80, "MidiKeyName size");
static_assert(offsetof(MidiKeyName, keyName) == 8, "MidiKeyName.keyName");
static_assert(sizeof(MidiProgramName) == 80, "MidiProgramName size");
static_assert(sizeof(MidiProgramCategory) == 76, "MidiProgramCategory size");
static_assert(sizeof(VstParameterProperties) == 152, "VstParameterProperties size");
static_assert(offsetof(VstParameterProperties, displayIndex) == 104, "VstParameterProperties.displayIndex");
static_assert(offsetof(VstParameterProperties, categoryLabel) == 112, "VstParameterProperties.categoryLabel");
static_assert(sizeof(VstPatchChunkInfo) == 64, "VstPatchChunkInfo size");
static_assert(sizeof(VstKeyCode) == 8, "VstKeyCode size");

static_assert(kEffectMagic == 0x56737450, "kEffectMagic");
static_assert(kEffectIdentify == 0x4E764566, "kEffectIdentify");
static_assert(effGetMidiKeyName == 66 && effGetSpeakerArrangement == 69 && effGetNumMidiOutputChannels == 79,
              "dispatcher opcodes");
static_assert(effVendorSpecific == 50 && effCanDo == 51 && effGetVstVersion == 58, "dispatcher opcodes");
static_assert(audioMasterEndEdit == 44 && audioMasterGetInputSpeakerArrangement == 49 &&
                  audioMasterGetProductString == 33 && audioMasterProcessEvents == 8,
              "host opcodes");
