// Command line of the tool: "nalouni COMMAND ARGUMENTS", the commands and
// their arguments as the command table (commands.cpp) gives them, the card's
// settings as the steering schema gives them.
#include "arguments.h"

#include "commands.h"

namespace {

unsigned IndexOf(NaloUniGroup group, const char *name) {
  const NaloUniSetting *setting = NaloUniFindSetting(group, name);
  return setting ? static_cast<unsigned>(setting - NaloUniSettings) : NaloUniSettingCount;
}

}  // namespace

const Optional &Command::Setting(NaloUniGroup group, const char *name) const {
  return settings.at(IndexOf(group, name));
}

Optional &Command::Setting(NaloUniGroup group, const char *name) {
  return settings.at(IndexOf(group, name));
}

bool Arguments::Fail(const std::string &message) {
  *error_ = message;
  return false;
}

bool Arguments::Value(const std::string &name, std::string *value) {
  if (!More())
    return Fail(name + " needs a value");
  *value = Take();
  return true;
}

bool Arguments::Number(const std::string &name, int64_t low, int64_t high, Optional *out) {
  std::string text;
  if (out->set)
    return Fail(name + " given twice");
  if (!Value(name, &text))
    return false;
  if (!ParseNumber(text, low, high, &out->value))
    return Fail(name + ": '" + text + "' is not a number from " + std::to_string(low) + " to " +
                std::to_string(high));
  out->set = true;
  return true;
}

bool Arguments::Channel(const char *what, unsigned *channel) {
  int64_t value;
  if (!More())
    return Fail(std::string(what) + " needs a channel 1 to 4");
  if (!ParseNumber(Peek(), 1, NALOUNI_CHANNELS, &value))
    return Fail(std::string(what) + ": channel '" + Peek() + "' is not 1 to 4");
  Take();
  *channel = static_cast<unsigned>(value);
  return true;
}

int Arguments::SettingOption(NaloUniGroup group, const std::string &option, Command *command) {
  if (option.rfind("--", 0) != 0)
    return -1;
  const std::string name = option.substr(2);
  for (unsigned i = 0; i < NaloUniSettingCount; ++i) {
    const NaloUniSetting &s = NaloUniSettings[i];
    Optional &out = command->settings[i];
    if (s.group != group)
      continue;
    if (s.style == NALOUNI_STYLE_FLAG) {  // --words[0] | --words[1]
      if (name != s.words[0] && name != s.words[1])
        continue;
      if (out.set)
        return Fail(std::string("--") + s.words[1] + "/--" + s.words[0] + " given twice");
      out.set = true;
      out.value = name == s.words[1];
      return 1;
    }
    if (name != s.name)
      continue;
    if (s.style == NALOUNI_STYLE_WORD) {  // --name words[0] | words[1]
      std::string word;
      if (out.set)
        return Fail(option + " given twice");
      if (!Value(option, &word))
        return 0;
      if (word != s.words[0] && word != s.words[1])
        return Fail(option + ": '" + word + "' is not " + s.words[0] + " or " + s.words[1]);
      out.set = true;
      out.value = word == s.words[1];
      return 1;
    }
    return Number(option, s.low, s.high, &out) ? 1 : 0;
  }
  return -1;
}

bool ParseInstall(Arguments &p, Command *c) {
  while (p.More()) {
    const std::string option = p.Take();
    if (option == "--image") {
      if (!c->image.empty())
        return p.Fail("--image given twice");
      if (!p.Value(option, &c->image))
        return false;
      if (c->image.empty())
        return p.Fail("--image needs a path");
      continue;
    }
    const int parsed = p.SettingOption(NALOUNI_GROUP_PORT_WINDOW, option, c);
    if (parsed < 0)
      return p.Fail("install: unknown option '" + option + "'");
    if (parsed == 0)
      return false;
  }
  return true;
}

// card --address A | --absent: the one card setting given, the other as it is.
bool ParseCard(Arguments &p, Command *c) {
  if (!p.More())
    return p.Fail("card needs --address A or --absent");
  const std::string option = p.Take();
  if (option == "--absent") {
    Optional &present = c->Setting(NALOUNI_GROUP_CARD, "present");
    present.set = true;
    present.value = 0;
    return true;
  }
  if (option == "--address")
    return p.SettingOption(NALOUNI_GROUP_CARD, option, c) > 0;
  return p.Fail("card: unknown option '" + option + "'");
}

