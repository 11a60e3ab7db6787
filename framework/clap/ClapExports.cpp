// The CLAP module's one exported symbol; linked into each CLAP product module.
#include "ClapEntry.h"

extern "C" CC_EXPORT const clap_plugin_entry_t clap_entry = {CLAP_VERSION, ClapEntryInit, ClapEntryDeinit,
                                                             ClapEntryGetFactory};
