// The channel settings store: the four channel records of the main dialog in
// the current user's registry key "SOFTWARE\NALO\SSIKovo", sixteen REG_DWORD
// values BITSn, CLOCKn, GRAYBINn and OFFSETn for channel n = 1 to 4.
#pragma once

#include "channel_settings.h"

// Sets the four names, then fills every other field from the registry or,
// where a value cannot be read, from the defaults (25 bits, 100 kHz, Gray
// code, offset 0). Creates the key if it is missing. Cannot fail.
void LoadSettings(const ChannelRecords& channels);

// Writes all sixteen values from the four records. Failures are silent.
void SaveSettings(const ChannelRecords& channels);
