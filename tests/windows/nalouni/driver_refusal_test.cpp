// The driver refuses every malformed request and changes nothing: a table
// of wrong codes, short buffers, ports out of range and bad steering
// values, each sent with the card placed where a wrongly served request
// would show; then a bounded random run against the request rules, after
// which the driver must still serve.
#include <cstring>
#include <vector>

#include "../check.h"
#include "driver_client.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Dwords(std::initializer_list<uint32_t> values) {
  Bytes b;
  for (uint32_t v : values)
    for (int i = 0; i < 4; ++i)
      b.push_back(static_cast<uint8_t>(v >> (8 * i)));
  return b;
}

Bytes Write(uint32_t port, uint8_t value) {
  Bytes b = Dwords({port});
  b.push_back(value);
  return b;
}

Bytes Cut(Bytes b, size_t length) {
  b.resize(length);
  return b;
}

struct Bad {
  const char *what;
  DWORD code;
  Bytes input;
  DWORD outputLength;
  uint32_t card;  // card address where a wrongly served request would show
};

const uint32_t kWrite = IOCTL_NALOUNI_WRITE_BYTE, kRead = IOCTL_NALOUNI_READ_BYTE;

std::vector<Bad> BadRequests() {
  const Bytes reg7 = Write(7, 0xFC);
  return {
      // codes near the real ones: other function, method, access, device type
      {"code 0", 0, reg7, 1, 0x100},
      {"function 0x911", 0x9C40A444, reg7, 1, 0x100},
      {"write code with METHOD_IN_DIRECT", 0x9C40A441, reg7, 1, 0x100},
      {"write code with METHOD_NEITHER", 0x9C40A443, reg7, 1, 0x100},
      {"write code with any access", 0x9C40E440, reg7, 1, 0x100},
      {"write code with no access", 0x9C402440, reg7, 1, 0x100},
      {"write function with read access", 0x9C406440, reg7, 1, 0x100},
      {"read function with write access", 0x9C40A400, reg7, 1, 0x100},
      {"write function on device type 0x22", 0x0022A440, reg7, 1, 0x100},
      {"write function on device type 0x9C41", 0x9C41A440, reg7, 1, 0x100},
      {"private function 0xA06", 0x9C40A818, reg7, 1, 0x100},
      {"code 0xFFFFFFFF", 0xFFFFFFFF, reg7, 1, 0x100},
      // short buffers
      {"write, no input", kWrite, {}, 0, 0x100},
      {"write, 4 input bytes", kWrite, Cut(reg7, 4), 0, 0x100},
      {"read, no input", kRead, {}, 1, 0x100},
      {"read, 3 input bytes", kRead, Cut(Dwords({7}), 3), 1, 0x100},
      {"read, no output", kRead, Dwords({7}), 0, 0x100},
      {"bus write, 4 input bytes", IOCTL_NALOUNI_BUS_WRITE, Cut(Write(0x107, 0xFC), 4), 0, 0x100},
      {"bus read, no output", IOCTL_NALOUNI_BUS_READ, Dwords({0x107}), 0, 0x100},
      {"set card, 7 input bytes", IOCTL_NALOUNI_SET_CARD, Cut(Dwords({0x200, 1}), 7), 0, 0x100},
      {"set encoder, 23 input bytes", IOCTL_NALOUNI_SET_ENCODER,
       Cut(Dwords({1, 10, 1, 1, 5, 0}), 23), 0, 0x100},
      {"set zero, 7 input bytes", IOCTL_NALOUNI_SET_ZERO, Cut(Dwords({1, 1}), 7), 0, 0x100},
      {"state, one output byte short", IOCTL_NALOUNI_GET_STATE, {}, sizeof(NaloUniState) - 1, 0x100},
      // ports outside the window 0x100 + 0..7, each landing on a card's register 7
      {"write port 8", kWrite, Write(8, 0xFC), 0, 0x101},
      {"write port 15", kWrite, Write(15, 0xFC), 0, 0x108},
      {"write port 0x107", kWrite, Write(0x107, 0xFC), 0, 0x200},
      {"write port 0xFFFFFFFF (wraps to 0xFF)", kWrite, Write(0xFFFFFFFF, 0xFC), 0, 0xF8},
      {"write port 0xFFFFFF07 (wraps to 0x07)", kWrite, Write(0xFFFFFF07, 0xFC), 0, 0x000},
      {"write port 0x80000007", kWrite, Write(0x80000007, 0xFC), 0, 0x100},
      {"write port 0x10007", kWrite, Write(0x10007, 0xFC), 0, 0x100},
      {"read port 8", kRead, Dwords({8}), 1, 0x101},
      {"read port 0xFFFFFFFF", kRead, Dwords({0xFFFFFFFF}), 1, 0xF8},
      {"bus write port 0x10007 (16 bits would be 0x0007)", IOCTL_NALOUNI_BUS_WRITE,
       Write(0x10007, 0xFC), 0, 0x000},
      {"bus read port 0x10000", IOCTL_NALOUNI_BUS_READ, Dwords({0x10000}), 1, 0x100},
      // steering values out of range
      {"card address 0x10100", IOCTL_NALOUNI_SET_CARD, Dwords({0x10100, 1}), 0, 0x100},
      {"card present 2", IOCTL_NALOUNI_SET_CARD, Dwords({0x200, 2}), 0, 0x100},
      {"encoder channel 0", IOCTL_NALOUNI_SET_ENCODER, Dwords({0, 10, 1, 1, 5, 0}), 0, 0x100},
      {"encoder channel 5", IOCTL_NALOUNI_SET_ENCODER, Dwords({5, 10, 1, 1, 5, 0}), 0, 0x100},
      {"encoder 0 bits", IOCTL_NALOUNI_SET_ENCODER, Dwords({1, 0, 1, 1, 0, 0}), 0, 0x100},
      {"encoder 26 bits", IOCTL_NALOUNI_SET_ENCODER, Dwords({1, 26, 1, 1, 5, 0}), 0, 0x100},
      {"encoder code 2", IOCTL_NALOUNI_SET_ENCODER, Dwords({1, 10, 2, 1, 5, 0}), 0, 0x100},
      {"encoder plugged 2", IOCTL_NALOUNI_SET_ENCODER, Dwords({1, 10, 1, 2, 5, 0}), 0, 0x100},
      {"encoder position 1024 at 10 bits", IOCTL_NALOUNI_SET_ENCODER,
       Dwords({1, 10, 1, 1, 1024, 0}), 0, 0x100},
      {"encoder position 2^25 at 25 bits", IOCTL_NALOUNI_SET_ENCODER,
       Dwords({1, 25, 1, 1, 0x2000000, 0}), 0, 0x100},
      {"zero input 0", IOCTL_NALOUNI_SET_ZERO, Dwords({0, 1}), 0, 0x100},
      {"zero input 5", IOCTL_NALOUNI_SET_ZERO, Dwords({5, 1}), 0, 0x100},
      {"zero input active 2", IOCTL_NALOUNI_SET_ZERO, Dwords({1, 2}), 0, 0x100},
  };
}

