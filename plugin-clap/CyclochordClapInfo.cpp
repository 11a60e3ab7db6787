// How CLAP hosts list Cyclochord. The id is stored in their projects, so it never changes.
#include "ClapEntry.h"
#include "CyclochordIdentity.h"

namespace {
const char* const kFeatures[] = {"note-effect", "utility", nullptr};
}  // namespace

const ClapPluginInfo kClapPluginInfo = {
    "example.larkspire.cyclochord",
    CyclochordIdentity::kEffectName,
    CyclochordIdentity::kVendorName,
    CyclochordIdentity::kHomePage,
    CyclochordIdentity::kVersionText,
    CyclochordIdentity::kDescription,
    kFeatures,
    // As installed: lib/clap/Cyclochord.clap beside share/cyclochord/presets/.
    "../../share/cyclochord/presets",
    CyclochordIdentity::kUniqueId,
};