bool ParseEncoder(Arguments &p, Command *c) {
  if (!p.Channel("encoder", &c->channel))
    return false;
  while (p.More()) {
    const std::string option = p.Take();
    const int parsed = p.SettingOption(NALOUNI_GROUP_ENCODER, option, c);
    if (parsed < 0)
      return p.Fail("encoder: unknown option '" + option + "'");
    if (parsed == 0)
      return false;
  }
  bool any = false;
  for (unsigned i = 0; i < NaloUniSettingCount; ++i)
    any = any || (NaloUniSettings[i].group == NALOUNI_GROUP_ENCODER && c->settings[i].set);
  if (!any)
    return p.Fail("encoder: nothing to set");
  const Optional &bits = c->Setting(NALOUNI_GROUP_ENCODER, "bits");
  const Optional &position = c->Setting(NALOUNI_GROUP_ENCODER, "position");
  if (bits.set && position.set && (position.value >> bits.value) != 0)
    return p.Fail("--position does not fit in " + std::to_string(bits.value) + " bits");
  return true;
}

bool ParseZero(Arguments &p, Command *c) {
  if (!p.Channel("zero", &c->channel))
    return false;
  if (!p.More())
    return p.Fail("zero needs on or off");
  const std::string level = p.Take();
  if (level != "on" && level != "off")
    return p.Fail("zero: '" + level + "' is not on or off");
  c->zeroActive = level == "on";
  return true;
}

bool ParseNumber(const std::string &text, int64_t low, int64_t high, int64_t *value) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && text[i] == '-') {
    negative = true;
    ++i;
  }
  unsigned base = 10;
  if (text.size() > i + 1 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size())
    return false;
  int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const char ch = text[i];
    unsigned digit;
    if (ch >= '0' && ch <= '9')
      digit = static_cast<unsigned>(ch - '0');
    else if (base == 16 && ch >= 'a' && ch <= 'f')
      digit = static_cast<unsigned>(ch - 'a' + 10);
    else if (base == 16 && ch >= 'A' && ch <= 'F')
      digit = static_cast<unsigned>(ch - 'A' + 10);
    else
      return false;
    if (digit >= base)
      return false;
    magnitude = magnitude * base + digit;
    if (magnitude > (int64_t(1) << 40))  // far beyond any range asked for
      return false;
  }
  const int64_t number = negative ? -magnitude : magnitude;
  if (number < low || number > high)
    return false;
  *value = number;
  return true;
}

bool ParseArguments(int argc, const char *const *argv, Command *command, std::string *error) {
  std::vector<std::string> words;
  for (int i = 2; i < argc; ++i)
    words.emplace_back(argv[i]);
  Arguments p(words, error);
  if (argc < 2) {
    std::string names;
    for (unsigned i = 0; i < kToolCommandCount; ++i)
      names += std::string(i ? ", " : "") + kToolCommands[i].name;
    return p.Fail("no command; try: " + names);
  }
  *command = Command();
  const std::string verb = argv[1];
  for (unsigned i = 0; i < kToolCommandCount; ++i) {
    const ToolCommand &row = kToolCommands[i];
    if (verb != row.name)
      continue;
    command->command = &row;
    command->verb = verb;
    if (row.parse && !row.parse(p, command))
      return false;
    if (p.More())
      return p.Fail(verb + ": unexpected '" + p.Peek() + "'");
    return true;
  }
  return p.Fail("unknown command '" + verb + "'");
}

std::string Usage() {
  std::string text;
  for (unsigned i = 0; i < kToolCommandCount; ++i) {
    const ToolCommand &row = kToolCommands[i];
    std::string line = std::string(i ? "       nalouni " : "usage: nalouni ") + row.name;
    if (*row.arguments)
      line += std::string(" ") + row.arguments;
    for (unsigned s = 0; s < NaloUniSettingCount; ++s) {
      const NaloUniSetting &setting = NaloUniSettings[s];
      if (static_cast<int>(setting.group) != row.options)
        continue;
      if (setting.style == NALOUNI_STYLE_FLAG)
        line += std::string(" [--") + setting.words[0] + "|--" + setting.words[1] + "]";
      else
        line += std::string(" [--") + setting.name + " " + setting.argument + "]";
    }
    text += line + "\n" + std::string(15, ' ') + row.help + "\n";
  }
  return text;
}