void RefusalTable(DriverClient &d) {
  for (const Bad &bad : BadRequests()) {
    // Card placed, register 7 cleared through the bus, all encoders still.
    NaloUniState before{}, after{};
    const bool placed = d.ResetCard(bad.card) &&
                        d.Request(IOCTL_NALOUNI_BUS_WRITE, Write(bad.card + 7, 0).data(), 5,
                                  nullptr, 0) &&
                        d.State(&before);
    Bytes output(bad.outputLength + 1, 0xA5);
    DWORD returned = 12345;
    const bool served = d.Request(bad.code, bad.input.empty() ? nullptr : bad.input.data(),
                                  static_cast<DWORD>(bad.input.size()),
                                  bad.outputLength ? output.data() : nullptr, bad.outputLength,
                                  &returned);
    const DWORD error = GetLastError();
    const bool same = d.State(&after) && SameState(before, after);
    CHECK(placed && !served && returned == 0 && same,
          "%s: refused (%s, error %lu), nothing returned (%lu), card unchanged (%s)", bad.what,
          served ? "served" : "refused", served ? 0 : error, returned, same ? "yes" : "no");
  }
  d.ResetCard();
  NaloUniState s{};
  CHECK(d.WriteByte(7, 0xFC) && d.State(&s) && s.controlRegister == 0xFC,
        "port 7, the last port of the window, is served (0x%02X)", (unsigned)s.controlRegister);
}

