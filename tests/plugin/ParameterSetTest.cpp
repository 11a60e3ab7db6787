// Cyclochord's identity and parameter set as a host sees them, and what each parameter does to the notes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "CyclochordSession.h"
#include "IStateChunk.h"

TEST(ParameterSet, TheHostSeesCyclochordsIdentity) {
  CyclochordSession s;
  AEffect* effect = s.host.Effect();
  EXPECT_EQ(effect->numParams, 42);
  EXPECT_EQ(effect->numPrograms, 6);
  EXPECT_EQ(effect->numInputs, 2);
  EXPECT_EQ(effect->numOutputs, 2);
  EXPECT_EQ(effect->uniqueID, VstFourCC('l', 's', 'C', 'c'));
  EXPECT_EQ(effect->version, 10000);
  EXPECT_EQ(effect->flags, 0x1139);
  EXPECT_EQ(s.host.Dispatch(effGetPlugCategory), 2);
  char text[256] = {};
  s.host.Dispatch(effGetEffectName, 0, 0, text);
  EXPECT_STREQ(text, "Cyclochord");
  s.host.Dispatch(effGetVendorString, 0, 0, text);
  EXPECT_STREQ(text, "Larkspire");
  EXPECT_EQ(s.plug->NParams(), 46);
}

TEST(ParameterSet, EveryParameterHasItsNameRangeDefaultAndTexts) {
  CyclochordSession s;
  struct Row {
    int idx;
    const char* name;
    double min, max, value;
    const char* display;
  } rows[] = {
      {0, "", 0, 1, 0, "0"},           {1, "MainMute", 0, 1, 0, "off"}, {2, "MainChan", 1, 16, 1, "1"},
      {3, "MnDelay", 0, 16, 0, "--off--"}, {4, "", 0, 1, 0, "0"},         {7, "ParVel", -30, 30, 0, "0"},
      {8, "ParInt", -24, 24, 0, "0"},  {9, "pDelay", 0, 16, 0, "--off--"}, {10, "", 0, 1, 0, "0"},
      {17, "v1Int4", -24, 24, 0, "0"}, {21, "v1Mute4", 0, 1, 0, "off"},  {22, "v1algo", 0, 4, 0, "Up"},
      {24, "", 0, 1, 0, "0"},          {36, "v2algo", 0, 4, 0, "Up"},    {37, "v2Delay", 0, 16, 0, "--off--"},
      {38, "Snap", 0, 1, 0, "off"},    {39, "Scale", 0, 4, 0, "Major"},  {40, "Tonic", 0, 11, 0, "C"},
      {41, "Human", 0, 1, 0, "0"},     {42, "PresetLoad", 0, 1, 0, "0"}, {45, "FileSelect", 0, 1, 0, "0"},
  };
  for (const Row& row : rows) {
    const IParameter* param = s.plug->GetParam(row.idx);
    EXPECT_EQ(s.host.ParamName(row.idx), row.name) << row.idx;
    EXPECT_EQ(param->Min(), row.min) << row.idx;
    EXPECT_EQ(param->Max(), row.max) << row.idx;
    EXPECT_EQ(param->Value(), row.value) << row.idx;
    EXPECT_EQ(s.host.ParamDisplay(row.idx), row.display) << row.idx;
  }
  std::vector<std::string> names;
  for (int i = 0; i < 46; ++i) names.push_back(s.host.ParamName(i));
  for (int i = 0; i < 46; ++i) {
    for (int j = i + 1; j < 46; ++j) {
      if (names[size_t(i)].empty()) continue;
      EXPECT_NE(names[size_t(i)], names[size_t(j)]) << i << " " << j;
    }
  }

  const struct {
    int idx;
    double value;
    const char* display;
  } texts[] = {{3, 16, "1/32t"}, {9, 7, "1/2t"}, {36, 4, "Random"}, {39, 4, "Chrom"}, {40, 11, "B"},
               {40, 1, "C#"},    {5, 1, "on"},   {41, 0.256, "0.26"}, {26, 16, "16"}, {27, -30, "-30"}};
  for (const auto& t : texts) {
    s.Set(t.idx, t.value);
    EXPECT_EQ(s.host.ParamDisplay(t.idx), t.display) << t.idx;
  }
}

TEST(ParameterSet, ChannelsOneToSixteenBecomeOutputChannelsZeroToFifteen) {
  CyclochordSession s;
  s.MainOnly();
  s.Set(kMainChan, 16);
  s.NoteOn(60, 100, 0);
  s.Set(kMainChan, 1);
  s.NoteOn(61, 100, 0);
  const std::vector<MidiEvent> out = s.Run();
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].status, 0x9F);
  EXPECT_EQ(out[1].status, 0x90);
}

TEST(ParameterSet, DelaysFollowTheSampleRateWithoutBeingTouched) {
  CyclochordSession s;
  s.MainOnly();
  s.Set(kMnDelay, 5);
  s.host.Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);  // 1/4 is now 24000 samples
  s.NoteOn(60, 100, 0);
  EXPECT_EQ(Evs(s.Run(47)), (std::vector<Ev>{{46, 448, 0x90, 60, 100}}));
  s.Set(kMnDelay, 16);  // 1/32t: 24000 / 24
  s.NoteOn(61, 100, 0);
  EXPECT_EQ(Evs(s.Run(2)), (std::vector<Ev>{{48, 488, 0x90, 61, 100}}));
}

TEST(ParameterSet, AStoredChunkRestoresEveryValueAndRunsEveryHandler) {
  CyclochordSession s;
  s.MainOnly();
  s.Set(kMainChan, 9);
  s.Set(kSnap, 1);
  void* data = nullptr;
  const VstIntPtr size = s.host.Dispatch(effGetChunk, 0, 0, &data);
  ASSERT_EQ(size, 344);
  std::vector<char> chunk(static_cast<const char*>(data), static_cast<const char*>(data) + size);

  CyclochordSession t;
  ASSERT_EQ(t.host.Dispatch(effSetChunk, 0, size, chunk.data()), 1);
  EXPECT_EQ(t.Get(kMainChan), 9);
  t.NoteOn(61, 100, 0);
  EXPECT_EQ(Evs(t.Run()), (std::vector<Ev>{{0, 0, 0x98, 62, 100}}));
}

TEST(ParameterSet, FileSelectComesBackToRestAndInternalParametersDoNothing) {
  CyclochordSession s;
  s.host.SetParameter(kFileSelect, 1.0f);
  EXPECT_EQ(s.host.GetParameter(kFileSelect), 0.0f);
  s.host.SetParameter(kPresetLoad, 1.0f);
  EXPECT_EQ(s.Get(kPresetLoad), 1.0);
}

TEST(ParameterSet, ReservedInternalAndHumanParametersLeaveTheNotesAlone) {
  auto session = [](bool touch) {
    CyclochordSession s;
    s.Set(kParInt, 5);
    s.Set(kV1Int1 + 2, -3);
    s.Set(kV2Delay, 9);
    if (touch) {
      for (int idx : {kReserved0, kReserved4, kReserved10, kReserved24, kPresetLoad, kPresetSave, kScaleLoad})
        s.host.SetParameter(idx, 1.0f);
      s.Set(kHuman, 1.0);
    }
    for (int i = 0; i < 20; ++i) {
      s.NoteOn(50 + i % 7, 90, 17 * i);
      s.NoteOff(50 + (i + 3) % 7, 400);
      s.Run();
    }
    return Evs(s.Run(30));
  };
  const std::vector<Ev> plain = session(false);
  EXPECT_GT(plain.size(), 10u);
  EXPECT_EQ(session(true), plain);
}
