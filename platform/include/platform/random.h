// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The changer's random draw: Randomize, then Rnd.
namespace kor::platform {

// Seeds the generator from the clock, finely enough that two runs in quick
// succession draw differently.
void seedRandomFromClock();
// The next number r with 0 <= r < 1, uniformly distributed.
double nextRandom();

} // namespace kor::platform
