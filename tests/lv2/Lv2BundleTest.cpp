// What the bundle's Turtle tells a host about each control port is what the VST build says of the same
// parameter: name, default, and the text of every scale point and toggle state.
#include <gtest/gtest.h>

#include <lv2/core/lv2.h>
#include <lv2/port-props/port-props.h>

#include <cmath>

#include "CaseName.h"
#include "LilvHost.h"
#include "TestHost.h"

namespace {
const char kUri[] = "https://larkspire.example/plugins/cyclochord";

struct Port {
  std::string mSymbol, mName;
  float mMin, mMax, mDefault;
  bool mToggled, mEnumeration, mInteger, mNotOnGui;
  std::vector<std::pair<float, std::string>> mScalePoints;
};

std::vector<Port> ControlPorts(LilvHost& host) {
  const LilvPlugin* plugin = host.Plugin();
  LilvWorld* world = host.World();
  LilvNode* control = lilv_new_uri(world, LV2_CORE__ControlPort);
  LilvNode* toggled = lilv_new_uri(world, LV2_CORE__toggled);
  LilvNode* enumeration = lilv_new_uri(world, LV2_CORE__enumeration);
  LilvNode* integer = lilv_new_uri(world, LV2_CORE__integer);
  LilvNode* notOnGui = lilv_new_uri(world, LV2_PORT_PROPS__notOnGUI);
  std::vector<Port> ports;
  for (uint32_t i = 0; i < lilv_plugin_get_num_ports(plugin); ++i) {
    const LilvPort* p = lilv_plugin_get_port_by_index(plugin, i);
    if (!lilv_port_is_a(plugin, p, control)) continue;
    Port port;
    port.mSymbol = lilv_node_as_string(lilv_port_get_symbol(plugin, p));
    LilvNode* name = lilv_port_get_name(plugin, p);
    port.mName = lilv_node_as_string(name);
    lilv_node_free(name);
    LilvNode *def, *min, *max;
    lilv_port_get_range(plugin, p, &def, &min, &max);
    port.mDefault = lilv_node_as_float(def);
    port.mMin = lilv_node_as_float(min);
    port.mMax = lilv_node_as_float(max);
    lilv_node_free(def);
    lilv_node_free(min);
    lilv_node_free(max);
    port.mToggled = lilv_port_has_property(plugin, p, toggled);
    port.mEnumeration = lilv_port_has_property(plugin, p, enumeration);
    port.mInteger = lilv_port_has_property(plugin, p, integer);
    port.mNotOnGui = lilv_port_has_property(plugin, p, notOnGui);
    LilvScalePoints* points = lilv_port_get_scale_points(plugin, p);
    LILV_FOREACH(scale_points, it, points) {
      const LilvScalePoint* point = lilv_scale_points_get(points, it);
      port.mScalePoints.emplace_back(lilv_node_as_float(lilv_scale_point_get_value(point)),
                                     lilv_node_as_string(lilv_scale_point_get_label(point)));
    }
    lilv_scale_points_free(points);
    ports.push_back(port);
  }
  for (LilvNode* n : {control, toggled, enumeration, integer, notOnGui}) lilv_node_free(n);
  return ports;
}

class Lv2BundleTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(mHost.Plugin(), nullptr) << mHost.Error();
    std::string error;
    ASSERT_TRUE(mVst.LoadModule(CYCLOCHORD_VST_MODULE, &error)) << error;
    mVst.Start(48000.0, 512);
    mPorts = ControlPorts(mHost);
  }
  float Normalized(const Port& port, float value) const { return (value - port.mMin) / (port.mMax - port.mMin); }

  LilvHost mHost{CYCLOCHORD_LV2_BUNDLE_DIR, kUri};
  TestHost mVst;
  std::vector<Port> mPorts;
};

TEST_F(Lv2BundleTest, OnePortPerNamedParameter) {
  int named = 0;
  for (int i = 0; i < mVst.Effect()->numParams; ++i) {
    char name[256] = {};
    mVst.Effect()->dispatcher(mVst.Effect(), effGetParamName, i, 0, name, 0.0f);
    if (name[0]) ++named;
  }
  EXPECT_EQ(static_cast<int>(mPorts.size()), named);
  EXPECT_EQ(named, 38);
}

TEST_F(Lv2BundleTest, PortsDescribeTheParameters) {
  for (const Port& port : mPorts) {
    SCOPED_TRACE(port.mSymbol);
    // Symbols are the VST names, which saved sessions refer to; names are what a musician reads.
    const int index = mVst.ParamIndex(port.mSymbol);
    ASSERT_GE(index, 0);
    if (port.mSymbol == "v1Delay") {
      EXPECT_EQ(port.mName, "Rotator 1 Delay");
    }
    EXPECT_FLOAT_EQ(mVst.Effect()->getParameter(mVst.Effect(), index), Normalized(port, port.mDefault));
    EXPECT_LT(port.mMin, port.mMax);
    for (const auto& [value, label] : port.mScalePoints)
      EXPECT_EQ(mVst.ParamDisplayAt(index, Normalized(port, value)), label) << value;
    if (port.mEnumeration) {
      EXPECT_TRUE(port.mInteger);
      EXPECT_EQ(port.mScalePoints.size(), static_cast<size_t>(port.mMax - port.mMin + 1));
    }
    // What nothing hears stays off generic UIs, as CLAP hosts hide it; the state still holds it.
    EXPECT_EQ(port.mNotOnGui, port.mSymbol == "Human");
    if (port.mToggled) {
      EXPECT_EQ(mVst.ParamDisplayAt(index, 0.0f), "off");
      EXPECT_EQ(mVst.ParamDisplayAt(index, 1.0f), "on");
    }
    // A whole-number parameter shows whole numbers between its steps too, a real one does not.
    const std::string between = mVst.ParamDisplayFor(index, Normalized(port, port.mMin + 0.5f));
    if (!port.mEnumeration && !port.mToggled) {
      EXPECT_EQ(between.find('.') == std::string::npos, port.mInteger) << between;
    }
  }
}
}  // namespace

namespace {
struct InstantiationCase {
  const char* mName;
  double mRate;
  bool mWithMap;
  bool mCreated;
};

const InstantiationCase kInstantiationCases[] = {
    {"a usual host", 44100.0, true, true},
    {"no urid map", 44100.0, false, false},
    {"a rate of zero", 0.0, true, false},
    {"a negative rate", -48000.0, true, false},
    {"a rate that is not a number", std::nan(""), true, false},
    {"an infinite rate", INFINITY, true, false},
};

class Lv2InstantiationTest : public testing::TestWithParam<InstantiationCase> {};

TEST_P(Lv2InstantiationTest, RefusesWhatItCannotWorkWith) {
  const InstantiationCase& c = GetParam();
  LilvHost host(CYCLOCHORD_LV2_BUNDLE_DIR, kUri);
  ASSERT_NE(host.Plugin(), nullptr) << host.Error();
  LilvHost::Instance instance(&host, c.mRate, 512, c.mWithMap);
  EXPECT_EQ(instance.Ok(), c.mCreated);
  if (instance.Ok()) instance.Run(512);
}

INSTANTIATE_TEST_SUITE_P(Hosts, Lv2InstantiationTest, testing::ValuesIn(kInstantiationCases),
                         CaseName<InstantiationCase>);
}  // namespace
