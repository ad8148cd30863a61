#include <gtest/gtest.h>

#include "platform/rtl/Variants.h"

using namespace rtl;

namespace {

TEST(Variant, TagsOfConstructedValues) {
    EXPECT_EQ(Variant().Type(), VarType::Empty);
    EXPECT_EQ(Variant::Null().Type(), VarType::Null);
    EXPECT_EQ(Variant(true).Type(), VarType::Boolean);
    EXPECT_EQ(Variant(3).Type(), VarType::Integer);
    EXPECT_EQ(Variant(int64_t{1} << 40).Type(), VarType::Integer);
    EXPECT_EQ(Variant(1.5).Type(), VarType::Double);
    EXPECT_EQ(Variant::FromDate(45356).Type(), VarType::Date);
    EXPECT_EQ(Variant("abc").Type(), VarType::String);
    EXPECT_EQ(Variant(u"abc").Type(), VarType::OleStr);
    EXPECT_EQ(VarArrayOf({1, 2}).Type(), VarType::Array);
}

TEST(Variant, ConversionsFollowThePlatform) {
    EXPECT_EQ(VarToStr(Variant()), "");
    EXPECT_EQ(VarToStr(Variant::Null()), "");
    EXPECT_EQ(VarToStr(Variant(true)), "True");
    EXPECT_EQ(VarToStr(Variant(-12)), "-12");
    EXPECT_EQ(VarToStr(Variant(2.5)), "2.5");
    EXPECT_EQ(VarToStr(Variant(u"中文")), "中文");
    EXPECT_EQ(Variant("42").AsInteger(), 42);
    EXPECT_EQ(Variant(u" 42").AsInteger(), 42);
    EXPECT_EQ(Variant(2.5).AsInteger(), 2);   // banker's rounding
    EXPECT_EQ(Variant(3.5).AsInteger(), 4);
    EXPECT_EQ(Variant(true).AsInteger(), -1);
    EXPECT_EQ(Variant().AsInteger(), 0);
    EXPECT_DOUBLE_EQ(Variant("1.25").AsDouble(), 1.25);
    EXPECT_TRUE(Variant("true").AsBoolean());
    EXPECT_FALSE(Variant(0).AsBoolean());
    EXPECT_EQ(Variant("中").AsWide(), u"中");
    EXPECT_THROW(Variant("abc").AsInteger(), EVariantTypeCastError);
    EXPECT_THROW(Variant::Null().AsInteger(), EVariantTypeCastError);
    EXPECT_THROW(VarArrayOf({1}).AsString(), EVariantTypeCastError);
    EXPECT_THROW(Variant(5000000000LL).AsInteger(), EVariantTypeCastError);
    try {
        Variant("x").AsInteger();
    } catch (const EVariantTypeCastError& e) {
        EXPECT_EQ(e.Message(), "Could not convert variant of type (String) into type (Int64)");
    }
}

TEST(Variant, ArraysHaveBoundsAndDeepCopies) {
    Variant a = VarArrayCreate(1, 3);
    EXPECT_EQ(VarArrayDimCount(a), 1);
    EXPECT_EQ(VarArrayLowBound(a, 1), 1);
    EXPECT_EQ(VarArrayHighBound(a, 1), 3);
    a[1] = "x";
    a[3] = VarArrayOf({10, 20});
    EXPECT_THROW(a[0], ERangeError);
    EXPECT_THROW(a[4], ERangeError);

    Variant copy = a;
    copy[3][0] = 99;
    copy[1] = "y";
    EXPECT_EQ(a[3][0].AsInteger(), 10);
    EXPECT_EQ(a[1].AsString(), "x");

    Variant m = VarArrayCreate(0, 3, 2, 9);
    EXPECT_EQ(VarArrayDimCount(m), 2);
    EXPECT_EQ(VarArrayLowBound(m, 2), 2);
    EXPECT_EQ(VarArrayHighBound(m, 2), 9);
    m(3, 9) = 7;
    m(0, 2) = 1;
    EXPECT_EQ(m.Arr().Items().back().AsInteger(), 7);
    EXPECT_EQ(m.Arr().Items().front().AsInteger(), 1);
    EXPECT_THROW(m(4, 2), ERangeError);
    EXPECT_THROW(m[1], EVariantError);
    EXPECT_THROW(VarArrayHighBound(m, 3), EVariantError);
    EXPECT_THROW(VarArrayLowBound(Variant(1), 1), EVariantError);

    Variant e = VarArrayCreate(0, -1);
    EXPECT_EQ(e.Arr().ElementCount(), 0u);
    VarArrayRedim(a, 5);
    EXPECT_EQ(VarArrayHighBound(a, 1), 5);
    EXPECT_EQ(a[1].AsString(), "x");
    EXPECT_TRUE(a[5].IsEmpty());
}

TEST(Variant, Comparisons) {
    struct Case {
        Variant a, b;
        VarCompareResult r;
    } cases[] = {
        {1, 1.0, VarCompareResult::Equal},
        {"10", 9, VarCompareResult::GreaterThan},
        {"abc", "abd", VarCompareResult::LessThan},
        {u"abc", "abc", VarCompareResult::Equal},
        {Variant::Null(), Variant::Null(), VarCompareResult::Equal},
        {Variant::Null(), 0, VarCompareResult::NotEqual},
        {Variant(), "", VarCompareResult::Equal},
        {Variant(), 0, VarCompareResult::Equal},
        {VarArrayOf({1, "a"}), VarArrayOf({1, "a"}), VarCompareResult::Equal},
        {VarArrayOf({1, "a"}), VarArrayOf({1, "b"}), VarCompareResult::NotEqual},
    };
    for (const Case& c : cases) EXPECT_EQ(VarCompareValue(c.a, c.b), c.r) << VarToStr(c.a.IsArray() ? 0 : c.a);
    EXPECT_TRUE(Variant("a").Identical(Variant("a")));
    EXPECT_FALSE(Variant("a").Identical(Variant(u"a")));
}

}  // namespace
