// The driver's parameters key: the port window and the simulated card's
// settings, which the driver reads at each start of its service.
#pragma once

#include <cstdint>
#include <string>

#include "nalouni_requests.h"

// The stored card settings; values that are missing read as the driver's
// defaults. ioPortAddress/ioPortCount too; controlRegister is left 0.
NaloUniState LoadStoredSettings();

bool StorePortWindow(uint32_t address, uint32_t count, std::string *error);
bool StoreCard(const NaloUniCard &card, std::string *error);
bool StoreEncoder(const NaloUniEncoder &encoder, std::string *error);
bool StoreZeroInputs(uint32_t zeroInputs, std::string *error);
