// Moving the card's base address. With the port instructions only PortBase
// changes. With the port driver, whose requests are relative to the address it
// was started with, the driver's parameters are rewritten and its service is
// restarted so that it serves the new address.
#include "address_setting.h"

#include "nalouni_requests.h"
#include "port_access.h"
#include "port_layer.h"

namespace {

constexpr uint16_t kHighestPortBase = 0x3FF;  // the ISA I/O range the card decodes
constexpr DWORD kCardPortCount = 8;
constexpr DWORD kServiceWaitMs = 10000;
constexpr DWORD kServicePollMs = 20;

// Only a 4-byte REG_DWORD counts as readable: a value of another type or size
// is not the driver's, so it is left alone and counts as no change.
bool ReadDword(HKEY key, const char* name, DWORD* number) {
  DWORD type = 0;
  DWORD size = sizeof *number;
  const LONG status =
      RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(number), &size);
  return status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof *number;
}

void WriteDword(HKEY key, const char* name, DWORD number) {
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                 sizeof number);
}

// Rewrites the driver's parameters; true when anything was (to be) changed.
bool RewriteDriverParameters(uint16_t address) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, NALOUNI_PARAMETERS_KEY, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
    return false;
  bool changed = false;
  DWORD number = 0;
  if (ReadDword(key, "IoPortAddress", &number) && number != address) {
    WriteDword(key, "IoPortAddress", address);
    changed = true;
  }
  if (ReadDword(key, "IoPortCount", &number) && number < kCardPortCount) {
    WriteDword(key, "IoPortCount", kCardPortCount);
    changed = true;
  }
  RegCloseKey(key);
  return changed;
}

// Polls the service until it reports the state or the bound has passed. A
// status query that fails ends the wait at once: asking again will not help.
void WaitForServiceState(SC_HANDLE service, DWORD state) {
  const DWORD start = GetTickCount();
  SERVICE_STATUS status;
  while (QueryServiceStatus(service, &status) && status.dwCurrentState != state &&
         GetTickCount() - start < kServiceWaitMs) {
    Sleep(kServicePollMs);
  }
}

void RestartDriverService() {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (!manager) return;
  SC_HANDLE service = OpenServiceA(manager, NALOUNI_SERVICE_NAME, SERVICE_ALL_ACCESS);
  if (service) {
    SERVICE_STATUS status;
    ControlService(service, SERVICE_CONTROL_STOP, &status);
    WaitForServiceState(service, SERVICE_STOPPED);
    StartServiceA(service, 0, nullptr);
    WaitForServiceState(service, SERVICE_RUNNING);
    CloseServiceHandle(service);
  }
  CloseServiceHandle(manager);
  OpenDriverDevice();
}

}  // namespace

void SSIKOVO_CALL SetAdrSSIKovo(uint16_t address) {
  if (!UseDriver) {
    if (address <= kHighestPortBase) PortBase = address;
    return;
  }
  if (!RewriteDriverParameters(address)) return;
  CloseDriverDevice();
  RestartDriverService();
}
