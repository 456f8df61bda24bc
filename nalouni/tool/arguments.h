// The tool's command line, parsed without touching the system, so that the
// parsing can be tested on its own.
#pragma once

#include <cstdint>
#include <string>

enum class Verb { Install, Uninstall, Status, Card, Encoder, Zero, Outputs };

struct Optional {
  bool set = false;
  int64_t value = 0;
};

struct Command {
  Verb verb = Verb::Status;
  // install
  Optional ioPortAddress, ioPortCount;
  std::string image;  // empty: nalouni.sys beside the tool
  // card
  bool absent = false;
  uint32_t cardAddress = 0;
  // encoder, zero
  unsigned channel = 0;  // 1 to 4: encoder channel or zero input
  Optional bits, code, position, speed, plugged;
  bool zeroActive = false;
};

// Fills *command from argv[1..argc-1]. On a bad command line returns false
// and sets *error to one line (no newline) saying what is wrong.
bool ParseArguments(int argc, const char *const *argv, Command *command, std::string *error);

// Decimal or 0x hex, optionally negative when "allowNegative"; the whole text
// must be the number and lie within [low, high].
bool ParseNumber(const std::string &text, int64_t low, int64_t high, int64_t *value);

const char *Usage();
