// The driver serving the simulated card: register writes and reads through
// the device, through NALOUNI.dll and as the tool reports them, all of them
// the one card behind the driver.
#include <cstring>

#include "NaloUni.h"
#include "../check.h"
#include "driver_client.h"

namespace {

void RegisterSeven(DriverClient &d, const std::string &tool) {
  NaloUniState s{};
  CHECK(d.WriteByte(7, 0xA5) && d.State(&s) && s.controlRegister == 0xA5,
        "register 7 write 0xA5 is the card's control register (0x%02X)", (unsigned)s.controlRegister);
  std::string out;
  const DWORD code = RunTool(tool, "outputs", &out);
  CHECK(code == 0 && out.find("outputs 1-6: 1 0 0 1 0 1, register 7: 0xA5") != std::string::npos,
        "nalouni outputs shows 0xA5's outputs (exit %lu): %s", code, out.c_str());
  CHECK(d.WriteByte(7, 0x00) && d.State(&s) && s.controlRegister == 0,
        "register 7 write 0x00 clears it (0x%02X)", (unsigned)s.controlRegister);
}

void CounterOneStatus(DriverClient &d) {
  // Counter 1 in mode 1, LSB then MSB: its output goes high at once; the
  // read-back 0xE4 latches counter 1's status for register 1.
  uint8_t status = 0;
  const bool ok = d.WriteByte(3, 0x72) && d.WriteByte(3, 0xE4) && d.ReadByte(1, &status);
  CHECK(ok && (status & 0xBF) == 0xB2, "counter 1 status after 0x72, 0xE4: OUT high, RW 3, mode 1 (0x%02X)",
        status);
}

void ZeroInputs(DriverClient &d) {
  for (uint32_t n = 1; n <= NALOUNI_CHANNELS; ++n) {
    uint8_t reg = 0;
    const bool ok = d.SetZero(n, 1) && d.ReadByte(7, &reg);
    CHECK(ok && (reg & 0xFE) == (0xE0 | (1u << n)),
          "zero input %u alone reads as register 7 bit %u, bits 5-7 floating high (0x%02X)", n, n, reg);
    d.SetZero(n, 0);
  }
}

void CardAway(DriverClient &d) {
  struct Case {
    const char *what;
    uint32_t address, present;
  } cases[] = {{"no card", NALOUNI_DEFAULT_ADDRESS, 0}, {"card jumpered to 0x200", 0x200, 1},
               {"card at the window's end 0x108", 0x108, 1}};
  for (const Case &c : cases) {
    uint8_t r1 = 0, r4 = 0, r7 = 0;
    const bool ok = d.SetCard(c.address, c.present) && d.ReadByte(1, &r1) && d.ReadByte(4, &r4) &&
                    d.ReadByte(7, &r7);
    CHECK(ok && r1 == 0xFF && r4 == 0xFF && r7 == 0xFF, "%s: the bus floats (0x%02X 0x%02X 0x%02X)",
          c.what, r1, r4, r7);
  }
  uint8_t r7 = 0;
  CHECK(d.SetCard(NALOUNI_DEFAULT_ADDRESS, 1) && d.ReadByte(7, &r7) && r7 != 0xFF,
        "card back at 0x100 answers (register 7 0x%02X)", r7);
}

void PortLibrary(DriverClient &d) {
  CHECK(NaloUniInitDriver() != 0, "NaloUniInitDriver opens the device");
  NaloUniState s{};
  CHECK(NaloUniWriteByte(7, 0x15C) != 0 && d.State(&s) && s.controlRegister == 0x5C,
        "NaloUniWriteByte(7, 0x15C) writes the low byte to the same card (0x%02X)",
        (unsigned)s.controlRegister);
  d.SetZero(3, 1);
  const unsigned long reg = NaloUniReadByte(7);
  CHECK((reg & ~0xFFul) == 0 && (reg & 0xFE) == 0xE8, "NaloUniReadByte(7) sees zero input 3 (0x%lX)", reg);
  d.SetZero(3, 0);
  CHECK(NaloUniReadByte(8) == 0xFF, "NaloUniReadByte(8), beyond the window, reads as a floating bus");
  CHECK(NaloUniDeInitDriver() != 0, "NaloUniDeInitDriver closes the device");
  CHECK(NaloUniWriteByte(7, 0) == 0 && d.State(&s) && s.controlRegister == 0x5C,
        "after NaloUniDeInitDriver a write reaches nothing (0x%02X)", (unsigned)s.controlRegister);
  CHECK(NaloUniInitDriver() != 0 && NaloUniInitDriver() != 0 && NaloUniDeInitDriver() != 0 &&
            NaloUniDeInitDriver() == 0,
        "a second init keeps the one device, a second deinit has none to close");
}

}  // namespace

int main(int argc, char **argv) {
  DriverClient d;
  CHECK(d.Open(), "\\\\.\\NaloUniDev opens (driver installed by the nalouni_driver fixture)");
  if (!d.Open() || argc < 2)
    return check_result("nalouni_driver_ports");
  NaloUniState s{};
  CHECK(d.ResetCard() && d.State(&s) && s.ioPortAddress == NALOUNI_DEFAULT_ADDRESS &&
            s.ioPortCount == NALOUNI_DEFAULT_COUNT,
        "driver serves IoPortAddress 0x%X, IoPortCount %u", (unsigned)s.ioPortAddress,
        (unsigned)s.ioPortCount);
  RegisterSeven(d, WindowsPath(argv[1]));
  CounterOneStatus(d);
  ZeroInputs(d);
  CardAway(d);
  PortLibrary(d);
  d.ResetCard();
  return check_result("nalouni_driver_ports");
}
