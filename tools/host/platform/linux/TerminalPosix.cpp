// Terminal check on POSIX systems.
#include <unistd.h>

#include "Terminal.h"

namespace cchost {

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

}  // namespace cchost
