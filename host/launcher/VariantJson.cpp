#include "VariantJson.h"

#include <cmath>
#include <cstdio>

#include "platform/rtl/CodePages.h"

namespace launcher {

rtl::Variant JsonToVariant(const Json& json) {
    switch (json.GetKind()) {
        case Json::Kind::Null: return rtl::Variant::Null();
        case Json::Kind::Bool: return rtl::Variant(json.AsBool());
        case Json::Kind::Int: return rtl::Variant(static_cast<long long>(json.AsInt()));
        case Json::Kind::Real: return rtl::Variant(json.AsReal());
        case Json::Kind::String: return rtl::Variant(json.AsString());
        case Json::Kind::Array: {
            std::vector<rtl::Variant> items;
            items.reserve(json.Items().size());
            for (const Json& item : json.Items()) items.push_back(JsonToVariant(item));
            return rtl::VarArrayOf(std::move(items));
        }
        case Json::Kind::Object: break;
    }
    throw JsonError("JSON: an object has no variant form (use arrays)", 0);
}

namespace {

std::string DateText(rtl::TDateTime dt) {
    const rtl::DateParts d = rtl::DecodeDate(dt);
    const rtl::TimeParts t = rtl::DecodeTime(dt);
    char buf[48];
    if (t.msec) {
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", d.year, d.month, d.day, t.hour, t.minute,
                      t.second, t.msec);
    } else {
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", d.year, d.month, d.day, t.hour, t.minute, t.second);
    }
    return buf;
}

}  // namespace

Json VariantToJson(const rtl::Variant& v) {
    switch (v.Type()) {
        case rtl::VarType::Empty:
        case rtl::VarType::Null: return Json();
        case rtl::VarType::Boolean: return Json(v.Bool());
        case rtl::VarType::Integer: return Json(v.Int());
        case rtl::VarType::Double: return Json(v.Dbl());
        case rtl::VarType::Date: return Json(DateText(v.DateValue()));
        case rtl::VarType::OleStr: return Json(rtl::WideToUtf8Lenient(v.Wide()));
        case rtl::VarType::String: return Json(v.Bytes());
        case rtl::VarType::Dispatch: return Json("(object)");
        case rtl::VarType::Array: {
            const rtl::VarArray& a = v.Arr();
            Json out = Json::Array();
            if (a.DimCount() == 2) {
                for (int i = a.LowBound(1); i <= a.HighBound(1); ++i) {
                    Json row = Json::Array();
                    for (int j = a.LowBound(2); j <= a.HighBound(2); ++j) row.Push(VariantToJson(a.At(i, j)));
                    out.Push(std::move(row));
                }
            } else {
                for (const rtl::Variant& item : a.Items()) out.Push(VariantToJson(item));
            }
            return out;
        }
    }
    return Json();
}

}  // namespace launcher
