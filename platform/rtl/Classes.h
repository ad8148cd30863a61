// String lists with the class library's name=value conventions.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace rtl {

class TStringList {
public:
    TStringList() = default;

    int Count() const noexcept { return static_cast<int>(items_.size()); }
    const std::string& operator[](int i) const;  // raises EListError out of range
    const std::string& Strings(int i) const { return (*this)[i]; }
    void Put(int i, std::string s);
    void* Objects(int i) const;
    void PutObject(int i, void* o);

    int Add(std::string s, void* object = nullptr);
    void Insert(int i, std::string s, void* object = nullptr);
    void Delete(int i);
    void Clear() noexcept { items_.clear(); }
    void Assign(const TStringList& other) { items_ = other.items_; }

    // Lookups compare without regard to case unless CaseSensitive is set.
    bool CaseSensitive = false;
    int IndexOf(std::string_view s) const;
    int IndexOfName(std::string_view name) const;

    // "name=value" lines.
    std::string Names(int i) const;
    std::string ValueFromIndex(int i) const;
    std::string Values(std::string_view name) const;
    void SetValue(std::string_view name, std::string_view value);  // an empty value deletes the line

    // All lines, each followed by a line feed; setting splits at CR LF, LF or CR.
    std::string Text() const;
    void SetText(std::string_view text);
    // Lines joined by a separator, without one after the last.
    std::string Join(std::string_view separator) const;

    void Sort();  // by the list's comparison
    void CustomSort(const std::function<int(const TStringList&, int, int)>& compare);

    std::vector<std::string> ToVector() const;

private:
    struct Item {
        std::string s;
        void* object = nullptr;
    };
    int Compare(std::string_view a, std::string_view b) const;
    std::vector<Item> items_;
};

}  // namespace rtl
