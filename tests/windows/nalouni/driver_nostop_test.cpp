// nalouni_nostop.sys, the driver without an unload routine, installed by the
// nalouni_driver_nostop fixture: a stop request leaves it running and
// serving, and a start request finds it running. Address setting relies on
// this to meet a service that never reaches "stopped".
#include "../check.h"
#include "driver_client.h"

int main() {
  DriverClient d;
  CHECK(d.Open(), "\\\\.\\NaloUniDev opens (nalouni_nostop.sys installed by its fixture)");
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE service = manager ? OpenServiceA(manager, NALOUNI_SERVICE_NAME, SERVICE_ALL_ACCESS)
                              : nullptr;
  CHECK(service != nullptr, "service NALOUNI opens");
  if (!d.Open() || !service)
    return check_result("nalouni_driver_nostop");

  SERVICE_STATUS status{};
  SetLastError(0);
  const BOOL stopAccepted = ControlService(service, SERVICE_CONTROL_STOP, &status);
  std::printf("     stop request: ControlService %s, error %lu\n", stopAccepted ? "TRUE" : "FALSE",
              GetLastError());
  bool leftRunning = true;
  for (int i = 0; i < 60 && leftRunning; ++i) {  // 3 s
    leftRunning = QueryServiceStatus(service, &status) && status.dwCurrentState == SERVICE_RUNNING;
    Sleep(50);
  }
  CHECK(leftRunning, "3 s after the stop request the service still runs (state %lu)",
        status.dwCurrentState);
  NaloUniState s{};
  CHECK(d.ResetCard() && d.WriteByte(7, 0x24) && d.State(&s) && s.controlRegister == 0x24,
        "the device still serves the card (register 7 0x%02X)", (unsigned)s.controlRegister);
  SetLastError(0);
  const BOOL started = StartServiceA(service, 0, nullptr);
  const DWORD error = GetLastError();
  CHECK(!started && error == ERROR_SERVICE_ALREADY_RUNNING,
        "a start request finds it running (error %lu)", error);
  d.ResetCard();
  CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return check_result("nalouni_driver_nostop");
}