// The request rules, as the device's interface states them.
bool Acceptable(DWORD code, const Bytes &in, DWORD outLength, const NaloUniState &window) {
  auto dw = [&](size_t i) {
    uint32_t v;
    std::memcpy(&v, in.data() + 4 * i, 4);
    return v;
  };
  auto inWindow = [&](uint32_t port) {
    return port < window.ioPortCount && uint64_t(window.ioPortAddress) + port <= 0xFFFF;
  };
  switch (code) {
  case IOCTL_NALOUNI_WRITE_BYTE: return in.size() >= 5 && inWindow(dw(0));
  case IOCTL_NALOUNI_READ_BYTE: return in.size() >= 4 && outLength >= 1 && inWindow(dw(0));
  case IOCTL_NALOUNI_BUS_WRITE: return in.size() >= 5 && dw(0) <= 0xFFFF;
  case IOCTL_NALOUNI_BUS_READ: return in.size() >= 4 && outLength >= 1 && dw(0) <= 0xFFFF;
  case IOCTL_NALOUNI_SET_CARD: return in.size() >= 8 && dw(0) <= 0xFFFF && dw(1) <= 1;
  case IOCTL_NALOUNI_SET_ENCODER:
    return in.size() >= 24 && dw(0) >= 1 && dw(0) <= 4 && dw(1) >= 1 && dw(1) <= 25 &&
           dw(2) <= 1 && dw(3) <= 1 && (dw(4) >> dw(1)) == 0;
  case IOCTL_NALOUNI_SET_ZERO:
    return in.size() >= 8 && dw(0) >= 1 && dw(0) <= 4 && dw(1) <= 1;
  case IOCTL_NALOUNI_GET_STATE: return outLength >= sizeof(NaloUniState);
  }
  return false;
}

DWORD ExpectedReturn(DWORD code) {
  if (code == IOCTL_NALOUNI_READ_BYTE || code == IOCTL_NALOUNI_BUS_READ)
    return 1;
  return code == IOCTL_NALOUNI_GET_STATE ? sizeof(NaloUniState) : 0;
}

struct Random {  // fixed-seed generator: the same run every time
  uint32_t state = 0x5EED1234;
  uint32_t Next() {
    state = state * 1664525u + 1013904223u;
    return state >> 8 | state << 24;
  }
  uint32_t Below(uint32_t n) { return Next() % n; }
};

bool StateSane(const NaloUniState &s, const NaloUniState &window) {
  bool ok = s.ioPortAddress == window.ioPortAddress && s.ioPortCount == window.ioPortCount &&
            s.card.address <= 0xFFFF && s.card.present <= 1 && s.zeroInputs <= 0xF &&
            s.controlRegister <= 0xFF;
  for (const NaloUniEncoder &e : s.encoder)
    ok = ok && e.bits >= 1 && e.bits <= 25 && e.code <= 1 && e.plugged <= 1 &&
         (e.position >> e.bits) == 0;
  return ok;
}

