// ssikovo.exe as a user runs it, over the port driver with the simulated
// card: readings of several settings, the CSV shape, the samples' times,
// the card released after a read, outputs seen on the card, zero inputs, the
// base address, and a table of bad arguments that must not reach the card.
// (Ctrl+C is not sent here: under Wine without a terminal no console event
// reaches a child process.)
//   console_test <ssikovo.exe>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../check.h"
#include "driver_client.h"

namespace {

std::string Program;
DriverClient* Card;

struct Run {
  DWORD code = 1000;
  std::string out, err;
};

typedef std::vector<std::string> Lines;

std::string ReadAll(HANDLE pipe) {
  std::string text;
  char chunk[512];
  DWORD got;
  while (ReadFile(pipe, chunk, sizeof chunk, &got, nullptr) && got) text.append(chunk, got);
  return text;
}

// Starts "ssikovo <arguments>" with its stdout and stderr on two pipes; the
// caller reads them and waits for the process.
struct Child {
  PROCESS_INFORMATION process{};
  HANDLE out = nullptr, err = nullptr;

  bool Start(const std::string& arguments, DWORD flags = 0) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE outWrite, errWrite;
    if (!CreatePipe(&out, &outWrite, &inherit, 0)) return false;
    if (!CreatePipe(&err, &errWrite, &inherit, 0)) return false;
    SetHandleInformation(out, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(err, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    std::string line = "\"" + Program + "\" " + arguments;
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back(0);
    const BOOL started = CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, TRUE, flags,
                                        nullptr, nullptr, &startup, &process);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    return started != FALSE;
  }

