// The tool's command line: a table of good lines with what they parse to,
// and of bad lines that must give exit code 2 and a one-line error, both
// from the parser and from the built tool run as a process.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "arguments.h"
#include "../check.h"
#include "driver_client.h"

namespace {

std::vector<std::string> Split(const char *line) {
  std::vector<std::string> words{"nalouni"};
  std::string word;
  for (const char *p = line;; ++p) {
    if (*p == ' ' || *p == 0) {
      if (!word.empty())
        words.push_back(word);
      word.clear();
      if (*p == 0)
        break;
    } else {
      word += *p;
    }
  }
  return words;
}

bool Parse(const char *line, Command *command, std::string *error) {
  const std::vector<std::string> words = Split(line);
  std::vector<const char *> argv;
  for (const std::string &w : words)
    argv.push_back(w.c_str());
  return ParseArguments(static_cast<int>(argv.size()), argv.data(), command, error);
}

int64_t Value(const Optional &o) { return o.set ? o.value : -999; }

// Renders what a command line parsed to, for comparison with the table.
std::string Describe(const Command &c) {
  char text[256];
  const auto setting = [&c](NaloUniGroup group, const char *name) {
    return (long long)Value(c.Setting(group, name));
  };
  if (c.verb == "install") {
    std::snprintf(text, sizeof text, "install address=%lld count=%lld image=%s",
                  setting(NALOUNI_GROUP_PORT_WINDOW, "address"),
                  setting(NALOUNI_GROUP_PORT_WINDOW, "count"), c.image.c_str());
  } else if (c.verb == "card") {
    std::snprintf(text, sizeof text, "card absent=%d address=%u",
                  c.Setting(NALOUNI_GROUP_CARD, "present").set,
                  (unsigned)c.Setting(NALOUNI_GROUP_CARD, "address").value);
  } else if (c.verb == "encoder") {
    std::snprintf(text, sizeof text, "encoder %u bits=%lld code=%lld position=%lld speed=%lld plugged=%lld",
                  c.channel, setting(NALOUNI_GROUP_ENCODER, "bits"),
                  setting(NALOUNI_GROUP_ENCODER, "code"), setting(NALOUNI_GROUP_ENCODER, "position"),
                  setting(NALOUNI_GROUP_ENCODER, "speed"), setting(NALOUNI_GROUP_ENCODER, "plugged"));
  } else if (c.verb == "zero") {
    std::snprintf(text, sizeof text, "zero %u %d", c.channel, c.zeroActive);
  } else {
    return c.verb;  // uninstall, status, outputs: nothing more
  }
  return text;
}

struct Good {
  const char *line;
  const char *parsed;
};

const Good kGood[] = {
    {"install", "install address=-999 count=-999 image="},
    {"install --address 0x300 --count 16", "install address=768 count=16 image="},
    {"install --count 4 --address 256", "install address=256 count=4 image="},
    {"install --address 0xFFFF --count 0", "install address=65535 count=0 image="},
    {"install --image C:\\drv\\nalouni_nostop.sys", "install address=-999 count=-999 image=C:\\drv\\nalouni_nostop.sys"},
    {"uninstall", "uninstall"},
    {"status", "status"},
    {"outputs", "outputs"},
    {"card --address 0x108", "card absent=0 address=264"},
    {"card --address 0", "card absent=0 address=0"},
    {"card --absent", "card absent=1 address=0"},
    {"encoder 1 --bits 13", "encoder 1 bits=13 code=-999 position=-999 speed=-999 plugged=-999"},
    {"encoder 4 --bits 25 --code binary --position 0x1FFFFFF --speed -100 --unplugged",
     "encoder 4 bits=25 code=1 position=33554431 speed=-100 plugged=0"},
    {"encoder 2 --code gray --plugged", "encoder 2 bits=-999 code=0 position=-999 speed=-999 plugged=1"},
    {"encoder 3 --position 1023 --bits 10", "encoder 3 bits=10 code=-999 position=1023 speed=-999 plugged=-999"},
    {"encoder 0x2 --speed 0x10", "encoder 2 bits=-999 code=-999 position=-999 speed=16 plugged=-999"},
    {"zero 1 on", "zero 1 1"},
    {"zero 4 off", "zero 4 0"},
};

const char *const kBad[] = {
    "",
    "frobnicate",
    "install --address",
    "install --address 0x10000",
    "install --address -1",
    "install --address 12abc",
    "install --address 0x",
    "install --count 0x10001",
    "install --address 1 --address 2",
    "install --port 3",
    "install --image",
    "uninstall now",
    "status --verbose",
    "outputs 3",
    "card",
    "card --address",
    "card --address 0x10000",
    "card --absent --address 0x100",
    "card --present",
    "encoder",
    "encoder 0 --bits 10",
    "encoder 5 --bits 10",
    "encoder x --bits 10",
    "encoder 1",
    "encoder 1 --bits 0",
    "encoder 1 --bits 26",
    "encoder 1 --code octal",
    "encoder 1 --code",
    "encoder 1 --position 0x2000000",
    "encoder 1 --bits 10 --position 1024",
    "encoder 1 --speed 0x80000000",
    "encoder 1 --speed 1.5",
    "encoder 1 --plugged --unplugged",
    "encoder 1 --bits 10 --bits 12",
    "encoder 1 --colour red",
    "zero",
    "zero 1",
    "zero 5 on",
    "zero 1 yes",
    "zero 1 on off",
};

bool OneLine(const std::string &text) {
  std::string t = text;
  while (!t.empty() && (t.back() == '\n' || t.back() == '\r'))
    t.pop_back();
  return !t.empty() && t.find('\n') == std::string::npos;
}

}  // namespace

int main(int argc, char **argv) {
  for (const Good &g : kGood) {
    Command c;
    std::string error;
    const bool ok = Parse(g.line, &c, &error);
    CHECK(ok && Describe(c) == g.parsed, "'%s' parses to '%s' (got %s '%s')", g.line, g.parsed,
          ok ? "" : "error", ok ? Describe(c).c_str() : error.c_str());
  }
  for (const char *line : kBad) {
    Command c;
    std::string error;
    const bool ok = Parse(line, &c, &error);
    CHECK(!ok && !error.empty() && error.find('\n') == std::string::npos,
          "'%s' is refused with one line: '%s'", line, error.c_str());
  }

  // The built tool: exit code 2 and one line on stderr, before touching
  // anything (none of these lines may reach the service manager).
  if (argc > 1) {
    const std::string tool = WindowsPath(argv[1]);
    for (const char *line : {"", "install --count 0x10001", "encoder 5 --bits 10", "zero 1 maybe",
                             "card --absent --address 0x100"}) {
      std::string err;
      const DWORD code = RunTool(tool, line, &err);
      CHECK(code == 2 && OneLine(err) && err.rfind("nalouni: ", 0) == 0,
            "nalouni %s: exit code %lu, message '%s'", line, code, err.c_str());
    }
  } else {
    CHECK(false, "path of nalouni.exe given as first argument");
  }
  return check_result("nalouni_arguments");
}
