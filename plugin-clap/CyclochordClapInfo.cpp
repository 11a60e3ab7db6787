// How CLAP hosts list Cyclochord. The id is stored in their projects, so it never changes.
#include "ClapEntry.h"
#include "CyclochordIdentity.h"

namespace {
const char* const kFeatures[] = {"note-effect", "utility", nullptr};
}  // namespace

const ClapPluginInfo kClapPluginInfo = {
    "example.larkspire.cyclochord",
    "Cyclochord",
    "Larkspire",
    "https://larkspire.example/plugins/cyclochord",
    "1.0.0",
    "Voices every played note as up to four notes: itself, a parallel voice and two rotating intervals",
    kFeatures,
    // As installed: lib/clap/Cyclochord.clap beside share/cyclochord/presets/.
    "../../share/cyclochord/presets",
    CyclochordIdentity::kUniqueId,
};
