// The tests' VST host with Cyclochord loaded and switched on for a fuzz target: every note event the plug-in
// sends is checked as it arrives, and the notes it leaves sounding are kept for the check at the end.
#pragma once

#include "FuzzFail.h"
#include "TestHost.h"

class CheckedHost : public TestHost {
 public:
  CheckedHost();
  // Fails the run with a message when a note still sounds after a stopped block.
  void StopAndCheckSilence();

 private:
  void Check(const VstEvent& event);

  bool mSounding[16][128] = {};
};
