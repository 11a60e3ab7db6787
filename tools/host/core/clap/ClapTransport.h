// The transport a CLAP plug-in sees, made from the same time information the VST target hands out, so that a
// plug-in built for both formats sees one song position, tempo, bar and time signature.
#pragma once

#include "ClapAbi.h"
#include "VstAbi.h"

namespace cchost {

clap_event_transport_t ClapTransportFrom(const VstTimeInfo& time);

}  // namespace cchost
