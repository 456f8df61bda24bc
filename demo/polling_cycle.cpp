#include "polling_cycle.h"

namespace {

// The raw reading minus the offset; a negative difference is raised once by
// 2 to the power of the resolution, so a reading just below the offset shows
// near the top of the range. Only the low five bits of the resolution count
// (the shift of a 32-bit word). All in wrapping 32-bit arithmetic: the result
// can stay negative, e.g. after the resolution was lowered.
int32_t ShownPosition(int32_t raw, const ChannelSettings& channel) {
  uint32_t p = static_cast<uint32_t>(raw) - static_cast<uint32_t>(channel.Offset);
  if (static_cast<int32_t>(p) < 0) p += uint32_t{1} << (channel.Resolution % 32);
  return static_cast<int32_t>(p);
}

}  // namespace

uint8_t RunPollingStage(const ChannelRecords& channels, const ShownPositions& positions,
                        const PollingCard& card) {
  int32_t raw[kChannels];
  for (int i = 0; i < kChannels; ++i) {
    raw[i] = card.GetSSIKovo(static_cast<uint8_t>(i + 1));
    *positions[i] = ShownPosition(raw[i], *channels[i]);
  }
  // Inputs latched during the four acquisitions count as well as those
  // active now.
  const uint8_t flags = card.GetInputs();
  for (int i = 0; i < kChannels; ++i) {
    if ((flags >> i) & 1) {
      channels[i]->Offset = raw[i];
      card.SaveSettings(channels);
    }
  }
  return flags;
}
