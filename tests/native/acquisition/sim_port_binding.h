// The port operations bound to one simulated card on a virtual clock: every
// port access is one bus cycle (1 us); the tick counter is the virtual time
// in whole milliseconds.
#pragma once

#include "card.h"

extern sim::VirtualClock SimClock;
extern sim::Card SimCard;
extern uint64_t SimPortAccesses;  // port operations since StartSimCard

// Power-on of the card with these settings, virtual time from 0, each port
// access one step of stepNs (one bus cycle unless a slower bus is wanted).
// Returns the power-on moment: the encoders' positions are given as of then.
uint64_t StartSimCard(const SimCardSettings& settings, uint64_t stepNs = sim::kBusCycleNs);
