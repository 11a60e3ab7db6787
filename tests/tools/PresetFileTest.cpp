// Preset files: the byte layout of program files, round trips, banks, and refusal of bad files.
#include <gtest/gtest.h>

#include "PresetFile.h"
#include "VstAbi.h"

using namespace cchost;

namespace {
uint32_t At(const std::vector<uint8_t>& b, size_t offset) {
  return (uint32_t(b[offset]) << 24) | (uint32_t(b[offset + 1]) << 16) | (uint32_t(b[offset + 2]) << 8) |
         b[offset + 3];
}

bool Read(const std::vector<uint8_t>& bytes, FxProgram* program, std::string* error) {
  PresetKind kind;
  FxBankInfo bank;
  const bool ok = ReadPresetFile(bytes, &kind, program, &bank, error);
  EXPECT_EQ(kind, PresetKind::kProgram);
  return ok;
}
}  // namespace

TEST(PresetFile, ParameterProgramHasTheDocumentedLayout) {
  FxProgram p;
  p.pluginId = VstFourCC('l', 's', 'C', 'c');
  p.pluginVersion = 0x10000;
  p.numParams = 2;
  p.name = "Echo";
  p.params = {0.5f, 1.0f};
  const std::vector<uint8_t> b = WriteProgramFile(p);
  ASSERT_EQ(b.size(), 56u + 8u);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "CcnK");
  EXPECT_EQ(At(b, 4), b.size() - 8);
  EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 12), "FxCk");
  EXPECT_EQ(At(b, 12), 1u);
  EXPECT_EQ(std::string(b.begin() + 16, b.begin() + 20), "lsCc");
  EXPECT_EQ(At(b, 20), 0x10000u);
  EXPECT_EQ(At(b, 24), 2u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[28])), "Echo");
  EXPECT_EQ(At(b, 56), 0x3F000000u);  // 0.5f, big-endian
  EXPECT_EQ(At(b, 60), 0x3F800000u);
}

TEST(PresetFile, ChunkProgramRoundTrips) {
  FxProgram p;
  p.opaqueChunk = true;
  p.pluginId = 0x12345678;
  p.pluginVersion = 7;
  p.numParams = 42;
  p.name = "a name that is far too long for the field";
  p.chunk = {0x74, 0x66, 0x66, 0x70, 0, 0, 1, 0, 0xFF};
  const std::vector<uint8_t> b = WriteProgramFile(p);
  EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 12), "FPCh");
  EXPECT_EQ(At(b, 56), 9u);
  EXPECT_EQ(b.size(), 60u + 9u);
  FxProgram back;
  std::string error;
  ASSERT_TRUE(Read(b, &back, &error)) << error;
  EXPECT_TRUE(back.opaqueChunk);
  EXPECT_EQ(back.pluginId, p.pluginId);
  EXPECT_EQ(back.pluginVersion, 7);
  EXPECT_EQ(back.numParams, 42);
  EXPECT_EQ(back.name, p.name.substr(0, 27));
  EXPECT_EQ(back.chunk, p.chunk);
}

TEST(PresetFile, BanksAreReadForTheirProgramNames) {
  FxProgram p;
  p.numParams = 1;
  p.params = {0.25f};
  std::vector<uint8_t> bank(156, 0);
  const char header[] = {'C', 'c', 'n', 'K', 0, 0, 0, 0, 'F', 'x', 'B', 'k', 0, 0, 0, 2,
                         'a', 'b', 'c', 'd', 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1};
  std::copy(header, header + sizeof(header), bank.begin());
  for (const char* name : {"one", "two"}) {
    p.name = name;
    const std::vector<uint8_t> record = WriteProgramFile(p);
    bank.insert(bank.end(), record.begin(), record.end());
  }
  PresetKind kind;
  FxProgram program;
  FxBankInfo info;
  std::string error;
  ASSERT_TRUE(ReadPresetFile(bank, &kind, &program, &info, &error)) << error;
  EXPECT_EQ(kind, PresetKind::kBank);
  EXPECT_EQ(info.numPrograms, 2);
  EXPECT_EQ(info.currentProgram, 1);
  EXPECT_EQ(info.programNames, (std::vector<std::string>{"one", "two"}));
  bank.resize(bank.size() - 2);
  EXPECT_FALSE(ReadPresetFile(bank, &kind, &program, &info, &error));
}

TEST(PresetFile, MalformedFilesAreRefused) {
  FxProgram p;
  p.opaqueChunk = true;
  p.chunk.assign(100, 1);
  std::vector<uint8_t> good = WriteProgramFile(p);
  FxProgram out;
  std::string error;
  for (size_t n = 0; n < good.size(); ++n)
    EXPECT_FALSE(Read(std::vector<uint8_t>(good.begin(), good.begin() + long(n)), &out, &error)) << n;

  std::vector<uint8_t> badMagic = good;
  badMagic[0] = 'X';
  EXPECT_FALSE(Read(badMagic, &out, &error));
  EXPECT_NE(error.find("CcnK"), std::string::npos);

  std::vector<uint8_t> unknownType = good;
  unknownType[8] = 'Z';
  EXPECT_FALSE(Read(unknownType, &out, &error));
  EXPECT_NE(error.find("unknown preset type"), std::string::npos);

  std::vector<uint8_t> hugeCount = good;
  hugeCount[8] = 'F', hugeCount[9] = 'x', hugeCount[10] = 'C', hugeCount[11] = 'k';
  hugeCount[24] = 0x7F;
  EXPECT_FALSE(Read(hugeCount, &out, &error));

  std::vector<uint8_t> hugeChunk = good;
  hugeChunk[56] = 0xFF;
  EXPECT_FALSE(Read(hugeChunk, &out, &error));
  EXPECT_NE(error.find("truncated"), std::string::npos);
}

TEST(PresetFile, NameFieldHoldsTwentySevenCharactersWhateverTheFileHas) {
  // The field is 28 bytes with a terminator; a file that fills all 28 (or puts control characters in) still
  // reads as a name the writer gives back unchanged.
  struct Case {
    std::string field;  // the 28 bytes as stored
    std::string name;
  };
  const Case cases[] = {
      {std::string(28, 'x'), std::string(27, 'x')},
      {"tab\there" + std::string(20, '\0'), "tab here"},
      {std::string(27, 'y') + '\0', std::string(27, 'y')},
  };
  for (const Case& c : cases) {
    FxProgram p;
    p.numParams = 1;
    p.params = {0.25f};
    std::vector<uint8_t> b = WriteProgramFile(p);
    std::copy(c.field.begin(), c.field.end(), b.begin() + 28);
    FxProgram back;
    std::string error;
    ASSERT_TRUE(Read(b, &back, &error)) << error;
    EXPECT_EQ(back.name, c.name);
    FxProgram again;
    ASSERT_TRUE(Read(WriteProgramFile(back), &again, &error)) << error;
    EXPECT_EQ(again.name, back.name);
  }
}
