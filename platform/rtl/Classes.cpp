#include "Classes.h"

#include <algorithm>

#include "SysUtils.h"
#include "Variants.h"

namespace rtl {

namespace {
[[noreturn]] void IndexError(int i) { throw EListError(Format("List index out of bounds (%d)", {i})); }
}  // namespace

const std::string& TStringList::operator[](int i) const {
    if (i < 0 || i >= Count()) IndexError(i);
    return items_[static_cast<size_t>(i)].s;
}

void TStringList::Put(int i, std::string s) {
    if (i < 0 || i >= Count()) IndexError(i);
    items_[static_cast<size_t>(i)].s = std::move(s);
}

void* TStringList::Objects(int i) const {
    if (i < 0 || i >= Count()) IndexError(i);
    return items_[static_cast<size_t>(i)].object;
}

void TStringList::PutObject(int i, void* o) {
    if (i < 0 || i >= Count()) IndexError(i);
    items_[static_cast<size_t>(i)].object = o;
}

int TStringList::Add(std::string s, void* object) {
    items_.push_back(Item{std::move(s), object});
    return Count() - 1;
}

void TStringList::Insert(int i, std::string s, void* object) {
    if (i < 0 || i > Count()) IndexError(i);
    items_.insert(items_.begin() + i, Item{std::move(s), object});
}

void TStringList::Delete(int i) {
    if (i < 0 || i >= Count()) IndexError(i);
    items_.erase(items_.begin() + i);
}

int TStringList::Compare(std::string_view a, std::string_view b) const {
    if (CaseSensitive) return a < b ? -1 : (a == b ? 0 : 1);
    return CompareText(a, b);
}

int TStringList::IndexOf(std::string_view s) const {
    for (int i = 0; i < Count(); ++i) {
        if (Compare(items_[static_cast<size_t>(i)].s, s) == 0) return i;
    }
    return -1;
}

std::string TStringList::Names(int i) const {
    const std::string& s = (*this)[i];
    const size_t p = s.find('=');
    return p == std::string::npos ? std::string() : s.substr(0, p);
}

std::string TStringList::ValueFromIndex(int i) const {
    const std::string& s = (*this)[i];
    const size_t p = s.find('=');
    return p == std::string::npos ? std::string() : s.substr(p + 1);
}

int TStringList::IndexOfName(std::string_view name) const {
    for (int i = 0; i < Count(); ++i) {
        const std::string& s = items_[static_cast<size_t>(i)].s;
        const size_t p = s.find('=');
        if (p != std::string::npos && Compare(std::string_view(s).substr(0, p), name) == 0) return i;
    }
    return -1;
}

std::string TStringList::Values(std::string_view name) const {
    const int i = IndexOfName(name);
    return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStringList::SetValue(std::string_view name, std::string_view value) {
    const int i = IndexOfName(name);
    if (value.empty()) {
        if (i >= 0) Delete(i);
        return;
    }
    std::string line = std::string(name) + "=" + std::string(value);
    if (i < 0) {
        Add(std::move(line));
    } else {
        Put(i, std::move(line));
    }
}

std::string TStringList::Text() const {
    std::string r;
    for (const Item& it : items_) r.append(it.s).push_back('\n');
    return r;
}

void TStringList::SetText(std::string_view text) {
    items_.clear();
    size_t i = 0;
    while (i < text.size()) {
        size_t e = i;
        while (e < text.size() && text[e] != '\r' && text[e] != '\n') ++e;
        items_.push_back(Item{std::string(text.substr(i, e - i)), nullptr});
        if (e < text.size() && text[e] == '\r') ++e;
        if (e < text.size() && text[e] == '\n') ++e;
        i = e;
    }
}

std::string TStringList::Join(std::string_view separator) const {
    std::string r;
    for (size_t i = 0; i < items_.size(); ++i) {
        if (i) r.append(separator);
        r.append(items_[i].s);
    }
    return r;
}

void TStringList::Sort() {
    std::stable_sort(items_.begin(), items_.end(), [this](const Item& a, const Item& b) { return Compare(a.s, b.s) < 0; });
}

void TStringList::CustomSort(const std::function<int(const TStringList&, int, int)>& compare) {
    // Sort an index permutation so that the comparison sees the list as it stands.
    std::vector<int> order(items_.size());
    for (size_t k = 0; k < order.size(); ++k) order[k] = static_cast<int>(k);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(*this, a, b) < 0; });
    std::vector<Item> sorted;
    sorted.reserve(items_.size());
    for (int k : order) sorted.push_back(std::move(items_[static_cast<size_t>(k)]));
    items_ = std::move(sorted);
}

std::vector<std::string> TStringList::ToVector() const {
    std::vector<std::string> r;
    r.reserve(items_.size());
    for (const Item& it : items_) r.push_back(it.s);
    return r;
}

}  // namespace rtl
