// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cups/cups.h>

#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

// The text of an attribute's first value; empty when it has none or holds no text.
inline std::string IppText(ipp_attribute_t* attr) {
    const char* text = ippGetString(attr, 0, nullptr);
    return text ? text : "";
}

// The words of a list attribute, without "none" and empty words.
inline std::vector<std::string> IppWords(ipp_attribute_t* attr) {
    std::vector<std::string> words;
    for (int i = 0; i < ippGetCount(attr); ++i) {
        const char* word = ippGetString(attr, i, nullptr);
        if (word && *word && std::string_view(word) != "none")
            words.emplace_back(word);
    }
    return words;
}

}  // namespace tavrin
