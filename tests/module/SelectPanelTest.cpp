// The selection panel: the range put in order, dates read in every date order, the value list
// (columns, padding, duplicates, sorting under the user's locale), the panel value text both
// ways, and the panel itself: defaults, styles and the size swap, layouts, words, hints, glyphs,
// mask, vertical mode, lookup, delete, clear and the events it passes on.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "controls/SelectPnl.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Messages.h"
#include "support/Fixtures.h"

using namespace ui;
using kpatest::ScopedEnv;

namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows RowsOf(const TSelectRows& rows) {
    Rows out;
    for (int i = 0; i < rows.Count(); ++i) out.push_back(rows.Cells(i));
    return out;
}

Rows ItemsOf(const TCustomListView* list) {
    Rows out;
    for (int i = 0; i < list->Items()->Count(); ++i) {
        const TListItem* item = list->Items()->Item(i);
        std::vector<std::string> cells{item->Caption()};
        for (int k = 0; k < item->SubItems()->Count(); ++k) cells.push_back((*item->SubItems())[k]);
        out.push_back(cells);
    }
    return out;
}

std::vector<std::string> Captions(const TCustomListView* list) {
    std::vector<std::string> out;
    for (int i = 0; i < list->Items()->Count(); ++i) out.push_back(list->Items()->Item(i)->Caption());
    return out;
}

std::vector<std::string> ColumnNames(const TCustomListView* list) {
    std::vector<std::string> out;
    for (int i = 0; i < list->Columns()->Count(); ++i) out.push_back(list->Column(i)->Caption());
    return out;
}

intptr_t MousePos(int x, int y) { return static_cast<intptr_t>((y << 16) | (x & 0xFFFF)); }

// The glyph library is left out of the panel's behaviour: no glyphs, numbers as captions.
class NoGlyphs {
public:
    NoGlyphs() : before_(SetGlyphLibrary(&none_)) {}
    ~NoGlyphs() { SetGlyphLibrary(before_); }

private:
    TGlyphLibrary none_{nullptr, nullptr};
    TGlyphLibrary* before_;
};

}  // namespace

// ---- Dates -------------------------------------------------------------------------------------

