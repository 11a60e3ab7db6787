#include <dlfcn.h>
#include <gtest/gtest.h>

#include "VstAbi.h"

namespace {
VstIntPtr VST_CALLBACK NullHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) { return 0; }
}

TEST(Exports, ModuleExportsBothEntryPointsThatBuildAnEffect) {
  void* module = dlopen("./TestPlugin.so", RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << dlerror();
  for (const char* symbol : {"VSTPluginMain", "main"}) {
    auto entry = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(dlsym(module, symbol));
    ASSERT_NE(entry, nullptr) << symbol;
    AEffect* effect = entry(NullHost);
    ASSERT_NE(effect, nullptr) << symbol;
    EXPECT_EQ(effect->magic, kEffectMagic);
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
  }
  EXPECT_EQ(dlsym(module, "CreatePluginInstance"), nullptr) << "only the entry points are exported";
  dlclose(module);
}
