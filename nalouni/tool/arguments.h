// The tool's command line, parsed without touching the system, so that the
// parsing can be tested on its own. The commands are the rows of the command
// table (commands.h); the card's settings are the rows of the steering
// schema (nalouni_settings.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "nalouni_settings.h"

struct Optional {
  bool set = false;
  int64_t value = 0;
};

struct ToolCommand;

struct Command {
  const ToolCommand *command = nullptr;  // the row of the command table
  std::string verb;                      // its name
  // One entry per row of the steering schema, in its order: the settings
  // given (install: the port window; card: the card; encoder: one channel's).
  std::vector<Optional> settings = std::vector<Optional>(NaloUniSettingCount);
  std::string image;     // install: empty for nalouni.sys beside the tool
  unsigned channel = 0;  // encoder, zero: channel or zero input 1 to 4
  bool zeroActive = false;

  const Optional &Setting(NaloUniGroup group, const char *name) const;
  Optional &Setting(NaloUniGroup group, const char *name);
};

// The words of a command line after the command's name, for the parsers of
// the command table. Each parser reads what its command takes; a parser
// fails with one line in *error (no newline).
class Arguments {
 public:
  Arguments(std::vector<std::string> words, std::string *error)
      : words_(std::move(words)), error_(error) {}

  bool Fail(const std::string &message);
  bool More() const { return next_ < words_.size(); }
  const std::string &Peek() const { return words_[next_]; }
  std::string Take() { return words_[next_++]; }

  // The value after option "name"; fails when it is missing.
  bool Value(const std::string &name, std::string *value);
  // The number after option "name", within [low, high], given once.
  bool Number(const std::string &name, int64_t low, int64_t high, Optional *out);
  // A channel 1 to 4 for command "what".
  bool Channel(const char *what, unsigned *channel);
  // The option "option" as one of the group's settings: -1 when it is none
  // of them, 0 when it is one but its value is wrong, 1 when parsed.
  int SettingOption(NaloUniGroup group, const std::string &option, Command *command);

 private:
  std::vector<std::string> words_;
  size_t next_ = 0;
  std::string *error_;
};

// Fills *command from argv[1..argc-1]. On a bad command line returns false
// and sets *error to one line (no newline) saying what is wrong.
bool ParseArguments(int argc, const char *const *argv, Command *command, std::string *error);

// Decimal or 0x hex, optionally negative; the whole text must be the number
// and lie within [low, high].
bool ParseNumber(const std::string &text, int64_t low, int64_t high, int64_t *value);

// The usage text, from the command table.
std::string Usage();
