#include "device.h"

#include <windows.h>

Device::Device()
    : handle_(CreateFileA(NALOUNI_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr)) {}

Device::~Device() {
  if (Open())
    CloseHandle(handle_);
}

bool Device::Open() const { return handle_ != INVALID_HANDLE_VALUE; }

bool Device::Request(unsigned long code, const void *input, unsigned long inputLength,
                     void *output, unsigned long outputLength, std::string *error) {
  DWORD returned = 0;
  if (!DeviceIoControl(handle_, code, const_cast<void *>(input), inputLength, output,
                       outputLength, &returned, nullptr) ||
      returned != outputLength) {
    *error = "driver refused request 0x" + [code] {
      char text[16];
      wsprintfA(text, "%08lX", code);
      return std::string(text);
    }() + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  return true;
}

bool Device::State(NaloUniState *state, std::string *error) {
  return Request(IOCTL_NALOUNI_GET_STATE, nullptr, 0, state, sizeof(*state), error);
}
