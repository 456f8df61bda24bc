// The demo program's record of one SSI channel, held four times by the main
// dialog. Loaded from and saved to the user's registry key by the settings
// store; applied to the card with ConfSSIKovo.
#pragma once

#include <cstdint>

struct ChannelSettings {
  int32_t Offset;     // raw reading that counts as position 0
  uint16_t ClockKHz;  // SSI clock in kHz
  const char* Name;   // "SSI 1" .. "SSI 4": caption of the channel's settings dialog
  uint8_t Resolution; // data bits
  uint8_t CodeType;   // 0 Gray code, 1 binary
};

constexpr int kChannels = 4;

// The four records of the main dialog, channel 1 first. The records stay the
// dialog's own members; the store and the polling cycle work on them in place.
typedef ChannelSettings* const ChannelRecords[kChannels];
