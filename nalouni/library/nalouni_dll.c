/* The user-mode port library: each call is one request to the port driver,
   so a program using it and the card library see the same card. */
#include <windows.h>

#include "NaloUni.h"
#include "nalouni_requests.h"

static HANDLE Device = INVALID_HANDLE_VALUE;

unsigned long __stdcall NaloUniInitDriver(void)
{
  if (Device == INVALID_HANDLE_VALUE)
    Device = CreateFileA(NALOUNI_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
  return Device != INVALID_HANDLE_VALUE;
}

unsigned long __stdcall NaloUniDeInitDriver(void)
{
  if (Device == INVALID_HANDLE_VALUE)
    return 0;
  CloseHandle(Device);
  Device = INVALID_HANDLE_VALUE;
  return 1;
}

unsigned long __stdcall NaloUniReadByte(unsigned long port)
{
  uint8_t request[NALOUNI_READ_BYTE_INPUT];
  DWORD returned = 0;
  BYTE value = 0xFF;
  NaloUniReadRecord(request, (uint32_t)port);
  if (!DeviceIoControl(Device, IOCTL_NALOUNI_READ_BYTE, request, sizeof(request), &value,
                       sizeof(value), &returned, NULL) ||
      returned != sizeof(value))
    return 0xFF;
  return value;
}

unsigned long __stdcall NaloUniWriteByte(unsigned long port, unsigned long value)
{
  uint8_t request[NALOUNI_WRITE_BYTE_INPUT];
  DWORD returned = 0;
  NaloUniWriteRecord(request, (uint32_t)port, (uint8_t)value);
  return DeviceIoControl(Device, IOCTL_NALOUNI_WRITE_BYTE, request, sizeof(request), NULL, 0,
                         &returned, NULL) != 0;
}
