// The program-file reader that wrappers use for shipped presets: whole files read, anything else refused with
// the output left as it was.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "IProgramFile.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put(Bytes* out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<uint8_t>(v >> shift));
}

// A file as a host writes one: kind, plug-in id, name field, then the chunk (with its size) or the values.
Bytes File(const char* kind, const std::string& name, const Bytes& body, uint32_t count, bool chunkSize = true) {
  Bytes out;
  Put(&out, 0x43636e4b);
  Put(&out, 0);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(kind[i]));
  Put(&out, 1);
  Put(&out, 0x6c734363);
  Put(&out, 0x10000);
  Put(&out, count);
  Bytes field(28, 0);
  std::memcpy(field.data(), name.data(), std::min<size_t>(name.size(), 28));
  out.insert(out.end(), field.begin(), field.end());
  if (chunkSize) Put(&out, static_cast<uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

Bytes Floats(std::initializer_list<float> values) {
  Bytes out;
  for (float v : values) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    Put(&out, bits);
  }
  return out;
}

struct Case {
  const char* what;
  Bytes bytes;
  bool ok;
  std::string name = "";
  bool hasChunk = false;
  Bytes chunk = {};
  std::vector<float> values = {};
};

std::vector<Case> Cases() {
  const Bytes chunk = {1, 2, 3, 4, 5};
  Bytes cut = File("FPCh", "Cut", chunk, 1);
  cut.pop_back();
  Bytes longer = File("FPCh", "Long", chunk, 1);
  longer.push_back(0);
  Bytes shortValues = File("FxCk", "Short", Floats({0.5f}), 2, false);
  Bytes badMagic = File("FPCh", "x", chunk, 1);
  badMagic[0] = 'X';
  return {
      {"chunk", File("FPCh", "Strum", chunk, 1), true, "Strum", true, chunk, {}},
      {"empty chunk", File("FPCh", "Nothing", {}, 1), true, "Nothing", true, {}, {}},
      {"values", File("FxCk", "Plain", Floats({0.25f, 1.0f}), 2, false), true, "Plain", false, {}, {0.25f, 1.0f}},
      {"name filling its field", File("FPCh", std::string(28, 'n'), chunk, 1), true, std::string(27, 'n'), true, chunk, {}},
      {"control characters in the name", File("FPCh", "a\tb\nc", chunk, 1), true, "a b c", true, chunk, {}},
      {"nothing", {}, false},
      {"shorter than the header", Bytes(55, 0), false},
      {"not a preset", badMagic, false},
      {"a bank", File("FBCh", "Bank", chunk, 1), false},
      {"chunk cut short", cut, false},
      {"bytes after the chunk", longer, false},
      {"chunk without its size", File("FPCh", "x", {}, 1, false), false},
      {"fewer values than counted", shortValues, false},
      {"a count that overflows", File("FxCk", "x", Floats({0.5f}), 0xFFFFFFFFu, false), false},
  };
}

TEST(ProgramFile, ReadsWholeFilesAndRefusesTheRestLeavingItsOutputAlone) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.what);
    IProgramFile file;
    file.mName = "untouched";
    std::string error;
    const bool ok = ReadProgramFile(c.bytes.data(), c.bytes.size(), &file, &error);
    ASSERT_EQ(ok, c.ok) << error;
    if (!ok) {
      EXPECT_FALSE(error.empty());
      EXPECT_EQ(file.mName, "untouched");
      continue;
    }
    EXPECT_EQ(file.mPluginId, 0x6c734363);
    EXPECT_EQ(file.mPluginVersion, 0x10000);
    EXPECT_EQ(file.mName, c.name);
    EXPECT_EQ(file.mHasChunk, c.hasChunk);
    EXPECT_EQ(file.mChunk, c.chunk);
    EXPECT_EQ(file.mValues, c.values);
  }
}

TEST(ProgramFile, ReadsFromDiskAndRefusesMissingAndOversizedFiles) {
  const std::string path = testing::TempDir() + "program-file-test.fxp";
  const Bytes good = File("FPCh", "On disk", {9, 8, 7}, 1);
  struct {
    const char* what;
    Bytes bytes;
    bool ok;
  } cases[] = {{"a preset", good, true}, {"larger than any preset", Bytes(kLargestProgramFile + 1, 0), false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(c.bytes.data(), 1, c.bytes.size(), f);
    std::fclose(f);
    IProgramFile file;
    std::string error;
    EXPECT_EQ(ReadProgramFile(path.c_str(), &file, &error), c.ok) << error;
    if (c.ok) {
      EXPECT_EQ(file.mChunk, (Bytes{9, 8, 7}));
    }
  }
  std::remove(path.c_str());
  IProgramFile file;
  std::string error;
  EXPECT_FALSE(ReadProgramFile(path.c_str(), &file, &error));
  EXPECT_NE(error.find(path), std::string::npos) << error;
  EXPECT_FALSE(ReadProgramFile(static_cast<const char*>(nullptr), &file, &error));
}

}  // namespace
