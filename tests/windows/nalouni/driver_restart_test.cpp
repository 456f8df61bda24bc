// The simulated card's settings outlast a restart of the driver's service:
// set with the tool while the driver runs (live at once, and stored) and
// while it is stopped (stored only), then seen again after stop and start.
// The port window too is read anew from the parameters at each start.
#include "../check.h"
#include "driver_client.h"

namespace {

std::string Tool;

bool Run(const std::string &arguments) {
  std::string out;
  const DWORD code = RunTool(Tool, arguments, &out);
  if (code != 0)
    std::printf("  nalouni %s: exit %lu: %s", arguments.c_str(), code, out.c_str());
  return code == 0;
}

bool Encoder(const NaloUniState &s, uint32_t ch, uint32_t bits, uint32_t code, uint32_t plugged,
             uint32_t position) {
  const NaloUniEncoder &e = s.encoder[ch - 1];
  return e.bits == bits && e.code == code && e.plugged == plugged && e.position == position &&
         e.speed == 0;
}

bool SetPortAddress(DWORD address) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, NALOUNI_PARAMETERS_KEY, 0, KEY_ALL_ACCESS, &key))
    return false;
  const LONG rc = RegSetValueExA(key, "IoPortAddress", 0, REG_DWORD,
                                 reinterpret_cast<const BYTE *>(&address), sizeof address);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

void Restart(DriverClient &d, const char *why) {
  std::string error;
  d.Close();
  const bool ok = RestartService(&error);
  CHECK(ok, "service stops and starts again (%s) %s", why, error.c_str());
  d.Reopen();
}

}  // namespace

int main(int argc, char **argv) {
  DriverClient d;
  CHECK(d.Open() && argc > 1, "\\\\.\\NaloUniDev opens (driver installed by the nalouni_driver fixture)");
  if (!d.Open() || argc < 2)
    return check_result("nalouni_driver_restart");
  Tool = WindowsPath(argv[1]);
  NaloUniState s{};

  // While the driver runs: live at once.
  const bool set = Run("card --address 0x100") && Run("encoder 2 --bits 13 --code binary --position 0x123 --speed 0") &&
                   Run("encoder 4 --unplugged --speed 0") && Run("zero 3 on") && d.WriteByte(7, 0x80);
  CHECK(set && d.State(&s) && Encoder(s, 2, 13, 1, 1, 0x123) && s.encoder[3].plugged == 0 &&
            s.zeroInputs == 0x4 && s.controlRegister == 0x80,
        "tool settings take effect in the running driver");

  // A position beyond the encoder's present resolution is a bad argument.
  std::string out;
  const DWORD code = RunTool(Tool, "encoder 2 --position 0x2000", &out);
  CHECK(code == 2 && d.State(&s) && Encoder(s, 2, 13, 1, 1, 0x123),
        "position 0x2000 on the 13-bit encoder 2: exit %lu, encoder unchanged: %s", code, out.c_str());

  Restart(d, "settings stored by the tool");
  CHECK(d.State(&s) && Encoder(s, 2, 13, 1, 1, 0x123) && s.encoder[3].plugged == 0 &&
            s.zeroInputs == 0x4 && s.card.address == 0x100 && s.card.present == 1,
        "after the restart: encoder 2 13-bit binary at 0x123, encoder 4 unplugged, zero input 3 on");
  CHECK(s.controlRegister == 0, "after the restart the card is at power-on: register 7 0x%02X",
        (unsigned)s.controlRegister);

  // While the driver is stopped: stored only, taken at the next start.
  std::string error;
  d.Close();
  CHECK(StopDriverService(&error), "service stops %s", error.c_str());
  d.Reopen();
  CHECK(!d.Open(), "the stopped driver's device is gone");
  CHECK(Run("encoder 1 --bits 17 --position 5"), "the tool sets encoder 1 while the driver is stopped");
  CHECK(StartDriverService(&error), "service starts %s", error.c_str());
  d.Reopen();
  CHECK(d.State(&s) && Encoder(s, 1, 17, 0, 1, 5) && Encoder(s, 2, 13, 1, 1, 0x123),
        "after the start: encoder 1 17-bit Gray at 5, encoder 2 as before");

  // The port window is read at each start.
  CHECK(SetPortAddress(0x200) && Run("card --address 0x200"), "IoPortAddress 0x200 written, card moved to 0x200");
  Restart(d, "new IoPortAddress");
  CHECK(d.State(&s) && s.ioPortAddress == 0x200 && d.WriteByte(7, 0x44) && d.State(&s) &&
            s.controlRegister == 0x44,
        "driver serves 0x200: port 7 reaches the card there (IoPortAddress 0x%X, register 7 0x%02X)",
        (unsigned)s.ioPortAddress, (unsigned)s.controlRegister);

  // Back to the fixture's card for the other tests.
  const bool restored = SetPortAddress(NALOUNI_DEFAULT_ADDRESS) && Run("card --address 0x100") &&
                        Run("zero 3 off") && Run("encoder 1 --bits 25 --code gray --position 0 --plugged") &&
                        Run("encoder 2 --bits 25 --code gray --position 0 --plugged") &&
                        Run("encoder 4 --bits 25 --code gray --position 0 --plugged");
  Restart(d, "back to the defaults");
  CHECK(restored && d.State(&s) && s.ioPortAddress == NALOUNI_DEFAULT_ADDRESS &&
            Encoder(s, 1, 25, 0, 1, 0) && Encoder(s, 2, 25, 0, 1, 0) && s.zeroInputs == 0,
        "card back at its defaults");
  return check_result("nalouni_driver_restart");
}
