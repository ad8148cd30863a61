// Variants as JSON and back: parameter packages come from scripts as JSON, and what the
// controller answers (form information, results) is written as JSON.
#pragma once

#include "Json.h"
#include "platform/rtl/Variants.h"

namespace launcher {

// JSON to a variant: null is Null, Booleans, integers and reals keep their kind, strings become
// byte strings (UTF-8), arrays become variant arrays with bounds 0..n-1. An object has no
// variant form and raises JsonError.
rtl::Variant JsonToVariant(const Json& json);

// A variant as JSON: empty and Null are null; wide and byte strings are strings; a date is its
// text "YYYY-MM-DDThh:mm:ss" (".zzz" added when it has milliseconds); a late-bound object is
// the string "(object)"; an array lists its elements from the low bound up, and a
// two-dimensional array is a list of its rows (first index).
Json VariantToJson(const rtl::Variant& v);

}  // namespace launcher