TEST(SelectPanelDates, EveryDateTypeReadsItsOrder) {
    struct Case {
        const char* text;
        TDateType type;
        const char* sign;
        int y, m, d;  // 0: no date
    } cases[] = {
        {"2005/03/15", dt_YYYYMMDD, "/", 2005, 3, 15},
        {"2005/03", dt_YYYYMMDD, "/", 2005, 3, 1},
        {" 2005 / 3 / 5 ", dt_YYYYMMDD, "/", 2005, 3, 5},
        {"2005-03-15", dt_YYYYMMDD, "-", 2005, 3, 15},
        {"2005.03.15", dt_YYYYMMDD, ". ", 0, 0, 0},  // the sign is two characters: none found
        {"03/15/2005", dt_MMDDYYYY, "/", 2005, 3, 15},
        {"03/2005", dt_MMDDYYYY, "/", 2005, 3, 1},
        {"3/2005", dt_MMDDYYYY, "/", 2005, 3, 1},
        {"15/03/2005", dt_DDMMYYYY, "/", 2005, 3, 15},
        {"03/2005", dt_DDMMYYYY, "/", 2005, 3, 1},
        {"94/01/01", dt_YYMMDD, "/", 2005, 1, 1},
        {"94/02", dt_YYMMDD, "/", 2005, 2, 1},
        {"094/12/31", dt_YYYMMDD, "/", 2005, 12, 31},
        {"100/01/31", dt_YYYMMDD, "/", 2011, 1, 31},
        {"", dt_YYYYMMDD, "/", 0, 0, 0},
        {"2005", dt_YYYYMMDD, "/", 0, 0, 0},
        {"2005/01/02/03", dt_YYYYMMDD, "/", 0, 0, 0},
        {"2005/02/30", dt_YYYYMMDD, "/", 0, 0, 0},
        {"2005/13/01", dt_YYYYMMDD, "/", 0, 0, 0},
        {"2005/ab/01", dt_YYYYMMDD, "/", 0, 0, 0},
        {"02/29/2005", dt_MMDDYYYY, "/", 0, 0, 0},
        {"2005/03/15", dt_NoneCare, "/", 0, 0, 0},
        {"2005/03", dt_NoneCare, "/", 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const rtl::TDateTime want = c.y ? rtl::EncodeDate(c.y, c.m, c.d) : 0;
        EXPECT_EQ(ReadDateText(c.text, c.type, c.sign), want);
    }
}

TEST(SelectPanelDates, TheBlankTextReadsAsNoDate) {
    EXPECT_EQ(ReadDateText("    /  /  ", dt_YYYYMMDD, "/", "    /  /  "), 0);
    EXPECT_EQ(ReadDateText("/  /", dt_YYYYMMDD, "/", "    /  /  "), 0);  // compared trimmed
    EXPECT_EQ(ReadDateText("2005/01/01", dt_YYYYMMDD, "/", "    /  /  "), rtl::EncodeDate(2005, 1, 1));
}

// ---- The range ---------------------------------------------------------------------------------

TEST(SelectPanelRange, TextsCompareInTheSystemCodePagesBytes) {
    // 甲 comes before 乙 in GBK (BCD7, D2D2) but after it in Big5 (A5D2, A441).
    struct Case {
        const char* acp;
        const char* begin;
        const char* end;
        bool exchanged;
    } cases[] = {
        {"936", "甲", "乙", false}, {"936", "乙", "甲", true}, {"950", "甲", "乙", true},
        {"950", "乙", "甲", false}, {"936", "A1", "A2", false}, {"936", "B", "A", true},
    };
    for (const Case& c : cases) {
        ScopedEnv acp("KPA_ACP", c.acp);
        TRangeRules rules;
        rules.ValueType = vt_String;
        std::string b = c.begin, e = c.end;
        EXPECT_EQ(OrderRange(rules, b, e), c.exchanged) << c.acp << " " << c.begin << ".." << c.end;
    }
}

TEST(SelectPanelRange, OrderedByValueTypeOnExit) {
    ScopedEnv acp("KPA_ACP", "1252");  // texts compare in our own encoding's bytes here
    struct Case {
        const char* name;
        TValueType type;
        TDateType dateType;
        const char* begin;
        const char* end;
        const char* wantBegin;
        const char* wantEnd;
        const char* mask = "";
        const char* blank = "";
        bool useDiscard = false;
        const char* discard = "";
        bool autoDate = true;
    } cases[] = {
        {"numbers out of order", vt_Number, dt_NoneCare, "20", "3", "3", "20"},
        {"numbers in order", vt_Number, dt_NoneCare, "3", "20", "3", "20"},
        {"negative numbers", vt_Number, dt_NoneCare, "-1", "-5", "-5", "-1"},
        {"no number reads 0", vt_Number, dt_NoneCare, "abc", "5", "abc", "5"},
        {"no number reads 0 at the end", vt_Number, dt_NoneCare, "5", "abc", "abc", "5"},
        {"beyond 32 bits", vt_Number, dt_NoneCare, "9999999999", "3", "3", "9999999999"},
        {"strings byte by byte", vt_String, dt_NoneCare, "20", "3", "20", "3"},
        {"strings out of order", vt_String, dt_NoneCare, "b", "a", "a", "b"},
        {"strings trimmed", vt_String, dt_NoneCare, " b ", " a", "a", "b"},
        {"blanks kept with a ! mask", vt_String, dt_NoneCare, " b", "  a", "  a", " b", "!CCC;1;_"},
        {"UTF-8 bytes", vt_String, dt_NoneCare, "甲", "乙", "乙", "甲"},
        {"begin is the blank text", vt_String, dt_NoneCare, "___", "AAA", "___", "AAA", "", "___"},
        {"end is the blank text", vt_String, dt_NoneCare, "zzz", "___", "zzz", "___", "", "___"},
        {"discard never moves", vt_String, dt_NoneCare, "ZZZ", "*", "ZZZ", "*", "", "", true, "*"},
        {"discard only when used", vt_String, dt_NoneCare, "ZZZ", "*", "*", "ZZZ", "", "", false, "*"},
        {"times", vt_Time, dt_NoneCare, "12:30", "08:00", "08:00", "12:30"},
        {"times and discard", vt_Time, dt_NoneCare, "12:30", "*", "12:30", "*", "", "", true, "*"},
        {"empty begin", vt_Number, dt_NoneCare, "", "5", "", "5"},
        {"empty end after trimming", vt_String, dt_NoneCare, "b", "   ", "b", ""},
        {"date missing its day", vt_Date, dt_YYYYMMDD, "2005/03", "2004/12/31", "2004/12/31", "2005/03"},
        {"dates in order", vt_Date, dt_YYYYMMDD, "2004/12/31", "2005/03", "2004/12/31", "2005/03"},
        {"month-day-year", vt_Date, dt_MMDDYYYY, "12/31/2005", "01/01/2005", "01/01/2005", "12/31/2005"},
        {"day-month-year", vt_Date, dt_DDMMYYYY, "31/12/2005", "01/01/2006", "31/12/2005", "01/01/2006"},
        {"day-month-year reversed", vt_Date, dt_DDMMYYYY, "02/01/2006", "31/12/2005", "31/12/2005", "02/01/2006"},
        {"ROC two digits", vt_Date, dt_YYMMDD, "94/01/01", "93/12/31", "93/12/31", "94/01/01"},
        {"ROC three digits", vt_Date, dt_YYYMMDD, "100/01/01", "099/12/31", "099/12/31", "100/01/01"},
        {"ROC across the digit count", vt_Date, dt_YYYMMDD, "99/12/31", "100/01/01", "99/12/31", "100/01/01"},
        {"dates not interpreted", vt_Date, dt_NoneCare, "b", "a", "a", "b"},
        {"dates left alone", vt_Date, dt_YYYYMMDD, "2005/03/01", "2004/01/01", "2005/03/01", "2004/01/01", "", "", false, "",
         false},
        {"date and blank text", vt_Date, dt_YYYYMMDD, "2005/03/01", "____/__/__", "2005/03/01", "____/__/__", "", "____/__/__"},
        {"a date and no date", vt_Date, dt_YYYYMMDD, "2005/03/01", "2005/02/30", "2005/03/01", "2005/02/30"},
        {"decimals", vt_Float, dt_NoneCare, " 12.50", "  3.2 ", "3.2", "12.50"},
        {"decimals with inner blanks", vt_Float, dt_NoneCare, "1 . 5", "-2", "-2", "1.5"},
        {"decimals with the mask's blank", vt_Float, dt_NoneCare, "_3.2_", "_1.05", "1.05", "3.2", "!#9.99;1;_"},
        {"decimals in order", vt_Float, dt_NoneCare, ".5", "2.", "0.5", "2"},
        {"other masks never", vt_OtherMask, dt_NoneCare, "b", "a", "b", "a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TRangeRules rules;
        rules.ValueType = c.type;
        rules.DateType = c.dateType;
        rules.EditMask = c.mask;
        rules.BlankText = c.blank;
        rules.UseDiscard = c.useDiscard;
        rules.Discard = c.discard;
        rules.AutoChangeDateSite = c.autoDate;
        std::string b = c.begin, e = c.end;
        OrderRange(rules, b, e);
        EXPECT_EQ(b, c.wantBegin);
        EXPECT_EQ(e, c.wantEnd);
    }
}

TEST(SelectPanelRange, PlainDecimalsReadBackAsTheSameValue) {
    struct Case {
        const char* text;
        char blank;
        const char* want;
    } cases[] = {
        {"  12.50 ", ' ', "12.50"}, {"- 3 . 25", ' ', "-3.25"}, {"+7", ' ', "7"},     {"__1.5_", '_', "1.5"},
        {".5", ' ', "0.5"},         {"5.", ' ', "5"},           {"abc", ' ', "abc"}, {"1.2.3", ' ', "1.2.3"},
        {"   .  ", ' ', "   .  "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string plain = PlainDecimalText(c.text, c.blank);
        EXPECT_EQ(plain, c.want);
        double before = 0, after = 0;
        std::string stripped;
        for (char ch : std::string(c.text)) {
            if (ch != ' ' && ch != c.blank) stripped += ch;
        }
        if (rtl::TryStrToFloat(stripped, before)) {
            ASSERT_TRUE(rtl::TryStrToFloat(plain, after));
            EXPECT_EQ(before, after);
        }
    }
}

// ---- The value list ----------------------------------------------------------------------------

TEST(SelectPanelRows, ShortRowsArePaddedAndLongRowsPadTheOthers) {
    TSelectRows rows;
    EXPECT_FALSE(rows.Add({}));
    EXPECT_TRUE(rows.Add({"A"}));
    EXPECT_TRUE(rows.Add({"B", "b", "c"}));
    EXPECT_TRUE(rows.Add({"C", "d"}));
    EXPECT_EQ(rows.CellCount(), 3);
    EXPECT_EQ(RowsOf(rows), (Rows{{"A", "", ""}, {"B", "b", "c"}, {"C", "d", ""}}));
    rows.Delete(1);
    rows.Delete(0);
    rows.Delete(0);
    EXPECT_EQ(rows.CellCount(), 0);  // an empty list starts over
    rows.Add({"X"});
    EXPECT_EQ(RowsOf(rows), (Rows{{"X"}}));
}

TEST(SelectPanelRows, LongestCellsFollowAddsAndDeletes) {
    TSelectRows rows;
    rows.Add({"ab", "张三"});
    rows.Add({"abcd", "x"});
    EXPECT_EQ(rows.MaxCellLength(0), 4);
    EXPECT_EQ(rows.MaxCellLength(1), 4);  // two characters outside ASCII
    rows.Delete(1);
    EXPECT_EQ(rows.MaxCellLength(0), 2);
    rows.Delete(0);
    EXPECT_EQ(rows.MaxCellLength(1), 0);
    EXPECT_EQ(TSelectRows::TextLength("a张b"), 4);
}

TEST(SelectPanelRows, CaseDecidesWhatIsADuplicate) {
    ScopedEnv acp("KPA_ACP", "936");
    struct Case {
        TCheckDuplicate check;
        std::vector<std::string> added;
        std::vector<std::string> want;
    } cases[] = {
        {cd_CaseInsensitive, {"ABC", "abc"}, {"ABC"}},
        {cd_CheckCase, {"ABC", "abc"}, {"ABC", "abc"}},
        {cd_CheckCase, {"ABC", "abc", "ABC"}, {"ABC", "abc"}},  // not neighbours, still the same caption
        {cd_None, {"ABC", "ABC"}, {"ABC", "ABC"}},
        {cd_CaseInsensitive, {"b", "A", "B", "a", "c"}, {"A", "b", "c"}},
        {cd_CaseInsensitive, {"张三", "李四", "张三"}, {"李四", "张三"}},
    };
    for (const Case& c : cases) {
        TSelectRows rows;
        rows.SetCheckDuplicate(c.check);
        rows.SetSorted(true);
        for (const auto& caption : c.added) rows.Add({caption});
        std::vector<std::string> got;
        for (int i = 0; i < rows.Count(); ++i) got.push_back(rows.Cell(i, 0));
        EXPECT_EQ(got, c.want) << CheckDuplicateEnum().NameOf(c.check);
    }
}

TEST(SelectPanelRows, OfTwoRowsWithOneCaptionTheFirstInTheListStays) {
    ScopedEnv acp("KPA_ACP", "936");
    TSelectRows rows;
    rows.SetCheckDuplicate(cd_CaseInsensitive);
    rows.SetSorted(true);
    rows.Add({"B", "2"});
    rows.Add({"b", "1"});  // sorts before the row it repeats
    EXPECT_EQ(RowsOf(rows), (Rows{{"b", "1"}}));
    rows.Add({"B", "3"});
    EXPECT_EQ(RowsOf(rows), (Rows{{"b", "1"}}));
    // Unsorted, the later row goes.
    TSelectRows plain;
    plain.SetCheckDuplicate(cd_CheckCase);
    plain.Add({"B", "2"});
    plain.Add({"B", "1"});
    EXPECT_EQ(RowsOf(plain), (Rows{{"B", "2"}}));
}

TEST(SelectPanelRows, SortsByPinyinUnder936AndStrokesUnder950) {
    const std::vector<std::string> names = {"王", "一", "林", "大", "安", "人"};
    struct Case {
        const char* acp;
        std::vector<std::string> want;
    } cases[] = {
        {"936", {"安", "大", "林", "人", "王", "一"}},  // an, da, lin, ren, wang, yi
        {"950", {"一", "人", "大", "王", "安", "林"}},  // 1, 2, 3, 4, 6, 8 strokes
    };
    for (const Case& c : cases) {
        ScopedEnv acp("KPA_ACP", c.acp);
        TSelectRows rows;
        rows.SetSorted(true);
        for (const auto& n : names) rows.Add({n});
        std::vector<std::string> got;
        for (int i = 0; i < rows.Count(); ++i) got.push_back(rows.Cell(i, 0));
        EXPECT_EQ(got, c.want) << c.acp;
        // The same order as the platform's locale comparison.
        std::vector<std::string> byPlatform = names;
        std::stable_sort(byPlatform.begin(), byPlatform.end(),
                         [](const std::string& a, const std::string& b) { return CompareLocaleText(a, b) < 0; });
        EXPECT_EQ(got, byPlatform) << c.acp;
    }
}

TEST(SelectPanelRows, ALocaleChangeSortsAgainByTheNewLocale) {
    TSelectRows rows;
    {
        ScopedEnv acp("KPA_ACP", "936");
        rows.SetSorted(true);
        for (const char* n : {"一", "安", "人"}) rows.Add({n});
        EXPECT_EQ(rows.Cell(0, 0), "安");
    }
    ScopedEnv acp("KPA_ACP", "950");
    rows.Sort();
    EXPECT_EQ(rows.Cell(0, 0), "一");
    EXPECT_EQ(rows.Cell(2, 0), "安");
}

TEST(SelectPanelRows, TiesGoToTheSortColumnThenColumnsZeroAndOne) {
    ScopedEnv acp("KPA_ACP", "936");
    TSelectRows rows;
    for (const Rows::value_type& r : Rows{{"b", "x", "1"}, {"a", "x", "2"}, {"A", "y", "0"}, {"c", "x", "0"}}) rows.Add(r);
    struct Case {
        int column;
        bool ascending;
        Rows want;
    } cases[] = {
        {0, true, {{"a", "x", "2"}, {"A", "y", "0"}, {"b", "x", "1"}, {"c", "x", "0"}}},
        {2, true, {{"A", "y", "0"}, {"c", "x", "0"}, {"b", "x", "1"}, {"a", "x", "2"}}},
        {1, true, {{"a", "x", "2"}, {"b", "x", "1"}, {"c", "x", "0"}, {"A", "y", "0"}}},
        {1, false, {{"A", "y", "0"}, {"c", "x", "0"}, {"b", "x", "1"}, {"a", "x", "2"}}},
        {5, true, {{"a", "x", "2"}, {"A", "y", "0"}, {"b", "x", "1"}, {"c", "x", "0"}}},  // no such cell: empty
    };
    for (const Case& c : cases) {
        rows.SetSortOrder(c.column, c.ascending);
        rows.Sort();
        EXPECT_EQ(RowsOf(rows), c.want) << c.column << (c.ascending ? " up" : " down");
    }
}

// The list built the plain way, row by row: sorted insertion after the equal rows by the
// platform's locale comparison, padding, then neighbouring captions removed from the last row.
Rows ReferenceList(const Rows& added, bool ascending) {
    Rows list;
    size_t width = 0;
    const auto cell = [](const std::vector<std::string>& r, size_t k) { return k < r.size() ? r[k] : std::string(); };
    const auto compare = [&](const std::vector<std::string>& a, const std::vector<std::string>& b) {
        for (size_t k : {size_t{0}, size_t{1}}) {
            const int r = CompareLocaleText(cell(a, k), cell(b, k));
            if (r != 0) return ascending ? r : -r;
        }
        return 0;
    };
    for (auto row : added) {
        width = std::max(width, row.size());
        size_t pos = 0;
        while (pos < list.size() && compare(row, list[pos]) >= 0) ++pos;
        list.insert(list.begin() + static_cast<long>(pos), row);
        for (auto& r : list) r.resize(width);
        for (size_t i = list.size(); i-- > 1;) {
            if (rtl::AnsiUpperCase(list[i][0]) == rtl::AnsiUpperCase(list[i - 1][0])) list.erase(list.begin() + static_cast<long>(i));
        }
    }
    return list;
}

TEST(SelectPanelRows, AddingOneByOneOrAllAtOnceGivesTheListOfTheRules) {
    ScopedEnv acp("KPA_ACP", "936");
    std::mt19937 random(7);
    const std::vector<std::string> words = {"a", "A", "b", "B", "ab", "Ab", "张", "李", "王", "c", ""};
    for (int round = 0; round < 40; ++round) {
        Rows added;
        const int count = 1 + static_cast<int>(random() % 30);
        for (int i = 0; i < count; ++i) {
            std::vector<std::string> r;
            const int cells = 1 + static_cast<int>(random() % 3);
            for (int k = 0; k < cells; ++k) r.push_back(words[random() % words.size()]);
            added.push_back(r);
        }
        const bool ascending = round % 2 == 0;
        TSelectRows one, all;
        for (TSelectRows* rows : {&one, &all}) {
            rows->SetCheckDuplicate(cd_CaseInsensitive);
            rows->SetSortOrder(0, ascending);
            rows->SetSorted(true);
        }
        for (const auto& r : added) one.Add(r);
        all.AddRows(added);
        const Rows want = ReferenceList(added, ascending);
        EXPECT_EQ(RowsOf(one), want) << "round " << round;
        EXPECT_EQ(RowsOf(all), want) << "round " << round;
    }
}

TEST(SelectPanelRows, ListTextRoundTrips) {
    struct Case {
        const char* name;
        std::string text;
        Rows rows;
        std::string written;
    } cases[] = {
        {"two rows of two cells", "A\x01x\x04" "B\x01y\x04", {{"A", "x"}, {"B", "y"}}, "A\x01x\x04" "B\x01y\x04"},
        {"rows of one, three and two cells", "A\x04" "B\x01" "b\x01" "c\x04" "C\x01" "d\x04",
         {{"A", "", ""}, {"B", "b", "c"}, {"C", "d", ""}}, "A\x01\x01\x04" "B\x01" "b\x01" "c\x04" "C\x01" "d\x01\x04"},
        {"empty pieces skipped", "\x04\x04" "A\x04\x04", {{"A"}}, "A\x04"},
        {"no end after the last row", "A\x01x", {{"A", "x"}}, "A\x01x\x04"},
        {"empty cells kept", "\x01x\x04", {{"", "x"}}, "\x01x\x04"},
        {"empty", "", {}, ""},
        {"Chinese texts", "张三\x01经理\x04", {{"张三", "经理"}}, "张三\x01经理\x04"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TSelectRows rows;
        rows.Add({"old"});
        EXPECT_TRUE(rows.LoadListText(c.text));
        EXPECT_EQ(RowsOf(rows), c.rows);
        EXPECT_EQ(rows.ListText(), c.written);
    }
}

TEST(SelectPanelRows, ObserverSeesEveryChangeInPlace) {
    ScopedEnv acp("KPA_ACP", "936");
    TSelectRows rows;
    std::vector<std::string> seen;
    rows.Observer = [&](TSelectRows::TChange change, int index) {
        static const char* names[] = {"ins", "del", "pad", "order", "reset"};
        seen.push_back(std::string(names[static_cast<int>(change)]) + std::to_string(index));
    };
    rows.SetCheckDuplicate(cd_CaseInsensitive);
    rows.SetSorted(true);
    rows.Add({"b", "2"});
    rows.Add({"c"});
    rows.Add({"B", "1"});  // goes in before "b" and takes its place
    rows.Add({"x", "y", "z"});
    EXPECT_EQ(seen, (std::vector<std::string>{"order-1", "ins0", "ins1", "ins0", "del1", "pad-1", "ins2"}));
}

// ---- The panel value text ----------------------------------------------------------------------

TEST(SelectPanelValueText, WrittenAndReadForEveryStyle) {
    struct Case {
        TPanelValue value;
        std::string text;
    } cases[] = {
        {{sp_Range, true, "A01", "B99", ""}, "sp_Range\x03" "A01\x03" "B99"},
        {{sp_Range, true, "", "", ""}, "sp_Range\x03\x03"},
        {{sp_Discrete, true, "", "", "A\x01x\x04"}, "sp_Discrete\x03" "A\x01x\x04"},
        {{sp_Discrete, true, "", "", ""}, "sp_Discrete\x03"},
        {{sp_UserChoice, true, "1", "9", ""}, "sp_UserChoice\x03True\x03" "1\x03" "9"},
        {{sp_UserChoice, false, "", "", "A\x04"}, "sp_UserChoice\x03" "False\x03" "A\x04"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PanelValueText(c.value), c.text);
        TPanelValue read;
        ASSERT_TRUE(ReadPanelValueText(c.text, read)) << c.text;
        EXPECT_EQ(read.Style, c.value.Style);
        EXPECT_EQ(read.UserChoice, c.value.UserChoice);
        EXPECT_EQ(read.BeginText, c.value.BeginText);
        EXPECT_EQ(read.EndText, c.value.EndText);
        EXPECT_EQ(read.ListText, c.value.ListText);
    }
}

TEST(SelectPanelValueText, MissingFieldsReadEmptyAndUnknownWordsFail) {
    TPanelValue v;
    ASSERT_TRUE(ReadPanelValueText("sp_Range", v));
    EXPECT_EQ(v.BeginText, "");
    EXPECT_EQ(v.EndText, "");
    ASSERT_TRUE(ReadPanelValueText("sp_Range\x03" "5", v));
    EXPECT_EQ(v.BeginText, "5");
    EXPECT_EQ(v.EndText, "");
    v.BeginText = "kept";
    EXPECT_FALSE(ReadPanelValueText("sp_Other\x03" "1\x03" "2", v));
    EXPECT_FALSE(ReadPanelValueText("", v));
    EXPECT_FALSE(ReadPanelValueText("sp_UserChoice\x03Maybe\x03" "1", v));
    EXPECT_FALSE(ReadPanelValueText("sp_UserChoice", v));
    EXPECT_EQ(v.BeginText, "kept");
}

// ---- The panel ---------------------------------------------------------------------------------

namespace {

class Panel : public ::testing::Test {
protected:
    NoGlyphs glyphs;
    ScopedEnv acp{"KPA_ACP", "936"};
    TSelectPanel* panel = new TSelectPanel(nullptr);
    std::vector<std::string> log;
    void TearDown() override { panel->Free(); }

    int T() const { return TextHeight(*panel->Font()); }
    int W(const std::string& text) const { return TextWidth(*panel->Font(), text); }
    static TRect Bounds(const TControl* c) { return c->BoundsRect(); }
    static TRect Rect(int left, int top, int width, int height) { return TRect{left, top, left + width, top + height}; }
    int ZOrder(const TControl* c) const {
        const auto& list = panel->ControlList();
        return static_cast<int>(std::find(list.begin(), list.end(), c) - list.begin());
    }
};

// The form that answers lookups, recording what reached its window.
class LookupForm : public TForm {
public:
    explicit LookupForm(TComponent* owner) : TForm(owner) {}
    std::vector<std::pair<intptr_t, intptr_t>> lookups;
    void WndProc(TMessage& m) override {
        if (m.Msg == WM_OPENLOOKUP) lookups.emplace_back(m.WParam, m.LParam);
        TForm::WndProc(m);
    }
};

class PanelOnForm : public ::testing::Test {
protected:
    NoGlyphs glyphs;
    ScopedEnv acp{"KPA_ACP", "936"};
    LookupForm* form = nullptr;
    TSelectPanel* panel = nullptr;
    TEdit* other = nullptr;
    std::vector<std::string> log;

    void SetUp() override {
        form = CreateForm<LookupForm>(nullptr);
        form->SetBounds(0, 0, 600, 400);
        panel = new TSelectPanel(form);
        panel->SetName("spDept");
        panel->SetParent(form);
        panel->SetBounds(10, 20, 353, 45);
        other = new TEdit(form);
        other->SetParent(form);
        other->SetBounds(10, 300, 100, 21);
        form->Show();
    }
    void TearDown() override {
        form->Free();
        Application().ProcessMessages();
    }
    std::string Name(const TObject* o) const {
        if (o == panel) return "panel";
        const auto* c = dynamic_cast<const TComponent*>(o);
        return c ? c->Name() : "?";
    }
};

}  // namespace

TEST_F(Panel, PublishesItsPropertiesInOrderWithTheirDefaults) {
    struct Case {
        const char* name;
        const char* value;
    } cases[] = {
        {"AutoChangeDateSite", "True"}, {"ColumnsAutoSize", "True"}, {"CanOpenWin", "True"},
        {"CheckDuplicate", "cd_None"},  {"DateType", "dt_NoneCare"}, {"DateSign", "/"},
        {"Discard", ""},                {"EditMask", ""},            {"GlyphIndex", "8"},
        {"HintWord", "区间选择"},       {"HideSelection", "False"},  {"OtherHeight", "105"},
        {"OtherWidth", "200"},          {"ShowColumnHeader", "False"}, {"SortListBox", "False"},
        {"Style", "sp_Range"},          {"UseDiscard", "False"},     {"UserChoice", "True"},
        {"UseVertical", "False"},       {"ValueType", "vt_String"},  {"Width", "353"},
        {"Height", "45"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetPropText(panel, c.name), c.value) << c.name;
        const PropInfo* p = GetPropInfo(panel, c.name);
        if (p->Default) {
            EXPECT_EQ(*p->Default, GetOrdProp(panel, c.name)) << c.name;
        }
    }
    std::vector<std::string> own;
    for (const PropInfo& p : TSelectPanel::StaticClassInfo().Props) own.push_back(p.Name);
    EXPECT_EQ(own, (std::vector<std::string>{
                       "AutoChangeDateSite", "BeginWords", "ColumnsAutoSize", "CanOpenWin", "CheckDuplicate", "ChildHints",
                       "ColumnCaptions", "Columns", "DateType", "DateSign", "Discard", "EditMask", "FinalWords", "GlyphIndex",
                       "HintWord", "HideSelection", "Items", "OtherHeight", "OtherWidth", "ShowColumnHeader", "SortListBox",
                       "Style", "UseDiscard", "UserChoice", "UseVertical", "ValueType", "OnOpenWinClick", "OnClearClick",
                       "OnDeleteClick", "OnTypeClick", "OnStyleChanging", "OnStyleChange", "OnItemSelect", "OnItemChange",
                       "OnItemChanging"}));
    EXPECT_EQ(panel->BeginWords()->ToVector(), (std::vector<std::string>{"起", "起"}));
    EXPECT_EQ(panel->FinalWords()->ToVector(), (std::vector<std::string>{"止", "止"}));
    EXPECT_TRUE(IsPublishedProp(panel, "OnExit"));
    EXPECT_TRUE(IsPublishedProp(panel, "OnKeyPress"));
    // Stored data sets it by name, as condition sets do.
    SetEnumProp(panel, "Style", "sp_Discrete");
    EXPECT_EQ(panel->Style(), sp_Discrete);
}

TEST_F(Panel, BuildsItsInnerControls) {
    EXPECT_EQ(panel->TypeCheck->Caption(), "区间选择");
    EXPECT_TRUE(panel->TypeCheck->Checked());
    EXPECT_EQ(panel->edBegin->Height(), 24);
    EXPECT_EQ(panel->edFinal->Height(), 24);
    EXPECT_EQ(panel->RangePanel->BevelOuter(), TBevelCut::bvNone);
    EXPECT_EQ(panel->RangePanel->Caption(), " ");
    struct Button {
        TGSpeedButton* b;
        int glyph, images;
    } buttons[] = {{panel->BeginButton, 8, 1}, {panel->FinalButton, 8, 1}, {panel->ListButton, 8, 1},
                   {panel->DeleteButton, 47, 1}, {panel->ClearButton, 4, 2}};
    for (const Button& b : buttons) {
        EXPECT_TRUE(b.b->Flat()) << b.b->Name();
        EXPECT_EQ(Bounds(b.b).Width(), 23);
        EXPECT_EQ(Bounds(b.b).Height(), 23);
        EXPECT_EQ(b.b->GlyphIndex(), b.glyph) << b.b->Name();
        EXPECT_EQ(b.b->NumGlyphs(), b.images) << b.b->Name();
    }
    EXPECT_TRUE(panel->BeginButton->AutoAlign());
    EXPECT_FALSE(panel->ListButton->AutoAlign());
    EXPECT_EQ(panel->BeginButton->F2Control(), nullptr);
    TVelListView* list = panel->ListBox;
    EXPECT_EQ(list->ViewStyle(), TViewStyle::vsReport);
    EXPECT_TRUE(list->MultiSelect());
    EXPECT_TRUE(list->RowSelect());
    EXPECT_TRUE(list->ReadOnly());
    EXPECT_FALSE(list->ShowColumnHeaders());
    EXPECT_FALSE(list->HideSelection());
    EXPECT_EQ(list->SortType(), TSortType::stNone);
    EXPECT_EQ(list->Cursor(), crHandPoint);
    EXPECT_TRUE(list->ColumnsAutoSize());
    // The default hints, one per inner control.
    const std::pair<TControl*, const char*> hints[] = {
        {panel->TypeCheck, "用户自定输入方式"},     {panel->edBegin, "区间选择-起始信息"},
        {panel->BeginButton, "区间选择-起始信息开窗"}, {panel->edFinal, "区间选择-截止信息"},
        {panel->FinalButton, "区间选择-截止信息开窗"}, {panel->ListBox, "多选-己选择的信息"},
        {panel->ListButton, "多选-信息开窗"},         {panel->DeleteButton, "多选-删除一笔信息"},
        {panel->ClearButton, "多选-删除己选信息"}};
    for (const auto& [control, hint] : hints) EXPECT_EQ(control->Hint(), hint) << control->Name();
}

TEST_F(Panel, HintsApplyEntryByEntry) {
    TStrings hints;
    hints.Add("类型");
    hints.Add("起始");
    panel->SetChildHints(&hints);
    EXPECT_EQ(panel->TypeCheck->Hint(), "类型");
    EXPECT_EQ(panel->edBegin->Hint(), "起始");
    EXPECT_EQ(panel->BeginButton->Hint(), "区间选择-起始信息开窗");  // beyond the list: kept
    panel->ChildHints()->Add("起始开窗");
    EXPECT_EQ(panel->BeginButton->Hint(), "起始开窗");
}

TEST_F(Panel, StyleChangeSwapsTheSizeBetweenRangeAndList) {
    std::vector<std::string> seen;
    panel->OnStyleChanging = TStyleChangingEvent::Lambda([&](TObject*, TSelectStyle now, TSelectStyle next, bool&) {
        seen.push_back("changing " + SelectStyleEnum().NameOf(now) + ">" + SelectStyleEnum().NameOf(next));
    });
    panel->OnStyleChange = TStyleChangeEvent::Lambda([&](TObject*, TSelectStyle old, TSelectStyle next) {
        seen.push_back("change " + SelectStyleEnum().NameOf(old) + ">" + SelectStyleEnum().NameOf(next) + " reads " +
                       SelectStyleEnum().NameOf(panel->Style()));
    });
    panel->SetStyle(sp_Discrete);
    EXPECT_EQ(panel->Width(), 200);
    EXPECT_EQ(panel->Height(), 105);
    EXPECT_EQ(panel->OtherWidth(), 353);
    EXPECT_EQ(panel->OtherHeight(), 45);
    EXPECT_FALSE(panel->RangePanel->Visible());
    EXPECT_TRUE(panel->ListPanel->Visible());
    EXPECT_FALSE(panel->TypeCheck->Visible());
    panel->SetStyle(sp_UserChoice);
    EXPECT_EQ(panel->Width(), 200);
    EXPECT_EQ(panel->Height(), 105);
    EXPECT_TRUE(panel->TypeCheck->Visible());
    EXPECT_TRUE(panel->RangePanel->Visible());  // TypeCheck is checked: the range is chosen
    panel->SetStyle(sp_UserChoice);           // the same style again: everything runs
    panel->SetStyle(sp_Range);
    EXPECT_EQ(panel->Width(), 353);
    EXPECT_EQ(panel->Height(), 45);
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "changing sp_Range>sp_Discrete", "change sp_Range>sp_Discrete reads sp_Range",
                        "changing sp_Discrete>sp_UserChoice", "change sp_Discrete>sp_UserChoice reads sp_Discrete",
                        "changing sp_UserChoice>sp_UserChoice", "change sp_UserChoice>sp_UserChoice reads sp_UserChoice",
                        "changing sp_UserChoice>sp_Range", "change sp_UserChoice>sp_Range reads sp_UserChoice"}));
}

TEST_F(Panel, ARefusedStyleChangeLeavesEverything) {
    const TRect range = Bounds(panel->RangePanel), edit = Bounds(panel->edBegin);
    bool told = false;
    panel->OnStyleChanging = TStyleChangingEvent::Lambda([](TObject*, TSelectStyle, TSelectStyle, bool& accept) { accept = false; });
    panel->OnStyleChange = TStyleChangeEvent::Lambda([&](TObject*, TSelectStyle, TSelectStyle) { told = true; });
    panel->SetStyle(sp_Discrete);
    EXPECT_EQ(panel->Style(), sp_Range);
    EXPECT_EQ(panel->Width(), 353);
    EXPECT_EQ(panel->Height(), 45);
    EXPECT_TRUE(panel->RangePanel->Visible());
    EXPECT_FALSE(panel->ListPanel->Visible());
    EXPECT_EQ(Bounds(panel->RangePanel), range);
    EXPECT_EQ(Bounds(panel->edBegin), edit);
    EXPECT_FALSE(told);
    EXPECT_FALSE(panel->SetValueText("sp_Discrete\x03" "A\x04"));
}

TEST_F(Panel, NoSizeSwapWhileLoadingOrVertical) {
    panel->BeginLoading();
    panel->SetStyle(sp_Discrete);
    panel->EndLoading();
    EXPECT_EQ(panel->Width(), 353);
    EXPECT_EQ(panel->Height(), 45);
    panel->SetStyle(sp_Range);
    EXPECT_EQ(panel->Width(), 200);
    EXPECT_EQ(panel->Height(), 105);
    panel->SetUseVertical(true);  // swapped back by the vertical mode...
    EXPECT_EQ(panel->Width(), 353);
    EXPECT_EQ(panel->Height(), 45);
    EXPECT_EQ(panel->OtherWidth(), 200);
    panel->SetOtherWidth(300);
    panel->SetOtherHeight(80);
    panel->SetStyle(sp_Discrete);  // ...and a vertical panel keeps its size
    EXPECT_EQ(panel->Width(), 353);
    EXPECT_EQ(panel->Height(), 45);
}

TEST_F(Panel, HorizontalLayoutFollowsTheMeasuredTexts) {
    for (bool buttons : {true, false}) {
        SCOPED_TRACE(buttons ? "with lookup buttons" : "without");
        panel->SetCanOpenWin(buttons);
        const int t = T();
        EXPECT_EQ(Bounds(panel->RangePanel), Rect(2, t + 3, 353 - 2 - 1 - 2, 45 - (t + 3) - 1 - 2));
        EXPECT_EQ(Bounds(panel->ListPanel), Bounds(panel->RangePanel));
        EXPECT_GT(ZOrder(panel->RangePanel), ZOrder(panel->ListPanel));
        EXPECT_GT(ZOrder(panel->RangePanel), ZOrder(panel->TypeCheck));
        const int pw = panel->RangePanel->Width(), ph = panel->RangePanel->Height();
        const int top = (ph - 24) / 2;
        const int lw = W("起"), fw = W("止");
        const int ew = buttons ? (pw - 2 - lw - 23 - fw - 23 - 8) / 2 : (pw - 2 - lw - fw - 4) / 2;
        EXPECT_EQ(panel->BeginLabel->Caption(), "起");
        EXPECT_EQ(Bounds(panel->BeginLabel), Rect(2, top, lw, t));
        EXPECT_EQ(Bounds(panel->edBegin), Rect(2 + lw + 1, top, ew, 24));
        const int finalLeft = buttons ? 2 + lw + 1 + ew + 2 + 23 + 2 : 2 + lw + 1 + ew + 4;
        if (buttons) {
            EXPECT_EQ(Bounds(panel->BeginButton), Rect(2 + lw + 1 + ew + 2, top, 23, 23));
        }
        EXPECT_EQ(Bounds(panel->FinalLabel), Rect(finalLeft, top, fw, t));
        EXPECT_EQ(Bounds(panel->edFinal), Rect(finalLeft + fw + 2, top, ew, 24));
        EXPECT_EQ(Bounds(panel->FinalButton), Rect(finalLeft + fw + 2 + ew + 2, top, 23, 23));
        EXPECT_EQ(panel->BeginButton->Visible(), buttons);
        EXPECT_EQ(panel->ListButton->Visible(), buttons);
    }
}

TEST_F(Panel, LayoutFollowsAFontChangeAndAResize) {
    TStrings words;
    words.Add("起始日期");
    words.Add("从");
    panel->SetBeginWords(&words);
    const auto expectLayout = [&](int width, int height) {
        const int t = T();
        EXPECT_EQ(t, TextHeight(*panel->BeginLabel->Font()));
        EXPECT_EQ(Bounds(panel->RangePanel), Rect(2, t + 3, width - 5, height - (t + 3) - 3));
        const int lw = W("起始日期");
        EXPECT_EQ(Bounds(panel->BeginLabel).Width(), lw);
        const int pw = panel->RangePanel->Width(), ph = panel->RangePanel->Height();
        const int ew = (pw - 2 - lw - 23 - W("止") - 23 - 8) / 2;
        EXPECT_EQ(Bounds(panel->edBegin), Rect(2 + lw + 1, (ph - 24) / 2, ew, 24));
        EXPECT_EQ(panel->FinalLabel->Left(), 2 + lw + 1 + ew + 2 + 23 + 2);
    };
    panel->Font()->SetHeight(-16);
    expectLayout(353, 45);
    panel->SetBounds(0, 0, 420, 60);
    expectLayout(420, 60);
}

TEST_F(Panel, VerticalLayoutStacksTheEdits) {
    TStrings begin, end;
    begin.Add("起");
    begin.Add("起始值");
    end.Add("止");
    end.Add("截止");
    panel->SetBeginWords(&begin);
    panel->SetFinalWords(&end);
    panel->SetUseVertical(true);
    EXPECT_EQ(panel->Width(), 200);
    EXPECT_EQ(panel->Height(), 105);
    const int t = T();
    EXPECT_EQ(Bounds(panel->RangePanel), Rect(2, t + 3, 200 - 5, 105 - (t + 3) - 3));
    const int pw = panel->RangePanel->Width(), ph = panel->RangePanel->Height();
    const int g = (ph - 24 - 24) / 3;
    const int lw = W("起始值");
    EXPECT_EQ(panel->BeginLabel->Caption(), "起始值");
    EXPECT_EQ(Bounds(panel->BeginLabel), Rect(2, g, lw, t));
    const int ew = pw - 2 - lw - 23 - 4;
    EXPECT_EQ(Bounds(panel->edBegin), Rect(2 + lw + 2, g, ew, 24));
    EXPECT_EQ(Bounds(panel->BeginButton), Rect(2 + lw + 2 + ew + 1, g, 23, 23));
    EXPECT_EQ(panel->FinalLabel->Caption(), "截止");
    EXPECT_EQ(Bounds(panel->FinalLabel), Rect(2, g + g + 24, W("截止"), t));
    EXPECT_EQ(Bounds(panel->edFinal), Rect(2 + lw + 2, g + g + 24, ew, 24));
    EXPECT_EQ(Bounds(panel->FinalButton), Rect(2 + lw + 2 + ew + 1, g + g + 24, 23, 23));
    panel->SetCanOpenWin(false);
    EXPECT_EQ(Bounds(panel->edBegin), Rect(2 + lw + 2, g, pw - 2 - lw - 2, 24));
    panel->SetUseVertical(false);
    EXPECT_EQ(panel->Width(), 353);
    EXPECT_EQ(panel->BeginLabel->Caption(), "起");
}

TEST_F(Panel, VerticalModeOnlyForTheRange) {
    panel->SetStyle(sp_Discrete);
    panel->SetUseVertical(true);
    EXPECT_FALSE(panel->UseVertical());
    EXPECT_EQ(panel->Width(), 200);
}

TEST_F(Panel, ListAndUserChoiceLayouts) {
    panel->SetStyle(sp_Discrete);
    const int t = T();
    EXPECT_EQ(Bounds(panel->ListPanel), Rect(2, t + 3, 200 - 5, 105 - (t + 3) - 3));
    EXPECT_GT(ZOrder(panel->ListPanel), ZOrder(panel->RangePanel));
    const int lw = panel->ListPanel->Width(), lh = panel->ListPanel->Height();
    EXPECT_EQ(Bounds(panel->ListBox), Rect(0, 0, lw - 23 - 3, lh));
    EXPECT_EQ(Bounds(panel->ListButton), Rect(lw - 26 + 2, 0, 23, 23));
    EXPECT_EQ(Bounds(panel->DeleteButton), Rect(lw - 24, 23, 23, 23));
    EXPECT_EQ(Bounds(panel->ClearButton), Rect(lw - 24, 46, 23, 23));

    panel->SetStyle(sp_UserChoice);
    const TFont& f = *panel->TypeCheck->Font();
    const int th = TextHeight(f);
    EXPECT_EQ(Bounds(panel->TypeCheck), Rect(16, t + 1, TextWidth(f, "区间选择") + 24, th + 2));
    const int top = t + 1 + th + 2;
    EXPECT_EQ(Bounds(panel->RangePanel), Rect(2, top, 200 - 4, 105 - top - 2));
    EXPECT_EQ(Bounds(panel->ListPanel), Bounds(panel->RangePanel));
    EXPECT_GT(ZOrder(panel->RangePanel), ZOrder(panel->TypeCheck));
    EXPECT_GT(ZOrder(panel->TypeCheck), ZOrder(panel->ListPanel));
    EXPECT_EQ(panel->BeginLabel->Caption(), "起");  // vertical: entry 1
    const int g = (panel->RangePanel->Height() - 48) / 3;
    EXPECT_EQ(panel->edBegin->Top(), g);
}

TEST_F(Panel, UserChoiceSwitchesBetweenRangeAndList) {
    int clicks = 0;
    panel->OnTypeClick = TNotifyEvent::Lambda([&](TObject* s) {
        EXPECT_EQ(s, panel);
        ++clicks;
    });
    panel->SetUserChoice(false);  // sp_Range: nothing
    EXPECT_TRUE(panel->UserChoice());
    EXPECT_TRUE(panel->TypeCheck->Checked());
    EXPECT_EQ(clicks, 0);
    panel->SetStyle(sp_UserChoice);
    panel->SetUserChoice(false);
    EXPECT_FALSE(panel->UserChoice());
    EXPECT_FALSE(panel->TypeCheck->Checked());
    EXPECT_FALSE(panel->IsRangeActive());
    EXPECT_TRUE(panel->ListPanel->Visible());
    EXPECT_FALSE(panel->RangePanel->Visible());
    EXPECT_GT(ZOrder(panel->ListPanel), ZOrder(panel->RangePanel));
    EXPECT_EQ(clicks, 1);
    panel->TypeCheck->Click();  // the user ticks the box
    EXPECT_TRUE(panel->UserChoice());
    EXPECT_TRUE(panel->IsRangeActive());
    EXPECT_TRUE(panel->RangePanel->Visible());
    EXPECT_GT(ZOrder(panel->RangePanel), ZOrder(panel->ListPanel));
    EXPECT_EQ(clicks, 2);
    SetEnumProp(panel, "UserChoice", "False");
    EXPECT_EQ(panel->ValueText(), "sp_UserChoice\x03" "False\x03");
}

TEST_F(Panel, WordsKeepTwoEntriesAndLayOutOnChange) {
    TStrings words;
    for (const char* w : {"自", "从", "由"}) words.Add(w);
    panel->SetBeginWords(&words);
    EXPECT_EQ(panel->BeginWords()->ToVector(), (std::vector<std::string>{"自", "从"}));
    EXPECT_EQ(panel->BeginLabel->Caption(), "自");
    panel->BeginWords()->Put(0, "开始于");
    EXPECT_EQ(panel->BeginLabel->Caption(), "开始于");
    EXPECT_EQ(panel->BeginLabel->Width(), W("开始于"));
    EXPECT_EQ(panel->edBegin->Left(), 2 + W("开始于") + 1);
    panel->FinalWords()->Delete(1);  // one entry left: no layout
    panel->FinalWords()->Put(0, "到");
    EXPECT_EQ(panel->FinalLabel->Caption(), "止");
    TStrings one;
    one.Add("至");
    panel->SetFinalWords(&one);
    EXPECT_EQ(panel->FinalLabel->Caption(), "至");
    panel->SetUseVertical(true);
    EXPECT_EQ(panel->FinalLabel->Caption(), "至");  // the vertical layout falls back to entry 0
}

TEST_F(Panel, GlyphIndexGoesToTheThreeLookupButtons) {
    panel->SetGlyphIndex(9);
    EXPECT_EQ(panel->GlyphIndex(), 9);
    for (TGSpeedButton* b : {static_cast<TGSpeedButton*>(panel->BeginButton), static_cast<TGSpeedButton*>(panel->FinalButton),
                             static_cast<TGSpeedButton*>(panel->ListButton)}) {
        EXPECT_EQ(b->GlyphIndex(), 9) << b->Name();
        EXPECT_EQ(b->Caption(), "9");  // no glyph in this library: the number shows
    }
    EXPECT_EQ(panel->DeleteButton->GlyphIndex(), 47);
}

TEST_F(Panel, MaskKeepsTheTextAndRecordsTheBlankText) {
    int changes = 0;
    panel->edBegin->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
    panel->edBegin->SetText("2005");
    changes = 0;
    panel->SetEditMask("!9999/99/99;1;_");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(panel->EditMask(), "!9999/99/99;1;_");
    EXPECT_EQ(panel->edBegin->EditMask(), "!9999/99/99;1;_");
    EXPECT_EQ(panel->edFinal->EditMask(), "!9999/99/99;1;_");
    EXPECT_FALSE(panel->edBegin->SuppressChange());
    TMaskEdit* same = new TMaskEdit(nullptr);
    same->SetEditMask("!9999/99/99;1;_");
    same->SetText("");
    EXPECT_EQ(panel->BlankText(), same->Text());
    EXPECT_EQ(panel->RangeRules().BlankText, same->Text());
    EXPECT_EQ(panel->RangeRules().EditMask, "!9999/99/99;1;_");
    same->SetText("2005");
    EXPECT_EQ(panel->edBegin->Text(), same->Text());
    same->Free();
    panel->edBegin->SetText("2006");
    EXPECT_EQ(changes, 1);
}

TEST_F(Panel, ADiscardedBeginIsNeverMoved) {
    panel->SetUseDiscard(true);
    panel->SetDiscard("*");
    panel->edBegin->SetText("*");
    panel->edFinal->SetText("!");  // "!" sorts before "*": it would be exchanged
    panel->OrderRangeTexts();
    EXPECT_EQ(panel->edBegin->Text(), "*");
    panel->SetUseDiscard(false);
    panel->OrderRangeTexts();
    EXPECT_EQ(panel->edBegin->Text(), "!");
    EXPECT_EQ(panel->edFinal->Text(), "*");
}

TEST_F(Panel, AddRowMakesColumnsAndSizesThem) {
    TVelListView* list = panel->ListBox;
    EXPECT_FALSE(list->AddRow({}));
    ASSERT_TRUE(list->AddRow({"001", "张三", "经理"}));
    EXPECT_EQ(ColumnNames(list), (std::vector<std::string>{"Data1", "Data2", "Data3"}));
    ASSERT_TRUE(list->AddRow({"0002"}));
    EXPECT_EQ(ItemsOf(list), (Rows{{"001", "张三", "经理"}, {"0002", "", ""}}));
    const int w = TextWidth(*list->Font(), "W");
    EXPECT_EQ(list->Column(0)->Width(), w * 5);  // "Data1" is longer than the cells
    EXPECT_EQ(list->Column(1)->Width(), w * 5);
    ASSERT_TRUE(list->AddRow({"x", "上海市浦东新区"}));
    EXPECT_EQ(list->Column(1)->Width(), w * 14);
    panel->SetColumnsAutoSize(false);
    ASSERT_TRUE(list->AddRow({"y", "一二三四五六七八九十"}));
    EXPECT_EQ(list->Column(1)->Width(), w * 14);
}

TEST_F(Panel, ColumnCaptionsReplaceTheColumns) {
    TStrings captions;
    captions.Add("代码");
    captions.Add("名称");
    panel->SetColumnCaptions(&captions);
    EXPECT_EQ(ColumnNames(panel->ListBox), (std::vector<std::string>{"代码", "名称"}));
    EXPECT_EQ(panel->ColumnCaptions()->ToVector(), (std::vector<std::string>{"代码", "名称"}));
    panel->ListBox->AddRow({"1", "a", "b"});
    EXPECT_EQ(panel->ColumnCaptions()->ToVector(), (std::vector<std::string>{"代码", "名称", "Data3"}));
    panel->ColumnCaptions()->Delete(2);  // changing the list read makes the columns again
    EXPECT_EQ(ColumnNames(panel->ListBox), (std::vector<std::string>{"代码", "名称"}));
    EXPECT_EQ(panel->Columns(), panel->ListBox->Columns());
    EXPECT_EQ(panel->Items(), panel->ListBox->Items());
}

TEST_F(Panel, CheckDuplicateSortsAndCleansTheActiveList) {
    TVelListView* list = panel->ListBox;
    panel->SetStyle(sp_Discrete);
    for (const char* c : {"b", "ABC", "a", "abc", "B"}) list->AddRow({c});
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"b", "ABC", "a", "abc", "B"}));
    panel->SetCheckDuplicate(cd_CaseInsensitive);
    EXPECT_TRUE(panel->SortListBox());
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"a", "ABC", "b"}));
    list->AddRow({"Abc"});
    list->AddRow({"c"});
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"a", "ABC", "b", "c"}));
    EXPECT_EQ(ItemsOf(list), RowsOf(list->Rows()));
}

