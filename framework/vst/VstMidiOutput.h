// The wrapper's MIDI output: what the plug-in sends during a processing call goes to the host in one
// audioMasterProcessEvents call at its end; what it sends outside one is held for the next.
#pragma once

#include <memory>
#include <vector>

#include "IMidiMessage.h"
#include "VstAbi.h"

class VstMidiOutput {
 public:
  // Events per host call: a transport stop may end every note on every channel in one block.
  static constexpr int kCapacity = 2048;
  // Events, and SysEx bytes, held between processing calls.
  static constexpr int kHeldCapacity = 512;
  static constexpr int kHeldSysExBytes = 65536;

  VstMidiOutput(audioMasterCallback hostCallback, AEffect* effect);

  // [audio thread, under the plug-in lock] Brackets one processing call of the given frame count.
  void BeginCall(int frames);
  void EndCall();

  // Inside a processing call of at least one frame the message joins this call's list, its offset clamped into
  // the call; otherwise it is held for the next such call. Returns false only when the host refused it at once.
  bool Send(const IMidiMessage& msg);
  // The same for a run of messages in time order.
  bool SendAll(const IMidiMessage* msgs, int count);
  // Any VstEvent, passed through the same way. Outside a processing call it is copied, a SysEx dump into held
  // storage, since the host's memory is only valid during the call that delivered it.
  bool Forward(const VstEvent& event);

 private:
  union Slot {
    VstEvent mEvent;
    VstMidiEvent mMidi;
    VstMidiSysexEvent mSysEx;
  };
  // The VstEvents layout with room for N pointers; the host reads numEvents of them.
  template <int N>
  struct EventList {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[N];
  };

  bool Collecting() const { return mInCall && mFrames > 0; }
  int32_t Clamp(int32_t offset) const;
  Slot& NextSlot();
  Slot& NextHeld(int32_t offset);
  void Append(const Slot& slot);
  static void WriteMidi(Slot& slot, const IMidiMessage& msg, int32_t offset);
  void DrainHeldUpTo(int32_t offset);
  void DrainAllHeld();
  bool SendHeldNow();
  bool SendNow(VstEvents* events);
  void Flush();

  audioMasterCallback mHostCallback;
  AEffect* mEffect;
  bool mInCall = false;
  int mFrames = 0;

  std::vector<Slot> mSlots;
  std::unique_ptr<EventList<kCapacity>> mList;

  std::vector<Slot> mHeld;
  std::unique_ptr<EventList<kHeldCapacity>> mHeldList;
  int mHeldCount = 0;
  int mHeldNext = 0;  // the first held event not yet in this call's list
  std::vector<char> mSysExBytes;
  size_t mSysExUsed = 0;
};
