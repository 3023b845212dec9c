#include "foundation/code_page.h"
#include "foundation/string_token_list.h"

#include <gtest/gtest.h>

namespace {
std::vector<std::string> Tokens(const StringTokenList& list)
{
    return std::vector<std::string>(list.begin(), list.end());
}
} // namespace

TEST(StringTokenList, RunsOfDelimitersGiveNoEmptyTokens)
{
    const StringTokenList list("C:\\A/B\\\\C\\", "\\/", false);
    EXPECT_EQ(Tokens(list), (std::vector<std::string>{"C:", "A", "B", "C"}));
    EXPECT_TRUE(StringTokenList("\\\\//", "\\/", false).empty());
    EXPECT_TRUE(StringTokenList("", "\\/", false).empty());
    EXPECT_TRUE(StringTokenList(nullptr, "\\/", false).empty());
}

TEST(StringTokenList, TrimmingStopsAtTheFirstBlankToken)
{
    const StringTokenList list(" a ,  , b", ",", true);
    EXPECT_EQ(Tokens(list), (std::vector<std::string>{"a"}));
    const StringTokenList untrimmed(" a ,  , b", ",", false);
    EXPECT_EQ(Tokens(untrimmed), (std::vector<std::string>{" a ", "  ", " b"}));
}

TEST(StringTokenList, TrailBytesAreNotDelimiters)
{
    const CodePage::ScopedHostCodePage japanese(932);
    const StringTokenList list("C:\\\x95\x5C\\x", "\\", false);
    EXPECT_EQ(Tokens(list), (std::vector<std::string>{"C:", "\x95\x5C", "x"}));
}