TEST_F(Panel, CheckDuplicateWaitsWhileTheRangeIsChosen) {
    TVelListView* list = panel->ListBox;
    for (const char* c : {"b", "B"}) list->AddRow({c});
    panel->SetCheckDuplicate(cd_CaseInsensitive);
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"b", "B"}));  // sorted, not cleaned
    list->AddRow({"a"});  // the next row runs the check
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"a", "b"}));
}

TEST_F(Panel, HeaderClicksSortByTheirColumn) {
    TVelListView* list = panel->ListBox;
    for (const Rows::value_type& r : Rows{{"b", "2"}, {"a", "3"}, {"c", "1"}}) list->AddRow(r);
    list->ClickColumn(1);  // headers hidden: no click
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"b", "a", "c"}));
    panel->SetShowColumnHeader(true);
    list->ClickColumn(1);
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"c", "b", "a"}));
    EXPECT_EQ(panel->SortColumn(), 1);
    EXPECT_TRUE(panel->SortAscending());
    list->ClickColumn(1);
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_FALSE(panel->SortAscending());
    list->ClickColumn(0);
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(panel->SortAscending());
    EXPECT_FALSE(panel->SortListBox());  // sorted once, not kept sorted
    list->AddRow({"0"});
    EXPECT_EQ(list->Items()->Item(3)->Caption(), "0");
}

