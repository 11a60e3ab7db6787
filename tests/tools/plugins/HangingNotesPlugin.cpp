// A misbehaving plug-in for the host's tests: passes MIDI through but swallows every note-off of
// middle C (note 60), so those notes hang.
#include "IPluginVST.h"

namespace {
class HangingNotesPlugin : public IPluginVST {
 public:
  explicit HangingNotesPlugin(audioMasterCallback host)
      : IPluginVST(host, 0, "0-0", 1, "HangingNotes", "HangingNotes", "CyclochordTests", 0x10000,
                   VstFourCC('h', 'n', 'g', 'N'), VstFourCC('c', 'c', 't', 's'), 0, true, false, false) {}

  void ProcessMidiMessage(IMidiMessage* msg) override {
    const bool noteOff = msg->StatusKind() == IMidiMessage::kNoteOff ||
                         (msg->StatusKind() == IMidiMessage::kNoteOn && msg->mData2 == 0);
    if (noteOff && msg->mData1 == 60) return;
    SendMidiMessage(msg);
  }
};
}  // namespace

IPluginVST* CreatePluginInstance(audioMasterCallback host) { return new HangingNotesPlugin(host); }
