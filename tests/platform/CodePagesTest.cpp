#include <gtest/gtest.h>

#include "platform/rtl/CodePages.h"
#include "platform/rtl/SysUtils.h"

using namespace rtl;

namespace {

TEST(CodePages, RealGbkAndBig5Bytes) {
    // 中文 in GBK is D6 D0 CE C4; in Big5 A4 A4 A4 E5. 體 exists only in Big5 and GBK (not GB2312).
    EXPECT_EQ(EncodeCodePage(u"中文", 936), "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(EncodeCodePage(u"中文", 950), "\xA4\xA4\xA4\xE5");
    EXPECT_EQ(DecodeCodePage("\xD6\xD0\xCE\xC4", 936), u"中文");
    EXPECT_EQ(DecodeCodePage("\xA4\xA4\xA4\xE5", 950), u"中文");
    EXPECT_EQ(EncodeCodePage(u"體", 936), "\xF3\x77");
    EXPECT_EQ(DecodeCodePage("\xC5\xE9", 950), u"體");
    // The euro sign is Microsoft's 0x80 in 936.
    EXPECT_EQ(EncodeCodePage(u"€", 936), "\x80");
    EXPECT_EQ(EncodeCodePage(u"é", 437), "\x82");
}

TEST(CodePages, UnmappableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(EncodeCodePage(u"a한b", 936), "a?b");
    EXPECT_THROW(EncodeCodePageStrict(u"a한b", 936), EConvertError);
    EXPECT_THROW(DecodeCodePageStrict("\xD6", 936), EConvertError);
    EXPECT_THROW(EncodeCodePage(u"x", 99999), EConvertError);
    EXPECT_FALSE(IsCodePageSupported(99999));
    EXPECT_TRUE(IsCodePageSupported(950));
}

TEST(CodePages, Utf8StrictAndLenient) {
    EXPECT_EQ(Utf8ToWide("a中😀"), u"a中😀");
    EXPECT_EQ(WideToUtf8(u"a中😀"), "a中😀");
    EXPECT_THROW(Utf8ToWide("\xD6\xD0"), EConvertError);
    EXPECT_THROW(Utf8ToWide("\xC0\x80"), EConvertError);  // overlong
    EXPECT_THROW(Utf8ToWide("\xED\xA0\x80"), EConvertError);  // surrogate
    EXPECT_EQ(Utf8ToWideLenient("a\xFF"), u"a\uFFFD");
    EXPECT_THROW(WideToUtf8(std::u16string(1, char16_t(0xD800))), EConvertError);
    EXPECT_TRUE(IsValidUtf8("中文"));
    EXPECT_FALSE(IsValidUtf8("\xD6\xD0"));
}

}  // namespace