TEST_F(Panel, SortingKeepsTheSelectionWithItsRows) {
    TVelListView* list = panel->ListBox;
    for (const char* c : {"c", "a", "b"}) list->AddRow({c});
    list->Items()->Item(0)->SetSelected(true);  // "c"
    panel->SetSortListBox(true);
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(list->Items()->Item(2)->Selected());
    EXPECT_FALSE(list->Items()->Item(0)->Selected());
}

TEST_F(Panel, ValueTextRoundTripsThroughThePanel) {
    const std::string cases[] = {
        "sp_Range\x03" "A01\x03" "B99",
        "sp_Discrete\x03" "A\x01x\x04" "B\x01y\x04",
        "sp_Discrete\x03",
        "sp_UserChoice\x03True\x03" "1\x03" "9",
        "sp_UserChoice\x03" "False\x03" "K\x01" "k\x04",
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text);
        ASSERT_TRUE(panel->SetValueText(text));
        EXPECT_EQ(panel->ValueText(), text);
    }
    EXPECT_FALSE(panel->SetValueText("sp_Nothing\x03" "1"));
    EXPECT_EQ(panel->Style(), sp_UserChoice);
    ASSERT_TRUE(panel->SetValueText("sp_Discrete\x03" "A\x04" "B\x01" "b\x01" "c\x04" "C\x01" "d\x04"));
    EXPECT_EQ(ColumnNames(panel->ListBox), (std::vector<std::string>{"Data1", "Data2", "Data3"}));
    EXPECT_EQ(ItemsOf(panel->ListBox), (Rows{{"A", "", ""}, {"B", "b", "c"}, {"C", "d", ""}}));
    EXPECT_EQ(panel->ValueText(), "sp_Discrete\x03" "A\x01\x01\x04" "B\x01" "b\x01" "c\x04" "C\x01" "d\x01\x04");
}

