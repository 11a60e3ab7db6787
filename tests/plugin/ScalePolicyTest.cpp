// Where the editor's scale comes from: the user's choice from the size menu (remembered in the settings file
// for every later instance) before the host's, before 100 %; the VST host asked for the new size.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "Cyclochord.h"
#include "IGraphicsRaster.h"
#include "ISizeMenuControl.h"
#include "RasterBitmap.h"
#include "TestHost.h"
#include "UserSettings.h"

namespace {

// The test process's own settings folder (the test host made it); the file starts absent in each test.
std::string SettingsFile() { return UserSettings::DefaultPath("cyclochord"); }

struct Instance {
  TestHost host;
  IGraphicsRaster* g = nullptr;
  ISizeMenuControl* menu = nullptr;
  Instance() {
    AEffect* effect = host.Load(CreatePluginInstance);
    g = dynamic_cast<IGraphicsRaster*>(VstPluginOf(effect)->GetGraphics());
    for (int i = 0; g && i < g->NControls(); ++i)
      if (auto* m = dynamic_cast<ISizeMenuControl*>(g->GetControl(i))) menu = m;
  }
  // Clicks the size menu and chooses an item as the entry box's list does, then lets the editor's timer tick.
  void Choose(const char* item) {
    const IMouseMods mods(true, false, false, false, false);
    menu->OnMouseDown(menu->GetRECT().L, menu->GetRECT().T, &mods);
    g->SetEdited(menu, const_cast<IParameter*>(&menu->Sizes()));
    g->CommitTextEntry(item);
    g->SetEdited(nullptr, nullptr);
    IRect r;
    if (g->IsDirty(&r)) g->Draw(&r);
  }
};

class ScalePolicyTest : public testing::Test {
 protected:
  void SetUp() override { std::remove(SettingsFile().c_str()); }
  void TearDown() override { std::remove(SettingsFile().c_str()); }
};

}  // namespace

TEST_F(ScalePolicyTest, WithoutAChoiceTheHostsScaleRules) {
  ASSERT_FALSE(SettingsFile().empty());
  Instance a;
  ASSERT_TRUE(a.g && a.menu);
  EXPECT_EQ(a.g->Scale(), 1.0);
  EXPECT_TRUE(a.g->SetHostScale(2.0));
  EXPECT_EQ(a.g->Scale(), 2.0);
  EXPECT_EQ(a.g->WindowWidth(), 820);
  EXPECT_FALSE(a.g->SetHostScale(0.0));
  EXPECT_EQ(a.g->Scale(), 2.0);
  // Nothing was written: the host's scale is the host's business.
  EXPECT_FALSE(std::ifstream(SettingsFile()).good());
}

TEST_F(ScalePolicyTest, TheMenusChoiceIsTakenRememberedAndOutranksTheHost) {
  {
    Instance a;
    ASSERT_TRUE(a.g && a.menu);
    a.g->SetHostScale(2.0);
    a.host.ClearCalls();
    a.Choose("150 %");
    EXPECT_EQ(a.g->Scale(), 1.5);
    EXPECT_EQ(a.g->UserScale(), 1.5);
    EXPECT_EQ(a.g->GetDrawBitmap()->Width(), 615);
    // The host is asked for the window's new size in pixels, and the editor rectangle says it too.
    const std::vector<HostCall> sizes = a.host.CallsWith(audioMasterSizeWindow);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0].index, 615);
    EXPECT_EQ(sizes[0].value, 1020);
    ERect* rect = nullptr;
    a.host.Dispatch(effEditGetRect, 0, 0, &rect);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 615);
    EXPECT_EQ(rect->bottom - rect->top, 1020);
    // The host's scale no longer moves it.
    EXPECT_FALSE(a.g->SetHostScale(1.0));
    EXPECT_EQ(a.g->Scale(), 1.5);
  }
  // A later instance, in any host, opens at the user's size and keeps it against the host's.
  Instance b;
  ASSERT_TRUE(b.g);
  EXPECT_EQ(b.g->Scale(), 1.5);
  EXPECT_FALSE(b.g->SetHostScale(2.0));
  EXPECT_EQ(b.g->Scale(), 1.5);
  b.Choose("100 %");
  EXPECT_EQ(b.g->Scale(), 1.0);
  Instance c;
  EXPECT_EQ(c.g->Scale(), 1.0);
  // The choice lives in the settings file only: the plug-in's saved state is its 344 bytes, as ever.
  std::vector<uint8_t> chunk = c.host.GetChunk(false);
  EXPECT_EQ(chunk.size(), 344u);
}

TEST_F(ScalePolicyTest, ASettingsFileWithAnUnofferedSizeIsIgnored) {
  for (const char* line : {"editor-scale=1.75", "editor-scale=0", "editor-scale=9", "editor-scale=nan"}) {
    UserSettings make(SettingsFile());
    ASSERT_TRUE(make.Save());
    std::ofstream(SettingsFile()) << line << "\n";
    Instance a;
    ASSERT_TRUE(a.g);
    EXPECT_EQ(a.g->Scale(), 1.0) << line;
    EXPECT_EQ(a.g->UserScale(), 0.0) << line;
    EXPECT_TRUE(a.g->SetHostScale(1.25)) << line;
  }
}
