// The driver with the SSI clock line left running: a request after a long
// pause comes back, and the card then holds what a running clock leaves in
// its receive register. How long that request takes is measured by
// tools/run-benchmark, not here.
#include <cstring>

#include "../check.h"
#include "driver_client.h"

namespace {

constexpr DWORD kPauseMs = 3000;

// Under a running clock the encoder latched once and repeats its word, MSB
// first, then the low bit after the LSB: the receive register holds 25
// consecutive samples of that stream, which repeats every bits + 1 samples.
bool WindowOfRepeatedWord(uint32_t received, uint32_t bits, uint32_t word) {
  for (uint32_t start = 0; start <= bits; ++start) {
    uint32_t window = 0;
    for (uint32_t k = 0; k < 25; ++k) {
      const uint32_t slot = (start + k) % (bits + 1);
      window = window << 1 | (slot < bits ? (word >> (bits - 1 - slot)) & 1 : 0);
    }
    if (window == received)
      return true;
  }
  return false;
}

void RunningLine(DriverClient &d, uint32_t channel, uint32_t bits, uint32_t position,
                 uint16_t divisor) {
  CHECK(d.ResetCard() && d.SetEncoder(NaloUniEncoder{channel, bits, NALOUNI_CODE_BINARY, 1, position, 0}),
        "channel %u: %u-bit encoder at 0x%X", channel, bits, position);
  CHECK(d.RunClockLine(channel, divisor), "channel %u: clock line running at divisor %u", channel,
        divisor);
  Sleep(kPauseMs);

  uint8_t first = 0;
  CHECK(d.ReadByte(7, &first) && (first & 0xFE) == 0xE0,
        "channel %u: register 7 read after %lu ms of running clock comes back (0x%02X)", channel,
        kPauseMs, first);
  // Stopped, the line leaves the register as it is for the reads below.
  uint8_t reg[4] = {};
  const bool ok = d.StopClockLine() && d.ReadByte(4, &reg[0]) && d.ReadByte(5, &reg[1]) &&
                  d.ReadByte(6, &reg[2]) && d.ReadByte(7, &reg[3]);
  const uint32_t received = reg[0] | reg[1] << 8 | reg[2] << 16 | (reg[3] & 1u) << 24;
  CHECK(ok && WindowOfRepeatedWord(received, bits, position),
        "channel %u: receive register 0x%07X is a window of the %u-bit word 0x%X sent again and "
        "again", channel, received, bits, position);
  NaloUniState s{};
  CHECK(d.State(&s) && s.encoder[channel - 1].position == position,
        "channel %u: the driver still serves its steering requests", channel);
}

}  // namespace

int main() {
  DriverClient d;
  CHECK(d.Open(), "\\\\.\\NaloUniDev opens (driver installed by the nalouni_driver fixture)");
  if (!d.Open())
    return check_result("nalouni_driver_running_clock");
  RunningLine(d, 1, 25, 0x1234567, 2);  // 1 MHz, the fastest the timer makes
  RunningLine(d, 2, 10, 0x2C9, 40);     // 50 kHz
  d.ResetCard();
  return check_result("nalouni_driver_running_clock");
}
