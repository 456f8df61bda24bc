// What the library tests need of the stand-in port driver: steering the
// simulated card behind it, reading its state back, stopping or starting the
// driver's service and its parameters, all through the port driver's client
// (nalouni_client.h), in the calls the library tests make.
#pragma once

#include <windows.h>

#include <cstdint>

#include "nalouni_client.h"

class CardSteering : public NaloUniDevice {
 public:
  bool SetCard(uint32_t address, bool present) {
    return NaloUniDevice::SetCard(address, present ? 1u : 0u);
  }
  bool SetEncoder(uint32_t channel, uint32_t bits, uint32_t code, uint32_t position,
                  int32_t speed, bool plugged = true) {
    return NaloUniDevice::SetEncoder(
        NaloUniEncoder{channel, bits, code, plugged ? 1u : 0u, position, speed});
  }
  bool SetZeroInput(uint32_t input, bool active) { return SetZero(input, active ? 1u : 0u); }
  bool GetState(NaloUniState* state) { return State(state); }
};

// Service control of the driver; each waits (bounded) for the state.
inline bool StopDriverService() {
  std::string error;
  return StopDriverService(&error);
}
inline bool StartDriverService() {
  std::string error;
  return StartDriverService(&error);
}
inline DWORD DriverServiceState() { return DriverServiceStatus(); }
