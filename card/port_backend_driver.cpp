// The port driver's device "\\.\NaloUniDev": each port operation is one
// buffered request with the driver's records, on ports relative to the
// address the driver serves.
#include "nalouni_requests.h"
#include "port_access.h"
#include "port_backend.h"
#include "port_layer.h"

HANDLE DriverHandle = INVALID_HANDLE_VALUE;
uint8_t LastReadByte;

HANDLE OpenPortDevice() {
  return CreateFileA(NALOUNI_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
}

void OpenDriverDevice() { DriverHandle = OpenPortDevice(); }

void CloseDriverDevice() {
  if (DriverHandle != INVALID_HANDLE_VALUE) CloseHandle(DriverHandle);
  DriverHandle = INVALID_HANDLE_VALUE;
}

void SendPortWrite(HANDLE device, DWORD code, uint16_t port, uint8_t value) {
  uint8_t record[NALOUNI_WRITE_BYTE_INPUT];
  NaloUniWriteRecord(record, port, value);
  DWORD returned = 0;
  DeviceIoControl(device, code, record, sizeof record, nullptr, 0, &returned, nullptr);
}

void SendPortRead(HANDLE device, DWORD code, uint16_t port, uint8_t* value) {
  uint8_t record[NALOUNI_READ_BYTE_INPUT];
  NaloUniReadRecord(record, port);
  DWORD returned = 0;
  DeviceIoControl(device, code, record, sizeof record, value, NALOUNI_READ_BYTE_OUTPUT, &returned,
                  nullptr);
}

namespace {

void Start() {
  CloseDriverDevice();  // a second InitSSIKovo must not leak the first handle
  OpenDriverDevice();
  PortBase = 0;
}

void Release() {
  CloseDriverDevice();
  PortBase = 0;
}

void Write(uint16_t port, uint8_t value) {
  SendPortWrite(DriverHandle, IOCTL_NALOUNI_WRITE_BYTE, port, value);
}

uint8_t Read(uint16_t port) {
  SendPortRead(DriverHandle, IOCTL_NALOUNI_READ_BYTE, port, &LastReadByte);
  return LastReadByte;
}

}  // namespace

const PortBackend DriverPortBackend = {Start, Release, Read, Write};
