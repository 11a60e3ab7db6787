#include "VstMidiOutput.h"

#include <algorithm>
#include <cstring>

VstMidiOutput::VstMidiOutput(audioMasterCallback hostCallback, AEffect* effect)
    : mHostCallback(hostCallback),
      mEffect(effect),
      mSlots(kCapacity),
      mList(new EventList<kCapacity>()),
      mHeld(kHeldCapacity),
      mHeldList(new EventList<kHeldCapacity>()),
      mSysExBytes(kHeldSysExBytes) {
  static_assert(offsetof(EventList<kCapacity>, events) == offsetof(VstEvents, events), "VstEvents layout");
  static_assert(offsetof(EventList<kHeldCapacity>, events) == offsetof(VstEvents, events), "VstEvents layout");
  // The slots never move, so every list entry is set once.
  for (int i = 0; i < kCapacity; ++i) mList->events[i] = &mSlots[size_t(i)].mEvent;
  for (int i = 0; i < kHeldCapacity; ++i) mHeldList->events[i] = &mHeld[size_t(i)].mEvent;
}

void VstMidiOutput::BeginCall(int frames) {
  mInCall = true;
  mFrames = std::max(frames, 0);
  mList->numEvents = 0;
}

void VstMidiOutput::EndCall() {
  // A call without frames has no offset to put anything at: what is held waits for the next one.
  if (mFrames > 0) {
    DrainAllHeld();
    Flush();
    mHeldCount = mHeldNext = 0;
    mSysExUsed = 0;
  }
  mInCall = false;
  mFrames = 0;
}

int32_t VstMidiOutput::Clamp(int32_t offset) const { return std::min(std::max(offset, 0), mFrames - 1); }

VstMidiOutput::Slot& VstMidiOutput::NextSlot() {
  if (mList->numEvents == kCapacity) Flush();  // nothing is dropped: the full list goes out first
  return mSlots[size_t(mList->numEvents++)];
}

void VstMidiOutput::Append(const Slot& slot) {
  Slot& out = NextSlot();
  out = slot;
  out.mEvent.deltaFrames = Clamp(slot.mEvent.deltaFrames);
}

// Written in place, the status and data bytes in one store: bytes stored one by one and then copied as a whole
// event stall the copy.
void VstMidiOutput::WriteMidi(Slot& slot, const IMidiMessage& msg, int32_t offset) {
  slot.mMidi = VstMidiEvent();
  slot.mMidi.type = kVstMidiType;
  slot.mMidi.byteSize = sizeof(VstMidiEvent);
  slot.mMidi.deltaFrames = offset;
  const unsigned char bytes[4] = {msg.mStatus, msg.mData1, msg.mData2, 0};
  std::memcpy(slot.mMidi.midiData, bytes, sizeof(bytes));
}

// Held events were delivered before anything the plug-in sends in this call, so at one offset they go first.
void VstMidiOutput::DrainHeldUpTo(int32_t offset) {
  while (mHeldNext < mHeldCount && Clamp(mHeld[size_t(mHeldNext)].mEvent.deltaFrames) <= offset)
    Append(mHeld[size_t(mHeldNext++)]);
}

void VstMidiOutput::DrainAllHeld() {
  while (mHeldNext < mHeldCount) Append(mHeld[size_t(mHeldNext++)]);
}

void VstMidiOutput::Flush() {
  if (mList->numEvents > 0) SendNow(reinterpret_cast<VstEvents*>(mList.get()));
  mList->numEvents = 0;
}

bool VstMidiOutput::SendNow(VstEvents* events) {
  return mHostCallback && mHostCallback(mEffect, audioMasterProcessEvents, 0, 0, events, 0.0f) == 1;
}

// The held list is full: its events go to the host at once, oldest first, rather than being dropped. A host
// that collects output only during processing may lose them, but their order is kept. Held events are only
// taken out of the list by a processing call, which empties it, so here the list always starts at entry 0.
bool VstMidiOutput::SendHeldNow() {
  mHeldList->numEvents = mHeldCount;
  const bool sent = mHeldCount == 0 || SendNow(reinterpret_cast<VstEvents*>(mHeldList.get()));
  mHeldCount = mHeldNext = 0;
  mSysExUsed = 0;
  return sent;
}

// Hosts need not list a block's events in time order, but the list handed back must be: a held event takes its
// place by offset, behind those of equal offset.
VstMidiOutput::Slot& VstMidiOutput::NextHeld(int32_t offset) {
  if (mHeldCount == kHeldCapacity) SendHeldNow();
  auto first = mHeld.begin() + mHeldNext, last = mHeld.begin() + mHeldCount;
  auto at = std::upper_bound(first, last, offset, [](int32_t o, const Slot& slot) { return o < slot.mEvent.deltaFrames; });
  std::move_backward(at, last, last + 1);
  ++mHeldCount;
  return *at;
}

bool VstMidiOutput::Send(const IMidiMessage& msg) {
  if (!Collecting()) {
    WriteMidi(NextHeld(msg.mOffset), msg, msg.mOffset);
    return true;
  }
  const int32_t offset = Clamp(msg.mOffset);
  DrainHeldUpTo(offset);
  WriteMidi(NextSlot(), msg, offset);
  return true;
}

bool VstMidiOutput::SendAll(const IMidiMessage* msgs, int count) {
  // With nothing held left to merge in, a block's notes go straight into the list.
  if (Collecting() && mHeldNext == mHeldCount) {
    for (int i = 0; i < count; ++i) WriteMidi(NextSlot(), msgs[i], Clamp(msgs[i].mOffset));
    return true;
  }
  bool allSent = true;
  for (int i = 0; i < count; ++i) allSent = Send(msgs[i]) && allSent;
  return allSent;
}

bool VstMidiOutput::Forward(const VstEvent& event) {
  Slot slot;
  if (event.type == kVstSysExType)
    slot.mSysEx = reinterpret_cast<const VstMidiSysexEvent&>(event);
  else
    slot.mEvent = event;
  if (Collecting()) {
    // Sent from the plug-in's own processing: its dump is valid now, so the list goes out now, in order.
    DrainHeldUpTo(Clamp(event.deltaFrames));
    Append(slot);
    if (event.type == kVstSysExType) Flush();
    return true;
  }
  if (event.type == kVstSysExType) {
    const VstInt32 size = slot.mSysEx.dumpBytes;
    if (size < 0 || (size > 0 && !slot.mSysEx.sysexDump) || size > kHeldSysExBytes) {
      // Too big (or too odd) to copy: handed back at once, after what is held, as before holding existed.
      SendHeldNow();
      EventList<2> one = {1, 0, {const_cast<VstEvent*>(&event), nullptr}};
      return SendNow(reinterpret_cast<VstEvents*>(&one));
    }
    if (mSysExUsed + size_t(size) > mSysExBytes.size()) SendHeldNow();
    if (size > 0) std::memcpy(&mSysExBytes[mSysExUsed], slot.mSysEx.sysexDump, size_t(size));
    slot.mSysEx.sysexDump = &mSysExBytes[mSysExUsed];
    mSysExUsed += size_t(size);
  }
  NextHeld(slot.mEvent.deltaFrames) = slot;
  return true;
}
