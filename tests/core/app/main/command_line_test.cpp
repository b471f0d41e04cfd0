#include "app/main/command_line.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

using Tokens = std::vector<std::wstring>;

TEST(CommandLine, QuotedPathWithBlanksThenUnquotedPath) {
    EXPECT_EQ(splitCommandLine(L"\"C:\\My Roms\\a b.smc\" D:\\b.smc"), (Tokens{L"C:\\My Roms\\a b.smc", L"D:\\b.smc"}));
}

TEST(CommandLine, BlanksSeparateAndAreDropped) {
    EXPECT_EQ(splitCommandLine(L"  a.smc \t  b.smc  "), (Tokens{L"a.smc", L"b.smc"}));
    EXPECT_TRUE(splitCommandLine(L"").empty());
    EXPECT_TRUE(splitCommandLine(L"   ").empty());
}

TEST(CommandLine, QuoteAfterUnquotedCharactersStartsANewToken) {
    EXPECT_EQ(splitCommandLine(L"abc\"d e\"f"), (Tokens{L"abc", L"d e", L"f"}));
    EXPECT_EQ(splitCommandLine(L"\"a\"\"b c\""), (Tokens{L"a", L"b c"}));
}

TEST(CommandLine, EndOfTextEndsAnOpenQuote) {
    EXPECT_EQ(splitCommandLine(L"x \"C:\\My Roms\\a.smc"), (Tokens{L"x", L"C:\\My Roms\\a.smc"}));
}

TEST(CommandLine, EmptyQuotedTokensAreDropped) {
    EXPECT_EQ(splitCommandLine(L"\"\" a \"\""), (Tokens{L"a"}));
}

} // namespace
} // namespace vexa
