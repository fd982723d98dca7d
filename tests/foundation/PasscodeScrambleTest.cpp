#include "foundation/PasscodeScramble.h"
#include "platform/CProfile.h"
#include "support/TempProfile.h"

#include <gtest/gtest.h>

#include <climits>

TEST(PasscodeScramble, ModPowCases)
{
    EXPECT_EQ(ModPow(12345, 0, 1000), 1u);
    EXPECT_EQ(ModPow(0, 0, 1), 1u) << "exponent 0 gives 1 even for modulus 1";
    EXPECT_EQ(ModPow(2, 10, 1000), 24u);
    EXPECT_EQ(ModPow(3, 1, 7), 3u);
    EXPECT_EQ(ModPow(0, 5, 11), 0u);
    EXPECT_EQ(ModPow(4000000000u, 1, 7), 4000000000u % 7) << "a base above the modulus";
    // A negative exponent is its 32-bit pattern: bit 31 is the highest.
    // 2^(2^31) mod 7: 2^3 = 1 (mod 7) and 2^31 = 2 (mod 3), so 2^2 = 4.
    EXPECT_EQ(ModPow(2, INT_MIN, 7), 4u);
    // 2^(2^32 - 1) mod 7: 2^32 - 1 is a multiple of 3.
    EXPECT_EQ(ModPow(2, -1, 7), 1u);
    EXPECT_EQ(ModPow(4294967295u, 3, 4294967295u), 0u);
    EXPECT_EQ(ModPow(4294967294u, 2, 4294967295u), 1u) << "products need all 64 bits";
}

TEST(PasscodeScramble, StoredPasscodesReadBack)
{
    for (std::uint32_t passcode = 0; passcode <= 999999999u; passcode += 999999999u / 997) {
        const std::int32_t stored = ScramblePasscode(passcode);
        EXPECT_GE(stored, 0) << passcode;
        EXPECT_NE(stored, static_cast<std::int32_t>(passcode));
        EXPECT_EQ(UnscramblePasscode(stored), passcode);
    }
    for (std::uint32_t passcode : {0u, 1u, 1234u, 999999999u}) {
        EXPECT_EQ(UnscramblePasscode(ScramblePasscode(passcode)), passcode);
        EXPECT_NE(ScramblePasscode(passcode), NO_REMEMBERED_PASSCODE);
    }

    TempProfile profile;
    CProfile::WriteProfileInt("Settings", "Passcode", ScramblePasscode(999999999u));
    EXPECT_EQ(UnscramblePasscode(CProfile::GetProfileInt("Settings", "Passcode", NO_REMEMBERED_PASSCODE)), 999999999u);
}
