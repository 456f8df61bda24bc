#include "card_steering.h"

namespace {

HANDLE OpenDevice() {
  return CreateFileA(NALOUNI_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
}

bool WaitForState(SC_HANDLE service, DWORD state) {
  SERVICE_STATUS status;
  for (int i = 0; i < 500; ++i) {
    if (!QueryServiceStatus(service, &status)) return false;
    if (status.dwCurrentState == state) return true;
    Sleep(20);
  }
  return false;
}

template <typename Action>
bool WithService(Action action) {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (!manager) return false;
  SC_HANDLE service = OpenServiceA(manager, NALOUNI_SERVICE_NAME, SERVICE_ALL_ACCESS);
  bool ok = service && action(service);
  if (service) CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return ok;
}

}  // namespace

CardSteering::CardSteering() : device_(OpenDevice()) {}

CardSteering::~CardSteering() {
  if (device_ != INVALID_HANDLE_VALUE) CloseHandle(device_);
}

void CardSteering::Close() {
  if (device_ != INVALID_HANDLE_VALUE) CloseHandle(device_);
  device_ = INVALID_HANDLE_VALUE;
}

void CardSteering::Reopen() {
  Close();
  device_ = OpenDevice();
}

bool CardSteering::Request(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize) {
  DWORD returned = 0;
  return DeviceIoControl(device_, code, const_cast<void*>(in), inSize, out, outSize, &returned,
                         nullptr) != FALSE;
}

bool CardSteering::SetCard(uint32_t address, bool present) {
  NaloUniCard card = {address, present ? 1u : 0u};
  return Request(IOCTL_NALOUNI_SET_CARD, &card, sizeof card, nullptr, 0);
}

bool CardSteering::SetEncoder(uint32_t channel, uint32_t bits, uint32_t code, uint32_t position,
                              int32_t speed, bool plugged) {
  NaloUniEncoder encoder = {channel, bits, code, plugged ? 1u : 0u, position, speed};
  return Request(IOCTL_NALOUNI_SET_ENCODER, &encoder, sizeof encoder, nullptr, 0);
}

bool CardSteering::SetZeroInput(uint32_t input, bool active) {
  NaloUniZero zero = {input, active ? 1u : 0u};
  return Request(IOCTL_NALOUNI_SET_ZERO, &zero, sizeof zero, nullptr, 0);
}

bool CardSteering::GetState(NaloUniState* state) {
  return Request(IOCTL_NALOUNI_GET_STATE, nullptr, 0, state, sizeof *state);
}

bool StopDriverService() {
  return WithService([](SC_HANDLE service) {
    SERVICE_STATUS status;
    ControlService(service, SERVICE_CONTROL_STOP, &status);
    return WaitForState(service, SERVICE_STOPPED);
  });
}

bool StartDriverService() {
  return WithService([](SC_HANDLE service) {
    StartServiceA(service, 0, nullptr);
    return WaitForState(service, SERVICE_RUNNING);
  });
}

DWORD DriverServiceState() {
  DWORD state = 0;
  WithService([&state](SC_HANDLE service) {
    SERVICE_STATUS status;
    if (QueryServiceStatus(service, &status)) state = status.dwCurrentState;
    return true;
  });
  return state;
}

bool SetDriverParameter(const char* name, int64_t value) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, NALOUNI_PARAMETERS_KEY, 0, KEY_ALL_ACCESS, &key) !=
      ERROR_SUCCESS)
    return false;
  LONG status;
  if (value < 0) {
    status = RegDeleteValueA(key, name);
  } else {
    DWORD number = static_cast<DWORD>(value);
    status = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                            sizeof number);
  }
  RegCloseKey(key);
  return status == ERROR_SUCCESS || (value < 0 && status == ERROR_FILE_NOT_FOUND);
}

bool GetDriverParameter(const char* name, DWORD* value) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, NALOUNI_PARAMETERS_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  DWORD size = sizeof *value;
  DWORD type = 0;
  LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS && type == REG_DWORD;
}
