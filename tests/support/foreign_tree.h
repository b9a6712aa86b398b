// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "temporary_machine.h"

#include <filesystem>
#include <string>

namespace kor::testing {

// The user who owns the tree: nobody, whose files root's run must not take
// for its own.
inline constexpr unsigned ForeignUser = 65534;

// What a foreign tree holds outside its drive: a file only root owns, in a
// folder only root owns, and a picture of the tree's owner.
struct ForeignTree {
    std::filesystem::path secretFile;
    std::string secret;  // a logo-sized bitmap, which a run would install
    std::string picture; // C:\PICS\PIC.BMP
    std::string own;     // C:\PICS\MINE.BMP leads to it
};

// Gives drive C: of `machine` (as written so far) to ForeignUser, with that
// user's links beside C:\PICS\PIC.BMP: C:\PICS\EVIL.BMP to the secret file,
// C:\ETC to root's folder (which holds A.BMP), C:\PICS\CHAIN.BMP to
// C:\PICS\HOP.BMP to the secret file, and C:\PICS\MINE.BMP to the user's own
// picture outside the drive. Needs root.
ForeignTree makeForeignTree(const TemporaryMachine& machine);

} // namespace kor::testing
