#include <gtest/gtest.h>

#include "app/VESK_CPLApp.h"

namespace {

bool Has(const char* commandLine, const char* switchText) {
    return CVESK_CPLApp::FindCommandLineSwitch(commandLine, switchText);
}

TEST(CommandLineSwitch, MatchesWholeTokensInAnyCaseAnywhereOnTheLine) {
    EXPECT_TRUE(Has("-hide", "-hide"));
    EXPECT_TRUE(Has("-HIDE", "-hide"));
    EXPECT_TRUE(Has("-Asio", "-asio"));
    EXPECT_TRUE(Has("-EXIT", "-exit"));
    EXPECT_TRUE(Has("file.txt -asio -hide", "-hide"));
    EXPECT_TRUE(Has("  \t-asio\r\n", "-asio"));
    EXPECT_TRUE(Has("x\v-hide\fy", "-hide"));
}

TEST(CommandLineSwitch, RefusesPrefixesSuffixesQuotesAndEmptyLines) {
    EXPECT_FALSE(Has("-hidex", "-hide"));
    EXPECT_FALSE(Has("/hide", "-hide"));
    EXPECT_FALSE(Has("--hide", "-hide"));
    EXPECT_FALSE(Has("\"-hide\"", "-hide"));
    EXPECT_FALSE(Has("x-hide", "-hide"));
    EXPECT_FALSE(Has("-hid", "-hide"));
    EXPECT_FALSE(Has("", "-hide"));
    EXPECT_FALSE(Has("   \t ", "-hide"));
    EXPECT_FALSE(Has(nullptr, "-hide"));
    // A token is never empty, so an empty switch matches nothing.
    EXPECT_FALSE(Has("a  b", ""));
}

}  // namespace
