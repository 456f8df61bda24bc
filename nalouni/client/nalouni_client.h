// The port driver seen from a user-mode program: its device and requests,
// its service in the service manager (with bounded waits), and its
// parameters key. Shared by the tool nalouni.exe and the Windows tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "nalouni_settings.h"

// The device "\\.\NaloUniDev", opened on construction.
class NaloUniDevice {
 public:
  NaloUniDevice() { Reopen(); }
  ~NaloUniDevice() { Close(); }
  NaloUniDevice(const NaloUniDevice &) = delete;
  NaloUniDevice &operator=(const NaloUniDevice &) = delete;

  bool Open() const { return handle_ != INVALID_HANDLE_VALUE; }
  // The handle must be closed while the service stops.
  void Close();
  void Reopen();

  // One DeviceIoControl; *returned gets the byte count.
  bool Request(DWORD code, const void *input, DWORD inputLength, void *output,
               DWORD outputLength, DWORD *returned = nullptr);
  bool WriteByte(uint32_t port, uint8_t value);
  bool ReadByte(uint32_t port, uint8_t *value);
  // The whole state record, or false.
  bool State(NaloUniState *state);
  bool SetCard(uint32_t address, uint32_t present);
  bool SetEncoder(const NaloUniEncoder &encoder);
  bool SetZero(uint32_t input, uint32_t active);

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// The driver's service "NALOUNI".
enum class ServiceState { NotInstalled, Stopped, Starting, Running, Stopping, Unknown };
const char *StateName(ServiceState state);
ServiceState QueryDriverService();
// The service's current state as the service manager reports it; 0 when it
// cannot be asked.
DWORD DriverServiceStatus();

// Creates the service, or points an existing one at "imagePath", as a
// demand-start kernel driver. Leaves it as it runs.
bool ConfigureDriverService(const std::string &imagePath, std::string *error);
// Each waits (bounded, 10 s) until the service has reached the state; a
// service already there counts as done. A refused request fails at once.
bool StartDriverService(std::string *error);
bool StopDriverService(std::string *error);
bool RemoveDriverService(std::string *error);
// The service's ImagePath as the service manager holds it, or "".
std::string DriverServiceImage();

// The parameters key: the stored settings with every missing or unusable
// value at its default (the load rule of NaloUniLoadSettings), and the rows
// of one group written back ("channel" for an encoder).
NaloUniState LoadStoredSettings();
bool StoreSettings(NaloUniGroup group, const NaloUniState &state, unsigned channel,
                   std::string *error);
// One raw value of the key; a negative value deletes it.
bool SetDriverParameter(const char *name, int64_t value);
bool GetDriverParameter(const char *name, DWORD *value);
