// The library over the stand-in port driver and the simulated card, run as
// Wine reports a given Windows version. Scenarios:
//   driver <major>  NT family: positions, slots, outputs, inputs, an absent
//                   card, a stopped driver, handles over many Init/DeInit
//   ports           9x family, the port-instruction build: PortBase and
//                   SetAdrSSIKovo against the card's jumper
//   address         NT family: SetAdrSSIKovo rewriting the driver's
//                   parameters and restarting its service
//   nostop          the same with a driver that refuses to stop
#include <cstdlib>
#include <cstring>

#include "../check.h"
#include "card_steering.h"
#include "library_api.h"
#include "stdcall_caller.h"

namespace {

LibraryApi Lib;
CardSteering* Card;

constexpr uint32_t kGray = NALOUNI_CODE_GRAY, kBinary = NALOUNI_CODE_BINARY;

uint32_t EncoderPosition(uint32_t channel) {
  NaloUniState state = {};
  CHECK(Card->GetState(&state), "card state");
  return state.encoder[channel - 1].position;
}

uint32_t ControlRegister() {
  NaloUniState state = {};
  CHECK(Card->GetState(&state), "card state");
  return state.controlRegister;
}

int32_t CallGetSSIKovo(uint32_t slot) {
  StdcallResult r = CallStdcall(reinterpret_cast<void*>(Lib.GetSSIKovo), &slot, 1);
  CHECK(r.stackMoved == 0, "GetSSIKovo moved the stack by %ld", (long)r.stackMoved);
  CHECK(r.registersChanged == 0, "GetSSIKovo changed nonvolatile registers %05lx",
        (unsigned long)r.registersChanged);
  return static_cast<int32_t>(r.eax);
}

void CheckVersion(DWORD platform, DWORD major) {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExA(&version);
  CHECK(version.dwPlatformId == platform, "platform %lu, expected %lu", version.dwPlatformId, platform);
  if (major) CHECK(version.dwMajorVersion == major, "major %lu, expected %lu", version.dwMajorVersion, major);
}

void CheckPositions() {
  Card->SetCard(0x100, true);
  Card->SetEncoder(1, 25, kGray, 0x1234567, 0);
  Card->SetEncoder(2, 13, kBinary, 0x1ABC, 0);
  Card->SetEncoder(3, 20, kGray, 100000, 5000);
  Card->SetEncoder(4, 12, kGray, 0x9AB, 0);
  Lib.InitSSIKovo();
  Lib.ConfSSIKovo(2, 13, 1000, 1);
  Lib.ConfSSIKovo(3, 20, 200, 0);
  // Channel 4, 12 bits, 1000 kHz, Gray, with garbage in the high bits.
  uint32_t conf[] = {0xAB000004, 0x1234000C, 0x000103E8, 0xFFFFFF00};
  const StdcallResult frame = CallStdcall(reinterpret_cast<void*>(Lib.ConfSSIKovo), conf, 4);
  CHECK(frame.stackMoved == 0, "ConfSSIKovo frame: stack moved by %ld", (long)frame.stackMoved);
  CHECK(frame.registersChanged == 0, "ConfSSIKovo changed nonvolatile registers %05lx",
        (unsigned long)frame.registersChanged);

  CHECK(Lib.GetSSIKovo(1) == 0x1234567, "channel 1 read %lx", (long)Lib.GetSSIKovo(1));
  CHECK(CallGetSSIKovo(0x00000102) == 0x1ABC, "slot 0x102 reads channel 2");
  CHECK(CallGetSSIKovo(0x00000100) == 0, "slot 0x100 is channel 0");
  CHECK(Lib.GetSSIKovo(4) == 0x9AB, "channel 4 configured through garbage slots: %lx", (long)Lib.GetSSIKovo(4));
  for (int i = 0; i < 5; ++i) {
    const uint32_t before = EncoderPosition(3);
    const uint32_t read = static_cast<uint32_t>(Lib.GetSSIKovo(3));
    const uint32_t after = EncoderPosition(3);
    CHECK(before <= read && read <= after, "moving channel 3: %lu not within %lu..%lu",
          (unsigned long)read, (unsigned long)before, (unsigned long)after);
  }
}

void CheckOutputsAndInputs() {
  Lib.GetSSIKovo(2);
  Lib.SetOutputs(0x21);
  CHECK(ControlRegister() == 0x85, "outputs 1 and 6 after channel 2: %02lx", (unsigned long)ControlRegister());
  uint32_t slot = 0x00000140;
  CallStdcall(reinterpret_cast<void*>(Lib.SetOutputs), &slot, 1);
  CHECK(ControlRegister() == 0x01, "slot 0x140 sets no output: %02lx", (unsigned long)ControlRegister());

  Card->SetZeroInput(3, true);
  CHECK(Lib.GetInputs() == 0x04, "zero input 3 active");
  Card->SetZeroInput(3, false);
  CHECK(Lib.GetInputs() == 0x00, "zero input 3 gone");
  Card->SetZeroInput(1, true);
  Lib.GetSSIKovo(1);  // seen during the acquisition only
  Card->SetZeroInput(1, false);
  CHECK(Lib.GetInputs() == 0x01, "zero input 1 latched by the acquisition");
  CHECK(Lib.GetInputs() == 0x00, "latch emptied");
}

// With nothing at the address the status floats to 0xFF, which shows no
// timer in counter 1's mode: both waits end at their first poll, so the
// acquisition makes the minimum of 17 port requests instead of polling a
// wait limit out.
void CheckAbsentCard() {
  Card->SetCard(0x100, false);
  NaloUniState before = {}, after = {};
  Card->GetState(&before);
  const int32_t read = Lib.GetSSIKovo(1);
  Card->GetState(&after);
  CHECK(read == 0x1555555, "absent card, 25-bit Gray channel: %lx", (long)read);
  CHECK(after.portRequests - before.portRequests == 17,
        "absent card: %lu port requests", (unsigned long)(after.portRequests - before.portRequests));
  CHECK(Lib.GetInputs() == 0x0F, "absent card: the bus floats high");
  Card->SetCard(0x100, true);
}

// After DeInitSSIKovo no device is open: writes are lost and reads repeat the
// last byte a read request brought.
void CheckReleasedAndStopped() {
  Card->SetZeroInput(2, true);
  Lib.GetInputs();
  CHECK(Lib.GetInputs() == 0x02, "zero input 2 before release");
  Lib.DeInitSSIKovo();
  CHECK(ControlRegister() == 0x00, "release clears register 7");
  Card->SetZeroInput(2, false);
  Lib.SetOutputs(0x3F);
  CHECK(ControlRegister() == 0x00, "a write after release reaches nothing");
  CHECK(Lib.GetInputs() == 0x02, "a read after release repeats the last byte read");

  Card->Close();
  CHECK(StopDriverService(), "driver stopped");
  Lib.InitSSIKovo();
  CHECK(Lib.GetInputs() == 0x02, "stopped driver: reads repeat the last byte read");
  Lib.DeInitSSIKovo();
  CHECK(StartDriverService(), "driver started again");
  Card->Reopen();
}

void CheckHandlesOverInitCycles() {
  Lib.InitSSIKovo();
  Lib.DeInitSSIKovo();
  DWORD before = 0, after = 0;
  GetProcessHandleCount(GetCurrentProcess(), &before);
  for (int i = 0; i < 1000; ++i) {
    Lib.InitSSIKovo();
    if (i % 2) Lib.InitSSIKovo();  // a second Init while the device is open
    Lib.DeInitSSIKovo();
  }
  GetProcessHandleCount(GetCurrentProcess(), &after);
  CHECK(after == before, "handles before %lu, after 1000 Init/DeInit %lu", before, after);
}

int DriverScenario(DWORD major) {
  CheckVersion(VER_PLATFORM_WIN32_NT, major);
  CheckPositions();
  CheckOutputsAndInputs();
  CheckAbsentCard();
  CheckReleasedAndStopped();
  CheckHandlesOverInitCycles();
  return check_result("library over the port driver");
}

// The 9x-family path: PortBase is the card's address on the bus.
int PortsScenario() {
  CheckVersion(VER_PLATFORM_WIN32_WINDOWS, 0);
  Card->SetEncoder(1, 16, kBinary, 0xBEEF, 0);
  Card->SetCard(0x100, true);
  Lib.SetAdrSSIKovo(0x300);  // before InitSSIKovo: replaced by its default
  Lib.InitSSIKovo();
  Lib.ConfSSIKovo(1, 16, 500, 1);
  CHECK(Lib.GetSSIKovo(1) == 0xBEEF, "default base 0x100");

  struct Step { uint32_t setAddress, jumper; int32_t expected; };
  const Step steps[] = {
      {0x300, 0x100, 0xFFFF},  // the card is not where the library looks: the bus floats
      {0x300, 0x300, 0xBEEF},
      {0x400, 0x300, 0xBEEF},  // beyond 0x3FF: ignored
      {0x3FF, 0x3FF, 0xBEEF},  // the highest base, though its last register lies at 0x406
      {0x000, 0x000, 0xBEEF},
      {0x2A8, 0x2A8, 0xBEEF},  // any base, not only multiples of 8
  };
  for (const Step& s : steps) {
    Lib.SetAdrSSIKovo(static_cast<uint16_t>(s.setAddress));
    Card->SetCard(s.jumper, true);
    const int32_t read = Lib.GetSSIKovo(1);
    CHECK(read == s.expected, "SetAdrSSIKovo(%lx), jumper %lx: read %lx", (unsigned long)s.setAddress,
          (unsigned long)s.jumper, (long)read);
  }

  // Release and a new Init both go back to 0x100.
  Card->SetCard(0x100, true);
  Lib.DeInitSSIKovo();
  Lib.SetOutputs(0x3F);
  CHECK(ControlRegister() == 0xFC, "after release the ports at 0x100 are still reached: %02lx",
        (unsigned long)ControlRegister());
  Lib.InitSSIKovo();
  Lib.ConfSSIKovo(1, 16, 500, 1);
  Lib.SetAdrSSIKovo(0x300);
  Lib.InitSSIKovo();
  Lib.ConfSSIKovo(1, 16, 500, 1);
  CHECK(Lib.GetSSIKovo(1) == 0xBEEF, "InitSSIKovo drops the address set before it");
  Lib.DeInitSSIKovo();
  return check_result("library over the port instructions");
}

}  // namespace

int AddressScenario(LibraryApi& lib, CardSteering& card);
int AddressNoStopScenario(LibraryApi& lib, CardSteering& card);

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  if (argc < 4) {
    printf("usage: library_driver_test <windows version> driver <major>|ports|address <library>\n");
    return 2;
  }
  if (strcmp(argv[1], "--child") != 0) return RunAsWindowsVersion(argv[1], argc, argv);
  // argv: --child <version> <scenario> [major] <library>
  const char* scenario = argv[3];
  const char* library = argv[argc - 1];
  CHECK(Lib.Load(library), "cannot load %s", library);
  CardSteering card;
  Card = &card;
  CHECK(card.Open(), "the port driver's device does not open: is the driver installed?");
  if (check_failures) return check_result("set-up");
  if (strcmp(scenario, "driver") == 0) return DriverScenario(strtoul(argv[4], nullptr, 10));
  if (strcmp(scenario, "ports") == 0) return PortsScenario();
  if (strcmp(scenario, "address") == 0) return AddressScenario(Lib, card);
  if (strcmp(scenario, "nostop") == 0) return AddressNoStopScenario(Lib, card);
  printf("unknown scenario %s\n", scenario);
  return 2;
}
