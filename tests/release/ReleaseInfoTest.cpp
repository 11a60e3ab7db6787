// Every format and the tool report the project's one version, and the metadata hosts show comes from the same
// place. The expected values come straight from CMake, not from the header the product is built with.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "ClapInstance.h"
#include "Commands.h"
#include "HostCallback.h"
#include "PluginLoader.h"

#ifdef LV2_BUNDLE_DIR
#include <lilv/lilv.h>
#endif

namespace {
// AEffect::version and effGetVendorVersion write 1.2.3 as 10203.
constexpr int kDecimalVersion = (EXPECTED_MAJOR * 100 + EXPECTED_MINOR) * 100 + EXPECTED_PATCH;

TEST(ReleaseInfo, ToolReportsTheProjectVersion) {
  std::ostringstream out, err;
  EXPECT_EQ(cchost::RunCommandLine({"--version"}, out, err), cchost::kExitOk);
  EXPECT_EQ(out.str(), "cyclochord-host " EXPECTED_VERSION "\n");
  EXPECT_EQ(err.str(), "");
}

TEST(ReleaseInfo, VstModuleReportsTheVersionEverywhereAHostLooks) {
  cchost::Host host(44100.0, 512);
  std::string error;
  std::unique_ptr<cchost::Plugin> plugin = cchost::Plugin::Load(VST_MODULE, &host, &error);
  ASSERT_TRUE(plugin) << error;
  EXPECT_EQ(plugin->Effect()->version, kDecimalVersion);
  EXPECT_EQ(plugin->Dispatch(effGetVendorVersion), kDecimalVersion);
  EXPECT_EQ(plugin->Text(effGetVendorString), EXPECTED_MAINTAINER);
}

TEST(ReleaseInfo, ClapDescriptorCarriesVersionAndMetadata) {
  std::string error;
  std::unique_ptr<cchost::ClapInstance> plugin = cchost::ClapInstance::Load(CLAP_MODULE, &error);
  ASSERT_TRUE(plugin) << error;
  const clap_plugin_descriptor_t& d = plugin->Descriptor();
  EXPECT_STREQ(d.version, EXPECTED_VERSION);
  EXPECT_STREQ(d.vendor, EXPECTED_MAINTAINER);
  EXPECT_STREQ(d.url, EXPECTED_HOMEPAGE);
  EXPECT_STREQ(d.description, EXPECTED_DESCRIPTION);
}

#ifdef LV2_BUNDLE_DIR
class Lv2ReleaseInfo : public testing::Test {
 protected:
  void SetUp() override {
    LilvNode* bundle = lilv_new_file_uri(mWorld, nullptr, LV2_BUNDLE_DIR);
    lilv_world_load_bundle(mWorld, bundle);
    lilv_node_free(bundle);
    LilvNode* uri = lilv_new_uri(mWorld, EXPECTED_HOMEPAGE);
    mPlugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(mWorld), uri);
    lilv_node_free(uri);
    ASSERT_NE(mPlugin, nullptr) << "no plug-in " EXPECTED_HOMEPAGE " in " LV2_BUNDLE_DIR;
  }
  void TearDown() override { lilv_world_free(mWorld); }

  // The one value of a property of the plug-in, as text; "" when it has none, "(several)" when more.
  std::string Value(const char* property) const {
    LilvNode* p = lilv_new_uri(mWorld, property);
    LilvNodes* values = lilv_plugin_get_value(mPlugin, p);
    lilv_node_free(p);
    std::string text;
    if (values && lilv_nodes_size(values) == 1) text = lilv_node_as_string(lilv_nodes_get_first(values));
    if (values && lilv_nodes_size(values) > 1) text = "(several)";
    lilv_nodes_free(values);
    return text;
  }
  static std::string Text(LilvNode* node) {
    const std::string text = node ? lilv_node_as_string(node) : "";
    lilv_node_free(node);
    return text;
  }

  LilvWorld* mWorld = lilv_world_new();
  const LilvPlugin* mPlugin = nullptr;
};

TEST_F(Lv2ReleaseInfo, VersionDecodesToTheProjectVersion) {
  const int minorVersion = std::stoi(Value("http://lv2plug.in/ns/lv2core#minorVersion"));
  const int microVersion = std::stoi(Value("http://lv2plug.in/ns/lv2core#microVersion"));
  // An odd minor version marks a development build to LV2 hosts; the major lives in the minor's hundreds.
  EXPECT_EQ(minorVersion % 2, 0);
  EXPECT_EQ(minorVersion / 2 / 100, EXPECTED_MAJOR);
  EXPECT_EQ(minorVersion / 2 % 100, EXPECTED_MINOR);
  EXPECT_EQ(microVersion, EXPECTED_PATCH);
}

TEST_F(Lv2ReleaseInfo, TurtleCarriesLicenceMaintainerHomePageAndComment) {
  EXPECT_EQ(Value("http://usefulinc.com/ns/doap#license"), EXPECTED_LICENSE);
  EXPECT_EQ(Value("http://usefulinc.com/ns/doap#homepage"), EXPECTED_HOMEPAGE);
  EXPECT_EQ(Value("http://www.w3.org/2000/01/rdf-schema#comment"), EXPECTED_DESCRIPTION);
  EXPECT_EQ(Text(lilv_plugin_get_author_name(mPlugin)), EXPECTED_MAINTAINER);
  EXPECT_EQ(Text(lilv_plugin_get_author_email(mPlugin)), "mailto:" EXPECTED_EMAIL);
}
#endif
}  // namespace
