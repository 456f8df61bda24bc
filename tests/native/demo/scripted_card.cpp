#include "scripted_card.h"

#include "port_access.h"

ScriptedCard Card;
uint16_t PortBase;

namespace {
uint32_t ticks;

// Zero input n sits in bit n of register 7.
uint8_t InputBits(uint8_t flags) { return static_cast<uint8_t>((flags & 0x0F) << 1); }
}  // namespace

void WritePortByte(uint16_t port, uint8_t value) {
  const int reg = port - PortBase;
  if (reg == 7) Card.selected = value & 0x03;
  if (reg == 3 && value == 0x72) Card.statusLow = true;  // a new one-shot: the burst begins
}

uint8_t ReadPortByte(uint16_t port) {
  const int reg = port - PortBase;
  const uint32_t word = Card.word[Card.selected];
  switch (reg) {
    case 1: {  // counter 1 status: OUT low for the first poll, then high
      const uint8_t status = Card.statusLow ? 0x32 : 0xB2;  // counter 1 in mode 1
      Card.statusLow = false;
      return status;
    }
    case 4:
      Card.inAcquisition = true;
      return static_cast<uint8_t>(word);
    case 5:
      return static_cast<uint8_t>(word >> 8);
    case 6:
      return static_cast<uint8_t>(word >> 16);
    case 7: {
      const uint8_t flags = Card.inAcquisition ? Card.inputsDuringAcquisition[Card.selected]
                                               : Card.inputsAtRest;
      Card.inAcquisition = false;
      return static_cast<uint8_t>(((word >> 24) & 1) | InputBits(flags));
    }
    default:
      return 0xFF;
  }
}

uint32_t TickCount() { return ticks++; }

void StartPortAccess() { PortBase = 0; }

void ReleasePortAccess() {}
