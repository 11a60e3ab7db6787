// cyclochord-host: a command-line VST 2.4 host that plays MIDI files through a plug-in.
#include <iostream>

#include "Commands.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return cchost::RunCommandLine(args, std::cout, std::cerr);
}
