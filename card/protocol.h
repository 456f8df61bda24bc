// The card protocol: register map, timer programming, channel acquisition,
// zero inputs, outputs and Gray decoding. Built into the library (which
// exports these operations as they stand) and into the demo program.
#pragma once

#include <cstdint>

#include "ssikovo_api.h"

// Registers, as offsets from PortBase.
enum CardRegister : uint8_t {
  TimerCounter0 = 0,
  TimerCounter1 = 1,  // read: counter 1 status after a read-back command
  TimerCounter2 = 2,
  TimerControl = 3,
  DataByte0 = 4,
  DataByte1 = 5,
  DataByte2 = 6,
  ControlRegister = 7,  // write: channel select and outputs
  DataByte3 = 7,        // read: data bit 24 and zero inputs
};

// The five words written to TimerControl (8254 control words and read-back).
enum TimerWord : uint8_t {
  Counter0SquareWave = 0x36,  // counter 0, LSB then MSB, mode 3, binary
  Counter1OneShot = 0x72,     // counter 1, LSB then MSB, mode 1, binary
  Counter2OutputLow = 0xB0,   // counter 2, mode 0: OUT goes low at once
  Counter2OutputHigh = 0xB2,  // counter 2, mode 1: OUT goes high at once
  ReadBackStatus1 = 0xE4,     // latch counter 1's status only
};

struct ChannelConfig {
  uint8_t Resolution;    // data bits, 10 to 25
  uint8_t ClockDivisor;  // counter 0 count: 2000 / kHz, 2 to 40
  uint8_t CodeType;      // 0 Gray, 1 binary
};

constexpr uint8_t kChannelCount = 4;
constexpr uint32_t kWaitLimitMs = 200;

// Protocol state, process-global and zero until InitSSIKovo.
extern ChannelConfig Channels[kChannelCount];  // index = channel - 1
extern uint8_t ControlShadow;  // last value written to ControlRegister
extern uint8_t InputLatch;     // zero-input bits (DataByte3 layout) seen since GetInputs

SSIKOVO_EXTERN_C uint8_t SSIKOVO_CALL InitSSIKovo(void);
SSIKOVO_EXTERN_C uint8_t SSIKOVO_CALL DeInitSSIKovo(void);
SSIKOVO_EXTERN_C void SSIKOVO_CALL ConfSSIKovo(uint8_t channel, uint8_t resolution,
                                               uint16_t clockKHz, uint8_t codeType);
SSIKOVO_EXTERN_C int32_t SSIKOVO_CALL GetSSIKovo(uint8_t channel);
SSIKOVO_EXTERN_C uint8_t SSIKOVO_CALL GetInputs(void);
SSIKOVO_EXTERN_C void SSIKOVO_CALL SetOutputs(uint8_t flags);
SSIKOVO_EXTERN_C int32_t SSIKOVO_CALL GrayToBin(int32_t value);
