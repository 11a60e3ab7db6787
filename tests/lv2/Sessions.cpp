#include "Sessions.h"

#include <algorithm>
#include <map>
#include <ostream>

namespace {
std::vector<uint8_t> On(int note, int velocity, int channel = 0) {
  return {static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(note), static_cast<uint8_t>(velocity)};
}
std::vector<uint8_t> Off(int note, int channel = 0) {
  return {static_cast<uint8_t>(0x80 | channel), static_cast<uint8_t>(note), 64};
}

std::vector<int> Cycles(int count, int frames) { return std::vector<int>(static_cast<size_t>(count), frames); }

// Every voice sounding, with delays that cross cycles and a scale to snap to.
std::vector<SessionParam> FullVoicing() {
  return {{0, "ParInt", 7},   {0, "ParChan", 2},  {0, "ParVel", -10}, {0, "pDelay", 5},    {0, "v1Chan", 3},
          {0, "v1Int1", 0},   {0, "v1Int2", 4},   {0, "v1Int3", 7},   {0, "v1Int4", 12},   {0, "v1Delay", 8},
          {0, "v1Vel", 5},    {0, "v2Chan", 4},   {0, "v2Int1", -12}, {0, "v2Int2", -5},   {0, "v2Int3", 3},
          {0, "v2Int4", 5},   {0, "v2algo", 3},   {0, "v2Delay", 13}, {0, "v1Mute3", 1},   {0, "Snap", 1},
          {0, "Scale", 2},    {0, "Tonic", 2},    {0, "MnDelay", 16}};
}

// A small deterministic generator, so the long sessions are the same on every run.
class Lcg {
 public:
  explicit Lcg(uint32_t seed) : mState(seed) {}
  int Next(int n) {
    mState = mState * 1664525u + 1013904223u;
    return static_cast<int>((mState >> 8) % static_cast<uint32_t>(n));
  }

 private:
  uint32_t mState;
};

// Notes of random length at random frames, some keys struck again before their release, some released by a
// note-on of velocity 0.
void AddRandomNotes(Session* s, uint32_t seed, int count, int64_t start, int64_t end) {
  Lcg rng(seed);
  for (int i = 0; i < count; ++i) {
    const int64_t on = start + rng.Next(static_cast<int>(end - start));
    const int64_t off = on + 1 + rng.Next(30000);
    const int note = 36 + rng.Next(48);
    s->mMidi.push_back({on, On(note, 1 + rng.Next(127))});
    s->mMidi.push_back({off, rng.Next(4) == 0 ? On(note, 0) : Off(note)});
  }
}
}  // namespace

std::vector<Session> ComparisonSessions() {
  std::vector<Session> sessions;

  Session voices{"voices delays and snapping", 512, Cycles(96, 512), {{0, {48000, 1, 120}}}, {}, FullVoicing()};
  voices.mMidi = {{100, On(60, 100)},        {2000, On(64, 90)},           {6000, Off(60)},
                  {6000, On(67, 80)},        {9000, On(60, 0)},            {9001, Off(64)},
                  {12000, {0xE0, 0, 80}},    {12000, On(62, 70)},          {13000, On(62, 75)},
                  {15000, {0xB0, 7, 100}},   {15500, Off(62)},             {20000, On(72, 127)},
                  {20480, {0xB1, 123, 0}},   {22000, {0xC0, 5}},           {25000, Off(72)},
                  {30000, {0xD0, 40}},       {30000, On(48, 60, 5)},       {40000, Off(48, 5)}};
  sessions.push_back(voices);

  Session stops{"stop locate loop and tempo", 512, Cycles(80, 512), {}, {}, FullVoicing()};
  stops.mTransport = {{0, {0, 1, 100}},
                      {5120, {5120, 0, 100}},          // stop with delayed notes pending
                      {7168, {96000, 1, 100}},         // start somewhere else
                      {12288, {90000, 1, 100}},        // loop back
                      {15000, {92712, 1, 140}},        // tempo change inside a cycle
                      {20480, {400000, 1, 60}},        // locate and slow down
                      {30000, {409520, 0.0, 60}}};     // stop inside a cycle
  AddRandomNotes(&stops, 7, 60, 0, 38000);
  sessions.push_back(stops);

  Session sizes{"cycles of every size and longer than the block", 256, {}, {{0, {1000, 1, 133}}}, {}, FullVoicing()};
  sizes.mCycles = {1, 17, 256, 257, 1000, 3, 700, 2048, 4096, 5, 255, 512, 1999, 64, 3000, 8000, 128, 9};
  AddRandomNotes(&sizes, 11, 120, 0, 24000);
  // Right on the plug-in's block boundaries inside a long cycle.
  sizes.mMidi.push_back({531, On(50, 90)});
  sizes.mMidi.push_back({787, Off(50)});
  sessions.push_back(sizes);

  Session automation{"automation between cycles", 1024, Cycles(120, 1024), {{0, {0, 1, 128}}}, {}, FullVoicing()};
  AddRandomNotes(&automation, 23, 150, 0, 118000);
  Lcg rng(5);
  const char* const kAutomated[] = {"v1algo", "v2algo", "v1Delay", "MainMute", "ParChan", "v2Int2", "Snap", "Tonic"};
  const int kRanges[] = {5, 5, 17, 2, 16, 49, 2, 12};
  std::map<std::string, float> current;
  for (const SessionParam& p : automation.mParams) current[p.mName] = p.mValue;
  for (int64_t cycle = 4; cycle < 120; cycle += 3) {
    const int which = rng.Next(8);
    float value = static_cast<float>(rng.Next(kRanges[which]));
    if (which == 4) value += 1.0f;
    if (which == 5) value -= 24.0f;
    // A control port that keeps its value tells the plug-in nothing, where a VST host may send the same
    // value again (and so restart a rotation): only real changes are compared.
    if (current.count(kAutomated[which]) ? current[kAutomated[which]] == value : value == 0.0f) continue;
    current[kAutomated[which]] = value;
    automation.mParams.push_back({cycle * 1024, kAutomated[which], value});
  }
  sessions.push_back(automation);
  // Hosts deliver in time order; at one frame, in the order written here.
  for (Session& s : sessions)
    std::stable_sort(s.mMidi.begin(), s.mMidi.end(),
                     [](const SessionMidi& a, const SessionMidi& b) { return a.mFrame < b.mFrame; });
  return sessions;
}

void PrintTo(const Session& session, std::ostream* os) { *os << session.mName; }
