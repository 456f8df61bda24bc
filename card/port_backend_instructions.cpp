// The processor's byte-wide port instructions, at PortBase (the factory
// jumper 0x100 until SetAdrSSIKovo moves it).
#include "port_access.h"
#include "port_backend.h"

namespace {

void Start() { PortBase = kDefaultPortBase; }
void Release() { PortBase = kDefaultPortBase; }

uint8_t Read(uint16_t port) {
  uint8_t value;
  __asm__ __volatile__("inb %1, %0" : "=a"(value) : "Nd"(port));
  return value;
}

void Write(uint16_t port, uint8_t value) {
  __asm__ __volatile__("outb %0, %1" : : "a"(value), "Nd"(port));
}

}  // namespace

const PortBackend InstructionPortBackend = {Start, Release, Read, Write};
