// Command line of the tool:
//   install [--address A] [--count N] [--image PATH] | uninstall | status
//   card --address A | --absent
//   encoder CH [--bits N] [--code gray|binary] [--position P] [--speed S] [--unplugged|--plugged]
//   zero CH on|off | outputs
#include "arguments.h"

#include <vector>

#include "nalouni_requests.h"

namespace {

struct Parser {
  std::vector<std::string> words;
  size_t next = 0;
  std::string *error;

  bool Fail(const std::string &message) {
    *error = message;
    return false;
  }
  bool More() const { return next < words.size(); }

  // The value after option "name"; fails when it is missing.
  bool Value(const std::string &name, std::string *value) {
    if (!More())
      return Fail(name + " needs a value");
    *value = words[next++];
    return true;
  }

  bool Number(const std::string &name, int64_t low, int64_t high, Optional *out) {
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

  bool Channel(const char *what, unsigned *channel) {
    int64_t value;
    if (!More())
      return Fail(std::string(what) + " needs a channel 1 to 4");
    if (!ParseNumber(words[next], 1, NALOUNI_CHANNELS, &value))
      return Fail(std::string(what) + ": channel '" + words[next] + "' is not 1 to 4");
    ++next;
    *channel = static_cast<unsigned>(value);
    return true;
  }

  bool Install(Command *c) {
    while (More()) {
      const std::string option = words[next++];
      if (option == "--address") {
        if (!Number(option, 0, 0xFFFF, &c->ioPortAddress))
          return false;
      } else if (option == "--count") {
        if (!Number(option, 0, 0x10000, &c->ioPortCount))
          return false;
      } else if (option == "--image") {
        if (!c->image.empty())
          return Fail("--image given twice");
        if (!Value(option, &c->image))
          return false;
        if (c->image.empty())
          return Fail("--image needs a path");
      } else {
        return Fail("install: unknown option '" + option + "'");
      }
    }
    return true;
  }

  bool Card(Command *c) {
    if (!More())
      return Fail("card needs --address A or --absent");
    const std::string option = words[next++];
    if (option == "--absent") {
      c->absent = true;
    } else if (option == "--address") {
      Optional address;
      if (!Number(option, 0, 0xFFFF, &address))
        return false;
      c->cardAddress = static_cast<uint32_t>(address.value);
    } else {
      return Fail("card: unknown option '" + option + "'");
    }
    return true;
  }

  bool Encoder(Command *c) {
    if (!Channel("encoder", &c->channel))
      return false;
    while (More()) {
      const std::string option = words[next++];
      bool ok = true;
      if (option == "--bits") {
        ok = Number(option, 1, NALOUNI_MAX_BITS, &c->bits);
      } else if (option == "--position") {
        ok = Number(option, 0, (1 << NALOUNI_MAX_BITS) - 1, &c->position);
      } else if (option == "--speed") {
        ok = Number(option, INT32_MIN + 1, INT32_MAX, &c->speed);
      } else if (option == "--code") {
        std::string name;
        if (c->code.set)
          return Fail("--code given twice");
        if (!Value(option, &name))
          return false;
        if (name != "gray" && name != "binary")
          return Fail("--code: '" + name + "' is not gray or binary");
        c->code.set = true;
        c->code.value = name == "gray" ? NALOUNI_CODE_GRAY : NALOUNI_CODE_BINARY;
      } else if (option == "--plugged" || option == "--unplugged") {
        if (c->plugged.set)
          return Fail("--plugged/--unplugged given twice");
        c->plugged.set = true;
        c->plugged.value = option == "--plugged";
      } else {
        return Fail("encoder: unknown option '" + option + "'");
      }
      if (!ok)
        return false;
    }
    if (!c->bits.set && !c->code.set && !c->position.set && !c->speed.set && !c->plugged.set)
      return Fail("encoder: nothing to set");
    if (c->bits.set && c->position.set && (c->position.value >> c->bits.value) != 0)
      return Fail("--position does not fit in " + std::to_string(c->bits.value) + " bits");
    return true;
  }

  bool Zero(Command *c) {
    if (!Channel("zero", &c->channel))
      return false;
    if (!More())
      return Fail("zero needs on or off");
    const std::string level = words[next++];
    if (level != "on" && level != "off")
      return Fail("zero: '" + level + "' is not on or off");
    c->zeroActive = level == "on";
    return true;
  }
};

}  // namespace

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
  Parser p;
  p.error = error;
  for (int i = 1; i < argc; ++i)
    p.words.emplace_back(argv[i]);
  if (!p.More())
    return p.Fail("no command; try: install, uninstall, status, card, encoder, zero, outputs");

  *command = Command();
  const std::string verb = p.words[p.next++];
  bool ok;
  if (verb == "install") {
    command->verb = Verb::Install;
    ok = p.Install(command);
  } else if (verb == "uninstall") {
    command->verb = Verb::Uninstall;
    ok = true;
  } else if (verb == "status") {
    command->verb = Verb::Status;
    ok = true;
  } else if (verb == "card") {
    command->verb = Verb::Card;
    ok = p.Card(command);
  } else if (verb == "encoder") {
    command->verb = Verb::Encoder;
    ok = p.Encoder(command);
  } else if (verb == "zero") {
    command->verb = Verb::Zero;
    ok = p.Zero(command);
  } else if (verb == "outputs") {
    command->verb = Verb::Outputs;
    ok = true;
  } else {
    return p.Fail("unknown command '" + verb + "'");
  }
  if (ok && p.More())
    return p.Fail(verb + ": unexpected '" + p.words[p.next] + "'");
  return ok;
}

const char *Usage() {
  return "usage: nalouni install [--address A] [--count N] [--image PATH]\n"
         "       nalouni uninstall\n"
         "       nalouni status\n"
         "       nalouni card --address A | --absent\n"
         "       nalouni encoder CH [--bits N] [--code gray|binary] [--position P] [--speed S]"
         " [--unplugged|--plugged]\n"
         "       nalouni zero CH on|off\n"
         "       nalouni outputs\n";
}
