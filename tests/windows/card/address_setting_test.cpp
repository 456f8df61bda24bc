// SetAdrSSIKovo on the port-driver path: the driver's parameters in the
// registry, its service's restart, and what the library reads afterwards.
#include "../check.h"
#include "card_steering.h"
#include "library_api.h"

namespace {

constexpr int64_t kMissing = -1;
constexpr uint32_t kLiveOnlyPosition = 0x12345;  // set by request only: a restart loses it

struct Case {
  const char* name;
  int64_t address, count;  // parameters before the call
  uint16_t newAddress;
  int64_t expectAddress, expectCount;
  bool restart;
};

const Case kCases[] = {
    {"same address", 0x100, 8, 0x100, 0x100, 8, false},
    {"new address", 0x100, 8, 0x300, 0x300, 8, true},
    {"port count below 8", 0x100, 4, 0x100, 0x100, 8, true},
    {"port count above 8", 0x100, 16, 0x100, 0x100, 16, false},
    {"address value missing", kMissing, 8, 0x300, kMissing, 8, false},
    {"count value missing", 0x100, kMissing, 0x200, 0x200, kMissing, true},
    {"address beyond 0x3FF", 0x100, 8, 0x1234, 0x1234, 8, true},
};

int64_t Parameter(const char* name) {
  DWORD value = 0;
  return GetDriverParameter(name, &value) ? static_cast<int64_t>(value) : kMissing;
}

// Puts the driver in a known configuration, restarted so that it serves it.
void Configure(CardSteering& card, int64_t address, int64_t count) {
  card.Close();
  SetDriverParameter("IoPortAddress", address);
  SetDriverParameter("IoPortCount", count);
  StopDriverService();
  StartDriverService();
  card.Reopen();
}

void RunCase(LibraryApi& lib, CardSteering& card, const Case& c) {
  Configure(card, c.address, c.count);
  lib.InitSSIKovo();
  lib.ConfSSIKovo(1, 20, 1000, 1);
  card.SetCard(c.address == kMissing ? 0x100 : static_cast<uint32_t>(c.address), true);
  card.SetEncoder(1, 20, NALOUNI_CODE_BINARY, kLiveOnlyPosition, 0);
  card.Close();  // our own handle would keep the driver from stopping

  lib.SetAdrSSIKovo(c.newAddress);

  CHECK(Parameter("IoPortAddress") == c.expectAddress, "%s: IoPortAddress %llx", c.name,
        (long long)Parameter("IoPortAddress"));
  CHECK(Parameter("IoPortCount") == c.expectCount, "%s: IoPortCount %lld", c.name,
        (long long)Parameter("IoPortCount"));
  CHECK(DriverServiceState() == SERVICE_RUNNING, "%s: service state %lu", c.name, DriverServiceState());
  card.Reopen();
  NaloUniState state = {};
  CHECK(card.GetState(&state), "%s: card state", c.name);
  const bool restarted = state.encoder[0].position != kLiveOnlyPosition;
  CHECK(restarted == c.restart, "%s: %s", c.name, restarted ? "restarted" : "not restarted");

  // Whatever happened, the library reads the card where the driver now serves.
  card.SetCard(state.ioPortAddress, true);
  card.SetEncoder(1, 20, NALOUNI_CODE_BINARY, 0x5A5A5, 0);
  CHECK(lib.GetSSIKovo(1) == 0x5A5A5, "%s: reading after the call gives %lx", c.name,
        (long)lib.GetSSIKovo(1));
  lib.DeInitSSIKovo();
}

void CheckHandlesOverRestarts(LibraryApi& lib, CardSteering& card) {
  Configure(card, 0x100, 8);
  card.Close();
  lib.InitSSIKovo();
  DWORD before = 0, after = 0;
  GetProcessHandleCount(GetCurrentProcess(), &before);
  for (int i = 0; i < 20; ++i) lib.SetAdrSSIKovo(i % 2 ? 0x100 : 0x300);
  GetProcessHandleCount(GetCurrentProcess(), &after);
  CHECK(after == before, "handles before %lu, after 20 address changes %lu", before, after);
  lib.DeInitSSIKovo();
  card.Reopen();
}

}  // namespace

int AddressScenario(LibraryApi& lib, CardSteering& card) {
  for (const Case& c : kCases) RunCase(lib, card, c);
  CheckHandlesOverRestarts(lib, card);
  Configure(card, 0x100, 8);
  return check_result("address setting on the port driver");
}

// A driver that does not stop: the waits for its service give up at their
// bound, the call returns, and the library works again after InitSSIKovo.
int AddressNoStopScenario(LibraryApi& lib, CardSteering& card) {
  lib.InitSSIKovo();
  lib.ConfSSIKovo(1, 20, 1000, 1);
  card.SetCard(0x100, true);
  card.SetEncoder(1, 20, NALOUNI_CODE_BINARY, 0x5A5A5, 0);
  card.Close();

  const DWORD start = GetTickCount();
  lib.SetAdrSSIKovo(0x300);
  const DWORD elapsed = GetTickCount() - start;
  printf("SetAdrSSIKovo with a driver that does not stop returned after %lu ms\n", elapsed);
  // Two service waits of at most 10 s each, plus the requests around them.
  CHECK(elapsed < 30000, "SetAdrSSIKovo took %lu ms", elapsed);
  CHECK(Parameter("IoPortAddress") == 0x300, "IoPortAddress rewritten");
  printf("service state afterwards: %lu\n", DriverServiceState());

  lib.DeInitSSIKovo();
  lib.InitSSIKovo();
  lib.ConfSSIKovo(1, 20, 1000, 1);
  // The driver never restarted, so it still serves the card at 0x100.
  CHECK(lib.GetSSIKovo(1) == 0x5A5A5, "reading after InitSSIKovo gives %lx", (long)lib.GetSSIKovo(1));
  lib.DeInitSSIKovo();
  card.Reopen();
  SetDriverParameter("IoPortAddress", 0x100);
  return check_result("address setting with a driver that does not stop");
}
