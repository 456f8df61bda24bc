// Carries out one parsed command; returns the tool's exit code:
// 0 done, 1 the system refused, 2 a bad argument.
#pragma once

#include "arguments.h"

int RunCommand(const Command &command);