TEST_F(Panel, LoadingAListTextSortsAndChecksAsAddingDoes) {
    panel->SetStyle(sp_Discrete);
    panel->SetCheckDuplicate(cd_CaseInsensitive);
    ASSERT_TRUE(panel->SetValueText("sp_Discrete\x03" "b\x04" "A\x04" "a\x04" "B\x01" "x\x04"));
    EXPECT_EQ(ItemsOf(panel->ListBox), (Rows{{"A", ""}, {"b", ""}}));
    EXPECT_EQ(panel->ValueText(), "sp_Discrete\x03" "A\x01\x04" "b\x01\x04");
}

TEST_F(Panel, TheListResynchronisesAfterDirectChanges) {
    TVelListView* list = panel->ListBox;
    list->AddRow({"a", "1"});
    list->AddRow({"b", "2"});
    list->Items()->Delete(0);  // behind the rows' back
    EXPECT_EQ(list->ListText(), "b\x01" "2\x04");
    list->AddRow({"c", "3"});
    EXPECT_EQ(ItemsOf(list), (Rows{{"b", "2"}, {"c", "3"}}));
}

TEST_F(Panel, EnabledReachesEveryInnerControl) {
    panel->SetEnabled(false);
    EXPECT_FALSE(panel->Enabled());
    EXPECT_FALSE(panel->EnabledSet());
    for (TControl* c : std::initializer_list<TControl*>{panel->TypeCheck, panel->RangePanel, panel->BeginLabel, panel->edBegin,
                                                       panel->BeginButton, panel->FinalLabel, panel->edFinal, panel->FinalButton,
                                                       panel->ListPanel, panel->ListBox, panel->ListButton, panel->DeleteButton,
                                                       panel->ClearButton}) {
        EXPECT_FALSE(c->Enabled()) << c->Name();
    }
    SetOrdProp(panel, "Enabled", 1);
    EXPECT_TRUE(panel->edFinal->Enabled());
}

