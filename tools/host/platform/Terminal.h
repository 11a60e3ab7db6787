// Whether a person is watching the program's standard error.
#pragma once

namespace cchost {

bool StandardErrorIsTerminal();

}  // namespace cchost
