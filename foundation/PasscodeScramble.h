#pragma once
// The remembered passcode is stored scrambled by modular exponentiation.
#include <cstdint>

std::uint64_t ModPow(std::uint32_t base, std::int32_t exponent, std::uint32_t modulus);

// Store and read back a passcode (0 .. 999 999 999) with the program's constants.
std::int32_t ScramblePasscode(std::uint32_t passcode);
std::uint32_t UnscramblePasscode(std::int32_t stored);
inline constexpr std::int32_t NO_REMEMBERED_PASSCODE = -1;
