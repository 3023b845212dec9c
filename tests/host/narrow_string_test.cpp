#include "foundation/code_page.h"
#include "foundation/narrow_string.h"

#include <gtest/gtest.h>

TEST(NarrowString, CopiesShareStorageUntilOneChanges)
{
    CStringA original("shared text");
    CStringA copy(original);
    EXPECT_TRUE(copy.SharesStorageWith(original));

    copy += "!";
    EXPECT_FALSE(copy.SharesStorageWith(original));
    EXPECT_EQ(original, "shared text");
    EXPECT_EQ(copy, "shared text!");

    CStringA buffered(original);
    buffered.GetBuffer(4)[0] = 'S';
    buffered.ReleaseBuffer();
    EXPECT_EQ(original, "shared text");
    EXPECT_EQ(buffered, "Shared text");
}

TEST(NarrowString, AppendingItselfAndNullIsSafe)
{
    CStringA text("ab");
    text += text;
    text += text.GetString();
    EXPECT_EQ(text, "abababab");
    text += static_cast<const char*>(nullptr);
    EXPECT_EQ(CStringA(nullptr), "");
    EXPECT_EQ(text.GetLength(), 8);
}

TEST(NarrowString, FormatsThePrintfConversionsInUse)
{
    CStringA text;
    text.Format("%s|%d|%#x|%#x", "name", -42, 0x12u, 0u);
    EXPECT_EQ(text, "name|-42|0x12|0");
    text.Format("%s", "");
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_THROW(text.Format(nullptr), CStringArgumentError);
}

TEST(NarrowString, TrimsAnsiWhiteSpaceOnly)
{
    CStringA text(" \t\r\n\v\f inner text \f\v\n\r\t ");
    EXPECT_EQ(text.Trim(), "inner text");
    CStringA blank(" \n\r\t ");
    EXPECT_TRUE(blank.Trim().IsEmpty());
    CStringA nonBreaking("\xA0x\xA0");
    EXPECT_EQ(nonBreaking.Trim(), "\xA0x\xA0");
}

TEST(NarrowString, TrimNeverCutsADoubleByteCharacter)
{
    // 0x81 0x20 is one character whose trail byte looks like a blank.
    CStringA text("x\x81\x20");
    {
        const CodePage::ScopedHostCodePage japanese(932);
        EXPECT_EQ(text.TrimRight(), "x\x81\x20");
    }
    EXPECT_EQ(text.TrimRight(), "x\x81");
}

TEST(NarrowString, SubstringsClampToTheText)
{
    const CStringA text("abcdef");
    EXPECT_EQ(text.Left(3), "abc");
    EXPECT_EQ(text.Left(-1), "");
    EXPECT_EQ(text.Left(99), "abcdef");
    EXPECT_EQ(text.Mid(4), "ef");
    EXPECT_EQ(text.Mid(9), "");
    EXPECT_EQ(text.Mid(2, 99), "cdef");
}
