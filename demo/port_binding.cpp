// The demo program's port access: the card's registers through the port
// library NALOUNI.dll, whose ports are the register numbers themselves.
#include <windows.h>

#include "NaloUni.h"
#include "port_access.h"

uint16_t PortBase;

void WritePortByte(uint16_t port, uint8_t value) { NaloUniWriteByte(port, value); }

uint8_t ReadPortByte(uint16_t port) { return static_cast<uint8_t>(NaloUniReadByte(port) & 0xFF); }

uint32_t TickCount() { return GetTickCount(); }

void StartPortAccess() {
  NaloUniInitDriver();
  PortBase = 0;
}

void ReleasePortAccess() {
  PortBase = 0;
  NaloUniDeInitDriver();
}
