// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

namespace kor::fuzz {

// The drive root of this process's fuzzing: a temporary folder made at the
// first call, removed at exit, with drive C: and its Windows directory. Every
// call empties it, makes drive C: with its Windows directory again and makes
// it the current machine afresh (current drive C:, every current directory a
// root), so that one input never sees what an earlier one left.
const std::filesystem::path& freshScratchMachine();

// Writes a file of the given bytes at a host path; aborts when it cannot.
void writeHostFile(const std::filesystem::path& path, const void* bytes, std::size_t size);

// Reports a broken rule on standard error and aborts, so that libFuzzer keeps
// the input and a test that runs it fails.
[[noreturn]] void fail(const char* what);

} // namespace kor::fuzz