void RandomRun(DriverClient &d, const NaloUniState &window) {
  static const DWORD kCodes[] = {kWrite, kRead, IOCTL_NALOUNI_BUS_WRITE, IOCTL_NALOUNI_BUS_READ,
                                 IOCTL_NALOUNI_SET_CARD, IOCTL_NALOUNI_SET_ENCODER,
                                 IOCTL_NALOUNI_SET_ZERO, IOCTL_NALOUNI_GET_STATE};
  // Boundary values make valid requests common enough among the invalid.
  static const uint32_t kWords[] = {0, 1, 2, 3, 4, 5, 7, 8, 10, 24, 25, 26, 0xFF, 0x100, 0x107,
                                    0xFFFF, 0x10000, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
  const int kCount = 20000;
  const DWORD kBoundMs = 60000, start = GetTickCount();
  Random rng;
  int sent = 0, accepted = 0, mismatches = 0, insane = 0;
  for (; sent < kCount && GetTickCount() - start < kBoundMs; ++sent) {
    DWORD code = kCodes[rng.Below(8)];
    if (rng.Below(8) == 0)
      code ^= 1u << rng.Below(32);  // a near miss
    static const uint32_t kLengths[] = {4, 5, 8, 24};
    Bytes in(rng.Below(4) == 0 ? rng.Below(30) : kLengths[rng.Below(4)]);
    for (size_t i = 0; i + 4 <= in.size(); i += 4) {
      const uint32_t w = rng.Below(4) ? kWords[rng.Below(20)] : rng.Next();
      std::memcpy(in.data() + i, &w, 4);
    }
    for (size_t i = in.size() & ~size_t(3); i < in.size(); ++i)
      in[i] = static_cast<uint8_t>(rng.Next());
    const DWORD outLength = rng.Below(3) == 0 ? rng.Below(140) : ExpectedReturn(code);
    Bytes out(outLength + 1);
    DWORD returned = 0;
    const bool served = d.Request(code, in.empty() ? nullptr : in.data(),
                                  static_cast<DWORD>(in.size()),
                                  outLength ? out.data() : nullptr, outLength, &returned);
    const bool expected = Acceptable(code, in, outLength, window);
    accepted += served;
    if (served != expected || (served && returned != ExpectedReturn(code))) {
      if (++mismatches <= 5)
        std::printf("  request %d: code 0x%08lX in %u out %lu: %s, returned %lu\n", sent, code,
                    (unsigned)in.size(), outLength, served ? "served" : "refused", returned);
    }
    if (sent % 1000 == 999) {
      NaloUniState s{};
      if (!d.State(&s) || !StateSane(s, window))
        ++insane;
    }
  }
  const DWORD elapsed = GetTickCount() - start;
  CHECK(mismatches == 0 && insane == 0,
        "random run: %d requests (%d served) in %lu ms, each served or refused by the rules "
        "(%d mismatches, %d bad states)",
        sent, accepted, elapsed, mismatches, insane);
  CHECK(sent >= 2000, "random run got through at least 2000 requests within its time bound");
}

void StillServes(DriverClient &d) {
  NaloUniState s{};
  uint8_t reg = 0;
  const bool ok = d.ResetCard() && d.WriteByte(7, 0x6C) && d.State(&s) && d.SetZero(2, 1) &&
                  d.ReadByte(7, &reg);
  CHECK(ok && s.controlRegister == 0x6C && (reg & 0xFE) == 0xE4,
        "after the run the driver serves: register 7 0x%02X, zero input 2 read 0x%02X",
        (unsigned)s.controlRegister, reg);
  d.ResetCard();
}

}  // namespace

int main() {
  DriverClient d;
  NaloUniState window{};
  CHECK(d.Open() && d.ResetCard() && d.State(&window),
        "\\\\.\\NaloUniDev opens and the card resets (driver installed by the nalouni_driver fixture)");
  if (!d.Open())
    return check_result("nalouni_driver_refusal");
  RefusalTable(d);
  RandomRun(d, window);
  StillServes(d);
  return check_result("nalouni_driver_refusal");
}
