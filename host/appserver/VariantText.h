// Variants as text and back, without loss: how the application server stores job payloads.
//
// The text is JSON, so that the database's JSON functions and a person can read it:
//
//   Null                 null
//   Boolean              true / false
//   Integer              a number without fraction or exponent: 42, -7
//   Double               a number with a fraction or an exponent: 1.5, 2.0, 1e+300;
//                        {"real":"inf"}, {"real":"-inf"}, {"real":"nan"} for the values JSON lacks
//   byte string          a string ("abc") when it is valid UTF-8, else {"bytes":"<hex>"}
//   wide string          {"wide":"..."}; a lone surrogate is written as its \uXXXX escape
//   Date                 {"date":"2024-03-15 10:20:30.000","serial":45366.43090277778}
//                        (serial is the TDateTime itself and wins; the text is for people)
//   Empty                {"empty":true}
//   array, bounds 0..n   [item, item, ...]
//   any other array      {"bounds":[low,high],"items":[...]}, or for two dimensions
//                        {"bounds":[low1,high1,low2,high2],"items":[...]} with the items of the
//                        first row (first index) first
//
// A late-bound object has no text form. Numbers are written in their shortest form that reads
// back to the same value.
#pragma once

#include <string>
#include <string_view>

#include "platform/rtl/Variants.h"

namespace appserver {

class EVariantText : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    const char* ClassName() const noexcept override { return "EVariantText"; }
};

// Raises EVariantText for a value holding a late-bound object.
std::string VariantToText(const rtl::Variant& v);

// Raises EVariantText, naming the position, for a text that is not one of the forms above.
rtl::Variant TextToVariant(std::string_view text);

// "YYYY-MM-DD HH:NN:SS.ZZZ", the form of every time the server stores; empty for a value
// outside the calendar. Written without the process's date settings, which the module changes.
std::string TimestampText(rtl::TDateTime dt);

}  // namespace appserver
