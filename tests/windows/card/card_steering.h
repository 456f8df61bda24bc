// What the library tests need of the stand-in port driver: steering the
// simulated card behind it, reading its state back, and stopping or starting
// the driver's service.
#pragma once

#include <windows.h>

#include <cstdint>

#include "nalouni_requests.h"

class CardSteering {
 public:
  CardSteering();
  ~CardSteering();
  bool Open() const { return device_ != INVALID_HANDLE_VALUE; }

  bool SetCard(uint32_t address, bool present);
  bool SetEncoder(uint32_t channel, uint32_t bits, uint32_t code, uint32_t position,
                  int32_t speed, bool plugged = true);
  bool SetZeroInput(uint32_t input, bool active);
  bool GetState(NaloUniState* state);

  // The steering handle must be closed while the service stops.
  void Close();
  void Reopen();

 private:
  bool Request(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize);
  HANDLE device_;
};

// Service control of the driver; each waits (bounded) for the state.
bool StopDriverService();
bool StartDriverService();
DWORD DriverServiceState();

// The driver's parameters in the registry; a negative value deletes it.
bool SetDriverParameter(const char* name, int64_t value);
bool GetDriverParameter(const char* name, DWORD* value);
