// The launcher's JSON: what it writes must be valid JSON whatever text the module holds, and
// what scripts give must read back as the variants the controller expects.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Json.h"
#include "VariantJson.h"
#include "platform/rtl/CodePages.h"

using launcher::Json;
using launcher::JsonError;
using rtl::Variant;

namespace {

TEST(JsonWrite, EscapesControlCharactersQuotesAndBadUtf8) {
    struct Case {
        std::string text;
        std::string json;
    } cases[] = {
        {"plain", R"("plain")"},
        {"say \"hi\" \\ bye", R"("say \"hi\" \\ bye")"},
        {"TGK DLL Internal Error :\rNot Assign", R"("TGK DLL Internal Error :\rNot Assign")"},
        {"a\nb\tc\bd\fe", R"("a\nb\tc\bd\fe")"},
        {std::string("\x01\x1f\x7f", 3), R"("\u0001\u001f\u007f")"},
        {std::string("nul\0in", 6), R"("nul\u0000in")"},
        {"决策分析文件", "\"决策分析文件\""},                     // UTF-8 passes as it is
        {"emoji \xF0\x9F\x98\x80", "\"emoji \xF0\x9F\x98\x80\""},  // four-byte sequences too
        {"gbk \xBE\xF6 byte", "\"gbk \xEF\xBF\xBD\xEF\xBF\xBD byte\""},  // not UTF-8: replaced
        {"cut \xE5\x86", "\"cut \xEF\xBF\xBD\xEF\xBF\xBD\""},            // truncated sequence
        {"surrogate \xED\xA0\x80", "\"surrogate \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"overlong \xC0\xAF", "\"overlong \xEF\xBF\xBD\xEF\xBF\xBD\""},
    };
    for (const Case& c : cases) {
        const std::string written = Json(c.text).Dump();
        EXPECT_EQ(written, c.json) << c.json;
        // Whatever was written reads back, and valid text comes back unchanged.
        const Json back = Json::Parse(written);
        EXPECT_TRUE(rtl::IsValidUtf8(back.AsString())) << c.json;
        if (rtl::IsValidUtf8(c.text)) {
            EXPECT_EQ(back.AsString(), c.text) << c.json;
        }
    }
}

TEST(JsonWrite, NumbersAndStructures) {
    Json o = Json::Object();
    o.Set("event", 256);
    o.Set("name", "FormCreate");
    o.Set("ok", true);
    o.Set("none", Json());
    o.Set("real", 2.5);
    o.Set("whole", 2.0);
    o.Set("big", int64_t{-9007199254740993});
    o.Set("inf", std::numeric_limits<double>::infinity());
    o.Set("list", Json::Array({Json(1), Json("x"), Json::Array()}));
    o.Set("event", 304);  // a second Set replaces in place
    EXPECT_EQ(o.Dump(),
              R"({"event":304,"name":"FormCreate","ok":true,"none":null,"real":2.5,"whole":2.0,)"
              R"("big":-9007199254740993,"inf":null,"list":[1,"x",[]]})");
}

TEST(JsonRead, ValuesOfEveryKind) {
    const Json j = Json::Parse(R"( {"a": [1, -2, 3.25, 1e3, true, false, null, "x\u00e9\ud83d\ude00\/"], "b": {}} )");
    const auto& a = j.Find("a")->Items();
    ASSERT_EQ(a.size(), 8u);
    EXPECT_EQ(a[0].GetKind(), Json::Kind::Int);
    EXPECT_EQ(a[1].AsInt(), -2);
    EXPECT_EQ(a[2].GetKind(), Json::Kind::Real);
    EXPECT_EQ(a[2].AsReal(), 3.25);
    EXPECT_EQ(a[3].GetKind(), Json::Kind::Real);
    EXPECT_EQ(a[3].AsReal(), 1000.0);
    EXPECT_TRUE(a[4].AsBool());
    EXPECT_FALSE(a[5].AsBool());
    EXPECT_TRUE(a[6].IsNull());
    EXPECT_EQ(a[7].AsString(), "x\xC3\xA9\xF0\x9F\x98\x80/");
    EXPECT_TRUE(j.Find("b")->IsObject());
    EXPECT_EQ(j.Find("missing"), nullptr);
    // Integers beyond 64 bits become reals rather than wrapping.
    EXPECT_EQ(Json::Parse("18446744073709551616").GetKind(), Json::Kind::Real);
    EXPECT_EQ(Json::Parse("9223372036854775807").AsInt(), std::numeric_limits<int64_t>::max());
}

TEST(JsonRead, RefusesWhatIsNoJson) {
    struct Case {
        const char* text;
        size_t offset;  // where reading stopped
    } cases[] = {
        {"", 0},
        {"[1,", 3},
        {"[1 2]", 3},
        {"{\"a\" 1}", 5},
        {"{a:1}", 1},
        {"'x'", 0},
        {"\"unterminated", 13},
        {"\"tab\there\"", 4},
        {"\"\\x\"", 2},
        {"\"\\ud800\"", 7},
        {"\"\\udc00\"", 7},
        {"01", 1},
        {"1.", 2},
        {"-", 1},
        {"1e", 2},
        {"tru", 0},
        {"[1] x", 4},
        {"1e999", 0},
        {"\"\xFF\"", 1},
    };
    for (const Case& c : cases) {
        try {
            Json::Parse(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const JsonError& e) {
            EXPECT_EQ(e.Offset(), c.offset) << c.text << ": " << e.what();
            EXPECT_NE(std::string(e.what()).find("column"), std::string::npos) << e.what();
        }
    }
    // Deep nesting is refused instead of exhausting the stack.
    EXPECT_THROW(Json::Parse(std::string(100000, '[')), JsonError);
    EXPECT_NO_THROW(Json::Parse(std::string(200, '[') + std::string(200, ']')));
}

TEST(JsonCompare, NumbersByValueObjectsInAnyOrder) {
    EXPECT_EQ(Json(1), Json(1.0));
    EXPECT_FALSE(Json(1) == Json("1"));
    EXPECT_FALSE(Json() == Json(false));
    EXPECT_EQ(Json::Parse(R"({"a":1,"b":[2,"x"]})"), Json::Parse(R"({"b":[2.0,"x"],"a":1})"));
    EXPECT_FALSE(Json::Parse(R"({"a":1})") == Json::Parse(R"({"a":1,"b":2})"));
    EXPECT_FALSE(Json::Parse("[1,2]") == Json::Parse("[2,1]"));
}

// ---- Variants ----------------------------------------------------------------------------

TEST(VariantJson, ScriptPackagesBecomeVariantsOfTheirKind) {
    const Variant v = launcher::JsonToVariant(Json::Parse(R"([2, [true, [[[0, "edPrintDate"]], ["2024/03/05"]]], null, 1.5])"));
    ASSERT_TRUE(v.IsArray());
    EXPECT_EQ(v.Arr().LowBound(), 0);
    EXPECT_EQ(v.Arr().HighBound(), 3);
    EXPECT_EQ(v[0].Type(), rtl::VarType::Integer);
    EXPECT_EQ(v[0].Int(), 2);
    EXPECT_EQ(v[1][0].Type(), rtl::VarType::Boolean);
    EXPECT_EQ(v[1][1][0][0][1].Type(), rtl::VarType::String);
    EXPECT_EQ(v[1][1][0][0][1].Bytes(), "edPrintDate");
    EXPECT_EQ(v[1][1][1][0].Bytes(), "2024/03/05");
    EXPECT_TRUE(v[2].IsNull());
    EXPECT_EQ(v[3].Type(), rtl::VarType::Double);
    EXPECT_THROW(launcher::JsonToVariant(Json::Parse(R"([{"a":1}])")), JsonError);
}

TEST(VariantJson, RoundTripsKeepKindsAndValues) {
    const char* texts[] = {
        "null", "true", "false", "0", "-42", "9223372036854775807", "2.5", "-0.001", "\"\"", "\"薪资\\n结构\"",
        "[]", "[1,[2,[3,[\"deep\"]]],null,\"x\"]",
    };
    for (const char* text : texts) {
        const Json j = Json::Parse(text);
        const Json back = launcher::VariantToJson(launcher::JsonToVariant(j));
        EXPECT_EQ(back.Dump(), j.Dump()) << text;
        EXPECT_EQ(back.GetKind(), j.GetKind()) << text;
    }
}

TEST(VariantJson, WhatTheControllerAnswersAsJson) {
    EXPECT_TRUE(launcher::VariantToJson(Variant()).IsNull());  // ResultValue when nothing was accepted
    EXPECT_EQ(launcher::VariantToJson(Variant(u"870401-0.00.00")).Dump(), "\"870401-0.00.00\"");
    EXPECT_EQ(launcher::VariantToJson(Variant(std::u16string(u"决策") + char16_t(1))).Dump(), "\"决策\\u0001\"");
    EXPECT_EQ(launcher::VariantToJson(Variant(std::u16string(1, char16_t(0xD800)))).Dump(), "\"\xEF\xBF\xBD\"");
    EXPECT_EQ(launcher::VariantToJson(Variant::FromDate(rtl::EncodeDate(2024, 3, 5) + rtl::EncodeTime(9, 8, 7, 0))).Dump(),
              "\"2024-03-05T09:08:07\"");
    EXPECT_EQ(launcher::VariantToJson(Variant::FromDate(rtl::EncodeDate(2024, 3, 5) + rtl::EncodeTime(9, 8, 7, 250))).Dump(),
              "\"2024-03-05T09:08:07.250\"");
    // Bounds that do not start at 0 and two dimensions (the system information's shape).
    Variant shifted = rtl::VarArrayCreate(1, 2);
    shifted[1] = Variant("a");
    shifted[2] = Variant(2);
    EXPECT_EQ(launcher::VariantToJson(shifted).Dump(), R"(["a",2])");
    Variant grid = rtl::VarArrayCreate(0, 1, 0, 2);
    for (int i = 0; i <= 1; ++i) {
        for (int j = 0; j <= 2; ++j) grid(i, j) = Variant(i * 10 + j);
    }
    EXPECT_EQ(launcher::VariantToJson(grid).Dump(), "[[0,1,2],[10,11,12]]");
    EXPECT_EQ(launcher::VariantToJson(Variant(std::nan(""))).Dump(), "null");
}

}  // namespace