  // Reads stderr (one line at most in every case here) after stdout.
  Run Finish(std::string outSoFar = "") {
    Run r;
    r.out = outSoFar + ReadAll(out);
    r.err = ReadAll(err);
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
      GetExitCodeProcess(process.hProcess, &r.code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    CloseHandle(out);
    CloseHandle(err);
    return r;
  }
};

Run Ssikovo(const std::string& arguments) {
  Child child;
  if (!child.Start(arguments)) {
    CHECK(false, "cannot start %s", Program.c_str());
    return Run();
  }
  return child.Finish();
}

Lines SplitLines(const std::string& text) {
  Lines lines;
  std::string line;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

Lines Split(const std::string& line, char separator) {
  Lines fields;
  std::string field;
  for (char c : line) {
    if (c == separator) {
      fields.push_back(field);
      field.clear();
    } else {
      field += c;
    }
  }
  fields.push_back(field);
  return fields;
}

// One sample of the plain output: "<time> ms  <ch>: <position>  ...".
struct Sample {
  long time = -1;
  std::vector<long> channels, positions;
};

bool ParseSample(const std::string& line, Sample* s) {
  Lines words;
  for (const std::string& w : Split(line, ' '))
    if (!w.empty()) words.push_back(w);
  if (words.size() < 4 || words[1] != "ms" || words.size() % 2 != 0) return false;
  s->time = std::strtol(words[0].c_str(), nullptr, 10);
  for (size_t i = 2; i < words.size(); i += 2) {
    if (words[i].back() != ':') return false;
    s->channels.push_back(std::strtol(words[i].c_str(), nullptr, 10));
    s->positions.push_back(std::strtol(words[i + 1].c_str(), nullptr, 10));
  }
  return true;
}

std::vector<Sample> Samples(const Run& r) {
  std::vector<Sample> samples;
  for (const std::string& line : SplitLines(r.out)) {
    Sample s;
    CHECK(ParseSample(line, &s), "not a sample line: [%s]", line.c_str());
    samples.push_back(s);
  }
  return samples;
}

NaloUniState State() {
  NaloUniState state{};
  CHECK(Card->State(&state), "card state");
  return state;
}

void SetEncoder(uint32_t channel, uint32_t bits, uint32_t code, uint32_t position, int32_t speed = 0) {
  CHECK(Card->SetEncoder(NaloUniEncoder{channel, bits, code, 1, position, speed}),
        "encoder %u", (unsigned)channel);
}

uint32_t Gray(uint32_t value) { return value ^ (value >> 1); }

const uint32_t kGray = NALOUNI_CODE_GRAY, kBinary = NALOUNI_CODE_BINARY;

// Still encoders read with the settings given: every sample shows the
// positions of the channels in the order given.
void Readings() {
  struct Encoder {
    uint32_t channel, bits, code, position;
  };
  const struct {
    const char* arguments;
    std::vector<Encoder> encoders;
    std::vector<long> channels, positions;
  } cases[] = {
      {"read 1 --bits 13 --code binary --count 3", {{1, 13, kBinary, 0x1ABC}}, {1}, {0x1ABC}},
      // The card's defaults: 25 bits, Gray, 100 kHz.
      {"read 3 --count 2", {{3, 25, kGray, 0x1234567}}, {3}, {0x1234567}},
      {"read 4 2 --bits 10 --clock 50 --code binary --count 2",
       {{2, 10, kBinary, 0x3FF}, {4, 10, kBinary, 5}}, {4, 2}, {5, 0x3FF}},
      {"read 2 --bits 20 --clock 1000 --code gray --count 1", {{2, 20, kGray, 999999}}, {2}, {999999}},
      // A Gray encoder read as binary shows its Gray word.
      {"read 1 --bits 12 --code binary --clock 500 --count 1", {{1, 12, kGray, 0x9AB}}, {1},
       {static_cast<long>(Gray(0x9AB))}},
      {"read --count 2",
       {{1, 25, kGray, 1}, {2, 25, kGray, 22}, {3, 25, kGray, 333}, {4, 25, kGray, 0x1FFFFFF}},
       {1, 2, 3, 4}, {1, 22, 333, 0x1FFFFFF}},
  };
  for (const auto& c : cases) {
    Card->ResetCard();
    for (const Encoder& e : c.encoders) SetEncoder(e.channel, e.bits, e.code, e.position);
    const Run r = Ssikovo(c.arguments);
    CHECK(r.code == 0 && r.err.empty(), "%s: exit %lu, stderr [%s]", c.arguments, r.code, r.err.c_str());
    const std::vector<Sample> samples = Samples(r);
    const char* count = std::strstr(c.arguments, "--count ") + 8;
    CHECK(samples.size() == std::strtoul(count, nullptr, 10), "%s: %u samples", c.arguments,
          static_cast<unsigned>(samples.size()));
    for (const Sample& s : samples) {
      CHECK(s.channels == c.channels, "%s: channels of a sample", c.arguments);
      CHECK(s.positions == c.positions, "%s: positions %ld ...", c.arguments,
            s.positions.empty() ? -1 : s.positions[0]);
    }
  }
}

// A moving encoder: the samples come at the interval or later, counted from
// the first, and each position lies between the card's before and after.
void MovingEncoderAndInterval() {
  Card->ResetCard();
  SetEncoder(1, 13, kBinary, 100, 250);
  const long before = static_cast<long>(State().encoder[0].position);
  const Run r = Ssikovo("read 1 --bits 13 --code binary --count 4 --interval 300");
  const long after = static_cast<long>(State().encoder[0].position);
  const std::vector<Sample> samples = Samples(r);
  CHECK(r.code == 0 && samples.size() == 4, "exit %lu, %u samples", r.code,
        static_cast<unsigned>(samples.size()));
  long last = before;
  for (size_t k = 0; k < samples.size(); ++k) {
    const Sample& s = samples[k];
    CHECK(s.time >= static_cast<long>(300 * k), "sample %u at %ld ms", static_cast<unsigned>(k), s.time);
    CHECK(s.positions.size() == 1 && s.positions[0] >= last && s.positions[0] <= after,
          "sample %u: %ld not within %ld..%ld", static_cast<unsigned>(k),
          s.positions.empty() ? -1 : s.positions[0], last, after);
    if (!s.positions.empty()) last = s.positions[0];
  }
  CHECK(samples.size() == 4 && samples[3].positions[0] > samples[0].positions[0] + 150,
        "the encoder moved 250 counts a second for 0.9 s at least");
}

// --csv: a header naming the channels in the order given, then one row per
// sample of as many numeric fields.
void CsvShape() {
  Card->ResetCard();
  SetEncoder(3, 16, kBinary, 0xBEEF);
  SetEncoder(1, 16, kBinary, 0x0123);
  const Run r = Ssikovo("read 3 1 --bits 16 --code binary --count 3 --interval 50 --csv");
  const Lines lines = SplitLines(r.out);
  CHECK(r.code == 0 && lines.size() == 4, "exit %lu, %u lines", r.code, static_cast<unsigned>(lines.size()));
  if (lines.empty()) return;
  CHECK(lines[0] == "time_ms,ch3,ch1", "header [%s]", lines[0].c_str());
  long previous = -1;
  for (size_t i = 1; i < lines.size(); ++i) {
    const Lines fields = Split(lines[i], ',');
    CHECK(fields.size() == 3, "row [%s]", lines[i].c_str());
    if (fields.size() != 3) continue;
    for (const std::string& f : fields)
      CHECK(!f.empty() && f.find_first_not_of("0123456789") == std::string::npos, "field [%s]", f.c_str());
    const long time = std::strtol(fields[0].c_str(), nullptr, 10);
    CHECK(time > previous || i == 1, "times rise: %ld after %ld", time, previous);
    previous = time;
    CHECK(fields[1] == "48879" && fields[2] == "291", "row [%s]", lines[i].c_str());
  }
}

// A read ends with DeInitSSIKovo: register 7 is cleared, though the read left
// channel 2 selected and the outputs on.
void ReadReleasesTheCard() {
  Card->ResetCard();
  CHECK(Ssikovo("outputs 0x3F").code == 0, "outputs");
  CHECK(State().controlRegister == 0xFC, "outputs on: %02x", (unsigned)State().controlRegister);
  const Run r = Ssikovo("read 2 --count 1");
  CHECK(r.code == 0, "read exit %lu", r.code);
  CHECK(State().controlRegister == 0x00, "register 7 after the read: %02x", (unsigned)State().controlRegister);
}

// outputs FLAGS: set on the card and left set when the program has ended.
void Outputs() {
  const struct {
    const char* flags;
    uint32_t expected;
  } cases[] = {
      {"0x21", 0x21}, {"33", 0x21}, {"1,6", 0x21}, {"6,", 0x20}, {"0X3f", 0x3F},
      {"2,3,4", 0x0E}, {"4,4", 0x08}, {"0", 0x00}, {"6", 0x06},
  };
  for (const auto& c : cases) {
    Card->ResetCard();
    const Run r = Ssikovo(std::string("outputs ") + c.flags);
    char expected[32];
    std::snprintf(expected, sizeof expected, "outputs 0x%02X", static_cast<unsigned>(c.expected));
    CHECK(r.code == 0 && SplitLines(r.out) == Lines{expected}, "outputs %s: exit %lu, [%s]", c.flags, r.code,
          r.out.c_str());
    const uint32_t reg = State().controlRegister;
    CHECK(reg >> 2 == c.expected, "outputs %s: register 7 %02x", c.flags, static_cast<unsigned>(reg));
  }
}

void Inputs() {
  const struct {
    uint32_t active;
    const char* line;
  } cases[] = {
      {0x0, "0x00  1 off 2 off 3 off 4 off"},
      {0x5, "0x05  1 on 2 off 3 on 4 off"},
      {0x8, "0x08  1 off 2 off 3 off 4 on"},
      {0xF, "0x0F  1 on 2 on 3 on 4 on"},
  };
  for (const auto& c : cases) {
    Card->ResetCard();
    for (uint32_t n = 1; n <= 4; ++n) Card->SetZero(n, (c.active >> (n - 1)) & 1);
    const Run r = Ssikovo("inputs");
    CHECK(r.code == 0 && SplitLines(r.out) == Lines{c.line}, "inputs %x: exit %lu, [%s]",
          static_cast<unsigned>(c.active), r.code, r.out.c_str());
  }
}

// address A rewrites the driver's address and restarts its service; the card
// is then read at its new place. The steering handle is closed meanwhile.
void Address() {
  Card->Close();
  Run r = Ssikovo("address 0x300");
  Card->Reopen();
  CHECK(r.code == 0, "address 0x300: exit %lu", r.code);
  CHECK(State().ioPortAddress == 0x300, "the driver serves 0x%x", static_cast<unsigned>(State().ioPortAddress));
  Card->ResetCard(0x300);
  SetEncoder(2, 13, kBinary, 0x1ABC);
  r = Ssikovo("read 2 --bits 13 --code binary --count 1");
  const std::vector<Sample> samples = Samples(r);
  CHECK(samples.size() == 1 && samples[0].positions == std::vector<long>{0x1ABC}, "read at 0x300");

  Card->Close();
  r = Ssikovo("address 256");
  Card->Reopen();
  CHECK(r.code == 0 && State().ioPortAddress == 0x100, "back at 0x100: exit %lu, 0x%x", r.code,
        static_cast<unsigned>(State().ioPortAddress));
  Card->ResetCard();
}

// Each bad line: exit code 2, nothing on stdout, one line on stderr naming
// the argument, and not one port request reached the card.
void BadArguments() {
  const struct {
    const char* arguments;
    const char* named;
  } cases[] = {
      {"", "usage"},
      {"frobnicate", "frobnicate"},
      {"read 0", "\"0\""},
      {"read 5", "\"5\""},
      {"read 1 1", "twice"},
      {"read x", "\"x\""},
      {"read --bits 9", "\"9\""},
      {"read --bits 26", "\"26\""},
      {"read --bits", "--bits"},
      {"read --bits 0x", "\"0x\""},
      {"read --bits 1e1", "\"1e1\""},
      {"read --clock 49", "\"49\""},
      {"read --clock 1001", "\"1001\""},
      {"read --clock 99999999999", "\"99999999999\""},
      {"read --code grey", "\"grey\""},
      {"read --count 0", "\"0\""},
      {"read --count -1", "\"-1\""},
      {"read --count 3 --forever", "--forever"},
      {"read --interval 3600001", "\"3600001\""},
      {"read --interval", "--interval"},
      {"read --csv --frob", "--frob"},
      {"inputs 1", "\"1\""},
      {"outputs", "outputs"},
      {"outputs 64", "\"64\""},
      {"outputs 0x40", "\"0x40\""},
      {"outputs 1,7", "\"1,7\""},
      {"outputs 0,1", "\"0,1\""},
      {"outputs 1,,2", "\"1,,2\""},
      {"outputs ,", "\",\""},
      {"outputs 1 2", "\"2\""},
      {"address", "address"},
      {"address 0x10000", "\"0x10000\""},
      {"address zz", "\"zz\""},
      {"address 0x100 1", "\"1\""},
  };
  for (const auto& c : cases) {
    const uint32_t before = State().portRequests;
    const Run r = Ssikovo(c.arguments);
    const uint32_t after = State().portRequests;
    const Lines errors = SplitLines(r.err);
    CHECK(r.code == 2, "[%s]: exit %lu", c.arguments, r.code);
    CHECK(r.out.empty(), "[%s]: stdout [%s]", c.arguments, r.out.c_str());
    CHECK(errors.size() == 1 && errors[0].find(c.named) != std::string::npos, "[%s]: stderr [%s]",
          c.arguments, r.err.c_str());
    CHECK(after == before, "[%s]: %u port requests", c.arguments, static_cast<unsigned>(after - before));
  }
}

void Help() {
  const char* commands[] = {"read", "inputs", "outputs", "address"};
  for (const char* command : commands) {
    const uint32_t before = State().portRequests;
    const Run r = Ssikovo(std::string(command) + " --help");
    const std::string start = std::string("ssikovo ") + command;
    CHECK(r.code == 0 && r.out.compare(0, start.size(), start) == 0 && r.err.empty(), "%s --help: [%s]",
          command, r.out.c_str());
    CHECK(State().portRequests == before, "%s --help touched the card", command);
  }
  const Run all = Ssikovo("--help");
  CHECK(all.code == 0 && all.out.find("ssikovo address A") != std::string::npos, "--help");
}

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  if (argc != 2) {
    printf("usage: console_test <ssikovo.exe>\n");
    return 2;
  }
  Program = WindowsPath(argv[1]);
  DriverClient card;
  Card = &card;
  CHECK(card.Open(), "the port driver's device does not open: is the driver installed?");
  if (check_failures) return check_result("set-up");
  Readings();
  MovingEncoderAndInterval();
  CsvShape();
  ReadReleasesTheCard();
  Outputs();
  Inputs();
  Address();
  BadArguments();
  Help();
  card.ResetCard();
  return check_result("ssikovo.exe");
}
