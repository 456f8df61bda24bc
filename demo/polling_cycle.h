// The first stage of the main dialog's polling cycle: acquire the four
// channels, turn the raw readings into shown positions, read the zero inputs
// and zero every channel whose input was seen. Portable: the card and the
// store come in as plain function pointers, so the host tests run it over a
// recording card.
#pragma once

#include <cstdint>

#include "channel_settings.h"
#include "ssikovo_api.h"

// What the cycle needs of the card and of the settings store.
struct PollingCard {
  int32_t(SSIKOVO_CALL* GetSSIKovo)(uint8_t channel);  // position word of channel 1..4
  uint8_t(SSIKOVO_CALL* GetInputs)(void);              // zero-input flags, empties the latch
  void (*SaveSettings)(const ChannelRecords& channels);
};

// The four shown positions of the main dialog, channel 1 first.
typedef int32_t* const ShownPositions[kChannels];

// Runs the first stage once and returns the input flags of this cycle
// (bit n-1: zero input n was seen). Every shown position is overwritten;
// a channel zeroed in this cycle still shows its position against the old
// offset, and each zeroed channel is followed by its own save.
uint8_t RunPollingStage(const ChannelRecords& channels, const ShownPositions& positions,
                        const PollingCard& card);
