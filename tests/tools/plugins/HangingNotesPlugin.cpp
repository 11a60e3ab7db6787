// A misbehaving plug-in for the host's tests: passes MIDI through but swallows every note-off of
// middle C (note 60), so those notes hang.
#include "IPluginBase.h"
#include "VstEntry.h"

namespace {
class HangingNotesPlugin : public IPluginBase {
 public:
  HangingNotesPlugin()
      : IPluginBase(0, "0-0", 1, "HangingNotes", "HangingNotes", "CyclochordTests", 0x10000,
                   VstFourCC('h', 'n', 'g', 'N'), VstFourCC('c', 'c', 't', 's'), 0, true, false, false) {}

  void ProcessMidiMessage(IMidiMessage* msg) override {
    const bool noteOff = msg->StatusKind() == IMidiMessage::kNoteOff ||
                         (msg->StatusKind() == IMidiMessage::kNoteOn && msg->mData2 == 0);
    if (noteOff && msg->mData1 == 60) return;
    SendMidiMessage(msg);
  }
};
}  // namespace

IPluginBase* CreatePluginInstance() { return new HangingNotesPlugin(); }