TEST_F(Panel, SuppressChangeSilencesTheEdit) {
    int changes = 0;
    panel->edFinal->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
    panel->edFinal->SetSuppressChange(true);
    panel->edFinal->SetText("a");
    EXPECT_EQ(changes, 0);
    panel->edFinal->SetSuppressChange(false);
    panel->edFinal->SetText("b");
    EXPECT_EQ(changes, 1);
}

TEST_F(Panel, AListOffAFormTakesNoLeftPress) {
    int downs = 0, ups = 0;
    panel->OnMouseDown = TMouseEvent::Lambda([&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; });
    panel->OnMouseUp = TMouseEvent::Lambda([&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; });
    panel->ListBox->Perform(WM_LBUTTONDOWN, 0, MousePos(5, 5));
    EXPECT_EQ(downs, 0);  // it cannot take the focus
    panel->ListBox->Perform(WM_LBUTTONUP, 0, MousePos(5, 5));
    EXPECT_EQ(ups, 1);
}

// ---- On a form -----------------------------------------------------------------------------------

TEST_F(PanelOnForm, LookupButtonsAskTheOwnerForm) {
    std::vector<std::string> opened;
    panel->OnOpenWinClick = TOpenWinClickEvent::Lambda([&](TObject* parent, TObject* sender) {
        opened.push_back(Name(parent) + ":" + Name(sender) + (form->ActiveControl() == sender ? " focused" : ""));
    });
    panel->BeginButton->Click();
    panel->FinalButton->Click();
    ASSERT_EQ(form->lookups.size(), 2u);
    EXPECT_EQ(form->lookups[0], (std::pair<intptr_t, intptr_t>{0, reinterpret_cast<intptr_t>(static_cast<TWinControl*>(panel->edBegin))}));
    EXPECT_EQ(form->lookups[1].second, reinterpret_cast<intptr_t>(static_cast<TWinControl*>(panel->edFinal)));
    panel->SetStyle(sp_Discrete);
    panel->ListButton->Click();
    ASSERT_EQ(form->lookups.size(), 3u);
    EXPECT_EQ(form->lookups[2].second, reinterpret_cast<intptr_t>(static_cast<TWinControl*>(panel->ListBox)));
    EXPECT_EQ(opened, (std::vector<std::string>{"panel:edBegin focused", "panel:edFinal focused", "panel:ListBox focused"}));
}

