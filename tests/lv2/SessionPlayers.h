// Plays a session through the LV2 build (one run() per host cycle) and through the VST build (one block per
// stretch the LV2 wrapper runs as a block: split where the transport changes and at the plug-in's block size).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "LilvHost.h"
#include "Sessions.h"
#include "TestHost.h"

struct PlayResult {
  std::vector<HostEvent> mEvents;
  std::string mError;
};

// prepare, when given, runs on the new instance before its first cycle (a preset to load, say).
PlayResult PlayLV2(LilvHost* host, const Session& session, double sampleRate,
                   const std::function<void(LilvHost::Instance&)>& prepare = {});
PlayResult PlayVst(const std::string& modulePath, LilvHost* lv2Ranges, const Session& session, double sampleRate,
                   const std::function<void(TestHost&)>& prepare = {});
