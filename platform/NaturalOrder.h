#pragma once

// The order in which names are listed: the user's locale, case ignored, digits by value
// ("Seite 2" before "Seite 10"), as Linux file managers show a folder. The Name column sorts
// by it, and the folder scan hands on each folder's entries in it.

#include <string>
#include <string_view>

struct UCollator;

class NaturalOrder {
public:
    NaturalOrder();
    ~NaturalOrder();
    NaturalOrder(const NaturalOrder&) = delete;
    NaturalOrder& operator=(const NaturalOrder&) = delete;

    // Negative, 0 or positive.
    int compare(std::string_view a, std::string_view b) const;

    // Appends the sort key of text to keys; the byte order of keys is this order.
    void appendKey(std::string_view text, std::string& keys) const;

    // The sort key of text alone.
    std::string key(std::string_view text) const {
        std::string k;
        appendKey(text, k);
        return k;
    }

private:
    UCollator* collator_ = nullptr;
};