TEST_F(PanelOnForm, LeavingThePanelOrdersTheRangeBeforeOnExit) {
    panel->SetValueType(vt_Number);
    std::string atExit;
    panel->OnExit = TNotifyEvent::Lambda([&](TObject* s) { atExit = Name(s) + " " + panel->edBegin->Text() + "-" + panel->edFinal->Text(); });
    panel->edBegin->SetFocus();
    panel->edBegin->SetText("20");
    panel->edFinal->SetText("3");
    panel->edFinal->SetFocus();  // within the panel: nothing yet
    EXPECT_EQ(atExit, "");
    other->SetFocus();
    EXPECT_EQ(atExit, "panel 3-20");
    panel->SetValueType(vt_String);
    panel->edBegin->SetFocus();
    panel->edBegin->SetText("20");
    panel->edFinal->SetText("3");
    other->SetFocus();
    EXPECT_EQ(atExit, "panel 20-3");  // "20" comes before "3" byte by byte
}

TEST_F(PanelOnForm, DeleteAsksFirstAndClearEmptiesTheList) {
    panel->SetStyle(sp_Discrete);
    TVelListView* list = panel->ListBox;
    for (const char* c : {"a", "b", "c", "d"}) list->AddRow({c});
    list->Items()->Item(1)->SetSelected(true);
    list->Items()->Item(2)->SetSelected(true);
    bool accept = false;
    std::vector<std::string> seen;
    panel->OnDeleteClick = TDeleteClickEvent::Lambda([&](TObject* s, bool& a) {
        seen.push_back("delete " + Name(s));
        a = accept;
    });
    panel->OnClearClick = TNotifyEvent::Lambda([&](TObject* s) { seen.push_back("clear " + Name(s) + " " + std::to_string(list->Items()->Count())); });
    panel->DeleteButton->Click();
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"a", "b", "c", "d"}));
    accept = true;
    panel->DeleteButton->Click();
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"a", "d"}));
    EXPECT_EQ(list->ListText(), "a\x04" "d\x04");
    panel->ClearButton->Click();
    EXPECT_EQ(list->Items()->Count(), 0);
    EXPECT_EQ(form->ActiveControl(), list);
    EXPECT_EQ(seen, (std::vector<std::string>{"delete DeleteButton", "delete DeleteButton", "clear ClearButton 0"}));
}

