// The kernel driver's C runtime parses numbers itself; the JSON parser relies on the C
// standard's exact rules for them, so they are held against the native C library. (The
// Windows C library ends a bare "0x" elsewhere than the standard says, so the Windows builds
// leave this out.)
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "sim/kernel/KernelNumbers.h"

#if !defined(_WIN32)
namespace {

const char* const kIntegers[] = {"0",
                                 "42",
                                 "  \t17x",
                                 "+5",
                                 "-1",
                                 "0x1F",
                                 "0X1f",
                                 "0x",
                                 "0xg",
                                 "",
                                 "-",
                                 "abc",
                                 "007",
                                 "12abc",
                                 "4294967296",
                                 "18446744073709551615",
                                 "18446744073709551616",
                                 "99999999999999999999999",
                                 "9223372036854775807",
                                 "9223372036854775808",
                                 "-9223372036854775808",
                                 "-9223372036854775809",
                                 "-18446744073709551615"};

TEST(KernelNumbers, IntegersFollowTheCLibraryInEveryBaseValueEndAndOverflow) {
    for (const char* text : kIntegers) {
        for (int base : {0, 10, 16}) {
            SCOPED_TRACE(std::string(text) + " base " + std::to_string(base));
            char* expectedEnd = nullptr;
            char* end = nullptr;
            int overflow = 0;
            errno = 0;
            const unsigned long long unsignedExpected = std::strtoull(text, &expectedEnd, base);
            const bool unsignedRange = errno == ERANGE;
            EXPECT_EQ(KcrtParseUnsigned(text, &end, base, &overflow), unsignedExpected);
            EXPECT_EQ(end, expectedEnd);
            EXPECT_EQ(overflow != 0, unsignedRange);

            errno = 0;
            const long long signedExpected = std::strtoll(text, &expectedEnd, base);
            const bool signedRange = errno == ERANGE;
            EXPECT_EQ(KcrtParseSigned(text, &end, base, &overflow), signedExpected);
            EXPECT_EQ(end, expectedEnd);
            EXPECT_EQ(overflow != 0, signedRange);
        }
    }
}

TEST(KernelNumbers, DecimalFractionsAndExponentsMatchTheCLibraryClosely) {
    const char* const texts[] = {"0",         "-0.0",  "1.5",    "  2.25e3", "1e-3",
                                 "-7.125E+2", ".5",    "5.",     "1e",       "1e+",
                                 ".",         "-",     "abc",    "12abc",    "9007199254740993",
                                 "1e308",     "1e309", "1e-310", "0e999",    "123456.789e-4"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        char* expectedEnd = nullptr;
        char* end = nullptr;
        const double expected = std::strtod(text, &expectedEnd);
        const double parsed = KcrtParseDouble(text, &end);
        EXPECT_EQ(end, expectedEnd);
        EXPECT_EQ(std::signbit(parsed), std::signbit(expected));
        if (std::isinf(expected) || expected == 0)
            EXPECT_EQ(parsed, expected);
        else
            EXPECT_NEAR(parsed, expected, std::fabs(expected) * 1e-15);
    }
}

}  // namespace
#endif
