// The card protocol's view of the machine: two byte-wide port operations, the
// base port of the card's register 0, a millisecond tick counter, and the port
// layer's start-up and release. Each program that hosts the protocol links its
// own definitions of these (the library, the demo, the host tests).
#pragma once

#include <cstdint>

// Port of card register 0; register r lies at PortBase + r (16-bit sum).
extern uint16_t PortBase;

// Exactly one byte write to the I/O port, before it returns.
void WritePortByte(uint16_t port, uint8_t value);

// Exactly one byte read from the I/O port.
uint8_t ReadPortByte(uint16_t port);

// Milliseconds, unsigned 32 bits, wrapping to 0 (GetTickCount on Windows).
uint32_t TickCount();

// Port layer step of InitSSIKovo: choose how ports are reached, set PortBase.
void StartPortAccess();

// Port layer step of DeInitSSIKovo: release what the port layer holds.
void ReleasePortAccess();
