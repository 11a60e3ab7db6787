// A small LV2 host on lilv for tests: finds a plug-in by URI in one bundle, runs it cycle by cycle with MIDI
// and time:Position atoms, and saves and restores its state the way lilv-based hosts do.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <lilv/lilv.h>
#include <lv2/atom/forge.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

struct HostEvent {
  int64_t mFrame;  // from the start of the session
  std::vector<uint8_t> mBytes;
  bool operator==(const HostEvent& o) const { return mFrame == o.mFrame && mBytes == o.mBytes; }
};
void PrintTo(const HostEvent& e, std::ostream* os);

struct HostPosition {
  double mFrame;
  double mSpeed;
  double mTempo;
};

// URIs to numbers and back, for a host and everything it loads.
class UridMap {
 public:
  UridMap();
  LV2_URID Map(const char* uri);
  const char* Unmap(LV2_URID urid);
  LV2_URID_Map* MapFeature() { return &mMap; }
  LV2_URID_Unmap* UnmapFeature() { return &mUnmap; }

 private:
  std::mutex mLock;
  std::map<std::string, LV2_URID> mIds;
  std::vector<std::string> mUris;
  LV2_URID_Map mMap;
  LV2_URID_Unmap mUnmap;
};

class LilvHost {
 public:
  // bundleDir ends in '/'. Instantiate gives null on failure, with Error() saying why.
  LilvHost(const std::string& bundleDir, const char* pluginUri);
  ~LilvHost();
  LilvHost(const LilvHost&) = delete;
  LilvHost& operator=(const LilvHost&) = delete;

  const std::string& Error() const { return mError; }
  LilvWorld* World() const { return mWorld; }
  const LilvPlugin* Plugin() const { return mPlugin; }
  UridMap& Urids() { return mUrids; }

  // Each instance of the plug-in with its own ports; maxBlock goes to the plug-in as buf-size:maxBlockLength.
  class Instance {
   public:
    Instance(LilvHost* host, double sampleRate, int maxBlock, bool withMap = true);
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;
    bool Ok() const { return mInstance != nullptr; }
    LilvInstance* Get() const { return mInstance; }

    int ControlIndex(const std::string& symbol) const;
    void SetControl(const std::string& symbol, float value);
    float Control(const std::string& symbol) const;
    // Queued for the next cycle at a time inside it, in the order given.
    void AddPosition(int64_t time, const HostPosition& position);
    void AddMidi(int64_t time, const std::vector<uint8_t>& bytes);
    // One run() of frames; what the plug-in sent, stamped with the session frame.
    std::vector<HostEvent> Run(uint32_t frames);
    int64_t Frames() const { return mFrames; }

    LilvState* SaveState();
    void RestoreState(const LilvState* state);

   private:
    static const void* GetPortValue(const char* symbol, void* user, uint32_t* size, uint32_t* type);
    static void SetPortValue(const char* symbol, void* user, const void* value, uint32_t size, uint32_t type);
    void BeginInput();

    LilvHost* mHost;
    LilvInstance* mInstance = nullptr;
    int32_t mMaxBlock;
    std::vector<float> mControls;
    std::map<std::string, int> mControlIndex;
    std::vector<uint64_t> mIn, mOut;  // 8-byte aligned atom buffers
    LV2_Atom_Forge mForge;
    LV2_Atom_Forge_Frame mSequenceFrame;
    int64_t mFrames = 0;
    LV2_Options_Option mOptions[2];
    LV2_Feature mMapFeature, mUnmapFeature, mOptionsFeature;
    const LV2_Feature* mFeatures[4];
  };

 private:
  UridMap mUrids;
  LilvWorld* mWorld = nullptr;
  const LilvPlugin* mPlugin = nullptr;
  std::string mError;
};