TEST_F(PanelOnForm, FocusGoesToTheListWhenTheListIsChosen) {
    panel->SetStyle(sp_Discrete);
    other->SetFocus();
    panel->SetFocus();
    EXPECT_EQ(form->ActiveControl(), panel->ListBox);
}

TEST_F(PanelOnForm, ClicksComeFromTheEditsAndTheListOrFromThePanel) {
    panel->OnClick = TNotifyEvent::Lambda([&](TObject* s) { log.push_back("click " + Name(s)); });
    panel->OnDblClick = TNotifyEvent::Lambda([&](TObject* s) { log.push_back("dbl " + Name(s)); });
    panel->BeginLabel->Click();
    panel->edBegin->Click();
    panel->RangePanel->Click();
    panel->ListBox->Click();
    panel->FinalLabel->DblClick();
    panel->edFinal->DblClick();
    panel->TypeCheck->DblClick();
    panel->BeginButton->DblClick();  // buttons keep their double clicks
    EXPECT_EQ(log, (std::vector<std::string>{"click panel", "click edBegin", "click panel", "click ListBox", "dbl panel",
                                             "dbl edFinal", "dbl panel"}));
}

TEST_F(PanelOnForm, MouseEventsKeepOrTranslateTheirCoordinates) {
    panel->OnMouseDown = TMouseEvent::Lambda([&](TObject* s, TMouseButton, TShiftState, int x, int y) {
        log.push_back("down " + Name(s) + " " + std::to_string(x) + "," + std::to_string(y));
    });
    panel->OnMouseUp = TMouseEvent::Lambda([&](TObject* s, TMouseButton, TShiftState, int x, int y) {
        log.push_back("up " + Name(s) + " " + std::to_string(x) + "," + std::to_string(y));
    });
    panel->BeginLabel->Perform(WM_LBUTTONDOWN, 0, MousePos(3, 4));
    panel->edBegin->Perform(WM_LBUTTONDOWN, 0, MousePos(3, 4));
    panel->FinalButton->Perform(WM_LBUTTONUP, 0, MousePos(1, 2));
    const TControl* rp = panel->RangePanel;
    const TControl* bl = panel->BeginLabel;
    const TControl* fb = panel->FinalButton;
    EXPECT_EQ(log, (std::vector<std::string>{
                       "down panel " + std::to_string(3 + bl->Left() + rp->Left()) + "," + std::to_string(4 + bl->Top() + rp->Top()),
                       "down edBegin 3,4",
                       "up panel " + std::to_string(1 + fb->Left() + rp->Left()) + "," + std::to_string(2 + fb->Top() + rp->Top())}));
    log.clear();
    panel->SetStyle(sp_Discrete);
    panel->ListBox->Perform(WM_LBUTTONDOWN, 0, MousePos(7, 8));  // the list takes the focus first
    EXPECT_EQ(form->ActiveControl(), panel->ListBox);
    panel->DeleteButton->Perform(WM_LBUTTONDOWN, 0, MousePos(0, 0));
    const TControl* lp = panel->ListPanel;
    const TControl* db = panel->DeleteButton;
    EXPECT_EQ(log, (std::vector<std::string>{
                       "down ListBox 7,8", "down panel " + std::to_string(db->Left() + lp->Left()) + "," + std::to_string(db->Top() + lp->Top())}));
}

TEST_F(PanelOnForm, KeysComeFromTheInnerControl) {
    panel->OnKeyDown = TKeyEvent::Lambda([&](TObject* s, uint16_t& key, TShiftState) {
        log.push_back("down " + Name(s) + " " + std::to_string(key));
        if (key == VK_F3) key = 0;
    });
    panel->OnKeyPress = TKeyPressEvent::Lambda([&](TObject* s, char& c) { log.push_back(std::string("press ") + Name(s) + " " + c); });
    panel->OnKeyUp = TKeyEvent::Lambda([&](TObject* s, uint16_t& key, TShiftState) { log.push_back("up " + Name(s) + " " + std::to_string(key)); });
    panel->edBegin->SetFocus();
    panel->edBegin->SendKey('A', 0, 'a');
    uint16_t f3 = VK_F3;
    panel->edFinal->KeyDown(f3, 0);
    EXPECT_EQ(f3, 0);  // the panel's handler consumed it
    panel->SetStyle(sp_UserChoice);
    panel->TypeCheck->SendKey(VK_SPACE);
    EXPECT_EQ(log, (std::vector<std::string>{"down edBegin 65", "press edBegin a", "up edBegin 65", "down edFinal 114",
                                             "down TypeCheck 32", "up TypeCheck 32"}));
}

TEST_F(PanelOnForm, ListEventsCarryTheRow) {
    panel->SetStyle(sp_Discrete);
    TVelListView* list = panel->ListBox;
    for (const char* c : {"a", "b"}) list->AddRow({c});
    panel->OnItemSelect = TItemSelectEvent::Lambda([&](TObject* s, TListItem* item, int index, bool selected) {
        log.push_back("select " + Name(s) + " " + item->Caption() + " " + std::to_string(index) + (selected ? " on" : " off"));
    });
    panel->OnItemChanging = TLVChangingEvent::Lambda([&](TObject*, TListItem* item, TItemChange, bool&) { log.push_back("changing " + item->Caption()); });
    panel->OnItemChange = TLVChangeEvent::Lambda([&](TObject*, TListItem* item, TItemChange) { log.push_back("change " + item->Caption()); });
    list->SelectItem(1);
    EXPECT_EQ(log, (std::vector<std::string>{"changing b", "change b", "select ListBox b 1 on"}));
}
