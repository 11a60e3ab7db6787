// How CLAP hosts list Cyclochord. The id is stored in their projects, so it never changes.
#include "ClapEntry.h"
#include "CyclochordIdentity.h"

namespace {
const char* const kFeatures[] = {"note-effect", "utility", nullptr};
// Every layout the project installs: the Windows .zip's folder, copied beside the .clap file; lib/clap/ beside
// share/cyclochord/presets/ (the .deb, a tarball prefix); and the user install's ~/.clap with the presets in
// the user's data folder.
const char* const kPresetFolders[] = {"Cyclochord Presets", "../../share/cyclochord/presets", nullptr};
}  // namespace

const ClapPluginInfo kClapPluginInfo = {
    "example.larkspire.cyclochord",
    CyclochordIdentity::kEffectName,
    CyclochordIdentity::kVendorName,
    CyclochordIdentity::kHomePage,
    CyclochordIdentity::kVersionText,
    CyclochordIdentity::kDescription,
    kFeatures,
    kPresetFolders,
    "cyclochord/presets",
    CyclochordIdentity::kUniqueId,
};
