// The processor's byte-wide port instructions. Kept in one unit so that a test
// build of the library can put the simulated card behind them: user-mode IN and
// OUT fault on the NT family and under Wine.
#pragma once

#include <cstdint>

void PortOut(uint16_t port, uint8_t value);
uint8_t PortIn(uint16_t port);
