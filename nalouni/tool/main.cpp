// nalouni: installs the port driver's service and steers the simulated card
// behind it. Exit code 0 done, 1 the system refused, 2 a bad argument.
#include <cstdio>
#include <string>

#include "arguments.h"
#include "commands.h"

int main(int argc, char **argv) {
  Command command;
  std::string error;
  if (!ParseArguments(argc, argv, &command, &error)) {
    std::fprintf(stderr, "nalouni: %s\n", error.c_str());
    return 2;
  }
  return RunCommand(command);
}
