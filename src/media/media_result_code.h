#pragma once

#include <cstdint>

typedef struct _GError GError;

/// Result codes of failed media operations, shown after the framework's text: 0x8004 in the high word,
/// then the error's domain in bits 12 to 15 (0 this program, 1 core, 2 library, 3 resource, 4 stream,
/// 15 other) and the framework's code for it in the low 12 bits.
namespace MediaResult {

/// A change of state the framework refused without saying why.
constexpr std::uint32_t kStateChangeRefused = 0x80040500;
/// The file did not become ready to play within the bounded wait.
constexpr std::uint32_t kTimedOut = 0x80040501;
/// No file name was given.
constexpr std::uint32_t kNoFileName = 0x80040502;

std::uint32_t fromError(const GError* error);

} // namespace MediaResult
