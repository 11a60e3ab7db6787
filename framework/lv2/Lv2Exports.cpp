// The LV2 module's exported entry points (LV2_SYMBOL_EXPORT gives them C linkage); linked into each LV2 product
// module.
#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#include "Lv2Entry.h"

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  return index == 0 ? Lv2PluginDescriptor() : nullptr;
}

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
  return index == 0 ? Lv2EditorDescriptor() : nullptr;
}
