#pragma once

#include <cstdint>

#include "ssikovo_api.h"

SSIKOVO_EXTERN_C void SSIKOVO_CALL SetAdrSSIKovo(uint16_t address);
