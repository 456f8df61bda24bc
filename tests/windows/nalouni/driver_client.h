// What the driver tests share: the port driver's client (device, requests,
// service control, parameters; nalouni_client.h), a card reset, restarts
// with their errors, and the tool run as a process.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "nalouni_client.h"

class DriverClient : public NaloUniDevice {
 public:
  // Card at the driver's window, four still 25-bit Gray encoders, inputs off.
  bool ResetCard(uint32_t address = NALOUNI_DEFAULT_ADDRESS);

  // What a careless or hostile program can leave behind: the SSI clock line
  // of a channel running for good. Counter 2's OUT (counter 1's gate) low,
  // counter 1 in mode 0 with count 0, so that its OUT goes low and, without
  // its gate, stays low; counter 0's square wave at 2000 / divisor kHz is then
  // the line. StopClockLine sets counter 1's OUT high (mode 1): the line
  // stops high.
  bool RunClockLine(uint32_t channel, uint16_t divisor);
  bool StopClockLine() { return WriteByte(3, 0x72); }

};

// Stops and starts the driver's service, waiting (bounded) for each state;
// false when a state is not reached.
bool RestartService(std::string *error);

// Runs "nalouni <arguments>"; returns its exit code, its output in *output.
DWORD RunTool(const std::string &tool, const std::string &arguments, std::string *output);

// Windows path of a file the build names by its Unix path.
std::string WindowsPath(std::string path);

bool SameState(const NaloUniState &a, const NaloUniState &b);
