// Sessions played through both builds of Cyclochord: cycles of a host, its transport, MIDI and parameter
// changes, all at frames counted from the session's start.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "LilvHost.h"

struct SessionMidi {
  int64_t mFrame;
  std::vector<uint8_t> mBytes;
};

struct SessionTransport {
  int64_t mFrame;  // where in the session the host reports it
  HostPosition mPosition;
};

struct SessionParam {
  int64_t mFrame;  // a cycle's first frame: hosts change controls between cycles
  std::string mName;
  float mValue;  // the real value, as a control port holds it
};

struct Session {
  const char* mName;
  int mMaxBlock;
  std::vector<int> mCycles;
  std::vector<SessionTransport> mTransport;
  std::vector<SessionMidi> mMidi;
  std::vector<SessionParam> mParams;
};

void PrintTo(const Session& session, std::ostream* os);

// The sessions of the comparison, from small hand-made ones to long generated ones.
std::vector<Session> ComparisonSessions();
