#include "PasscodeScramble.h"

namespace {
// A matched exponent pair for the modulus (a product of two primes): decoding
// the encoding of any value below the modulus gives it back. The offset keeps
// every passcode + offset below the modulus and every stored value below 2^31.
constexpr std::uint32_t kModulus = 2140290377u;
constexpr std::int32_t kEncodingExponent = 65537;
constexpr std::int32_t kDecodingExponent = 487518173;
constexpr std::uint32_t kOffset = 1000003141u;
}

std::uint64_t ModPow(std::uint32_t base, std::int32_t exponent, std::uint32_t modulus)
{
    const auto bits = static_cast<std::uint32_t>(exponent);
    if (bits == 0)
        return 1;
    int highest = 31;
    while (!(bits & (1u << highest)))
        --highest;
    std::uint64_t r = 1;
    for (int bit = highest; bit >= 0; --bit) {
        r = (r * r) % modulus;
        if (bits & (1u << bit))
            r = (static_cast<std::uint64_t>(base) * r) % modulus;
    }
    return r;
}

std::int32_t ScramblePasscode(std::uint32_t passcode)
{
    return static_cast<std::int32_t>(ModPow(passcode + kOffset, kEncodingExponent, kModulus));
}

std::uint32_t UnscramblePasscode(std::int32_t stored)
{
    return static_cast<std::uint32_t>(ModPow(static_cast<std::uint32_t>(stored), kDecodingExponent, kModulus)) - kOffset;
}
