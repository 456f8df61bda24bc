// The running driver's device, for the steering requests.
#pragma once

#include <string>

#include "nalouni_requests.h"

class Device {
 public:
  Device();  // opens \\.\NaloUniDev; Open() tells whether that worked
  ~Device();
  Device(const Device &) = delete;
  Device &operator=(const Device &) = delete;

  bool Open() const;
  bool Request(unsigned long code, const void *input, unsigned long inputLength, void *output,
               unsigned long outputLength, std::string *error);
  bool State(NaloUniState *state, std::string *error);

 private:
  void *handle_;
};
