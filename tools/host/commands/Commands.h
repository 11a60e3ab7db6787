// The sub-commands of cyclochord-host and their exit statuses.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace cchost {

constexpr int kExitOk = 0;
constexpr int kExitError = 1;    // bad input, a failing plug-in, an output that could not be written
constexpr int kExitUsage = 2;    // bad command line
constexpr int kExitHanging = 3;  // the render worked, but the plug-in left notes hanging

int RunInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunPreset(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunEdit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cchost
