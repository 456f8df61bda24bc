// The tool's commands: one row each, with its name, its arguments and help
// line for the usage text, the parser of its arguments and its handler. A
// new command is one row here plus its handler (and its parser, if it takes
// arguments).
#pragma once

#include "arguments.h"

constexpr int kNoSettingOptions = -1;

struct ToolCommand {
  const char *name;
  const char *arguments;  // after the name in the usage text
  const char *help;
  int options;            // the NaloUniGroup whose setting options follow "arguments" in
                          // the usage text, or kNoSettingOptions
  bool (*parse)(Arguments &arguments, Command *command);  // nullptr: takes no arguments
  // Carries out the command; returns the tool's exit code:
  // 0 done, 1 the system refused, 2 a bad argument.
  int (*run)(const Command &command);
};

extern const ToolCommand kToolCommands[];
extern const unsigned kToolCommandCount;

// The parsers of the rows (arguments.cpp).
bool ParseInstall(Arguments &arguments, Command *command);
bool ParseCard(Arguments &arguments, Command *command);
bool ParseEncoder(Arguments &arguments, Command *command);
bool ParseZero(Arguments &arguments, Command *command);

int RunCommand(const Command &command);
