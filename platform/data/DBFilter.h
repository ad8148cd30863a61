// Inside the dataset engine: filter expressions and the value comparison that indexes, filters
// and searches share. Not for use outside platform/data.
#pragma once

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "DB.h"

namespace data::detail {

enum class ValueKind { Text, Integer, Boolean, Float, DateTime, None };
ValueKind KindOf(TFieldType type);

// Three-way comparison of stored values: null before everything, texts by their bytes (or with
// letters folded when caseInsensitive), numbers and dates by value, False before True.
int CompareFieldValues(const rtl::Variant& a, const rtl::Variant& b, bool caseInsensitive);

struct FilterField {
    int slot;
    TFieldType type;
};
using FieldResolver = std::function<FilterField(std::string_view name)>;

// A parsed filter. Grammar (keywords in any case):
//   expr       := term { OR term }
//   term       := factor { AND factor }
//   factor     := NOT factor | "(" expr ")" | comparison
//   comparison := operand op operand | operand IS [NOT] NULL
//   op         := "=" | "<>" | "!=" | "<" | ">" | "<=" | ">="
//   operand    := field | [field name] | 'text' ('' inside for ') | number | NULL
// A null field matches only "= NULL" / "IS NULL" (and their negations). A text constant ending
// in "*" compared with "=" or "<>" matches by prefix unless foNoPartialCompare is set.
class FilterExpression {
public:
    // Raises EDatabaseError (without a dataset name) for a malformed expression; field names
    // are resolved through `resolve`, which raises for an unknown name.
    FilterExpression(std::string_view text, const FieldResolver& resolve);
    ~FilterExpression();
    FilterExpression(const FilterExpression&) = delete;
    FilterExpression& operator=(const FilterExpression&) = delete;

    bool Matches(const std::vector<rtl::Variant>& values, TFilterOptions options) const;

    struct Node;

private:
    std::unique_ptr<Node> root_;
};

}  // namespace data::detail
