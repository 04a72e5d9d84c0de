#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace tavrin {

// Every failure that reaches the user is an Error carrying the text to show. The window's
// top-level handler shows it in a message box; tavrin-cli prints it on stderr.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Puts `arg` in place of the first "%s" or "%d" of `pattern`, as the message texts are written
// ("Cannot open file %s").
inline std::string FormatMessage(std::string_view pattern, std::string_view arg) {
    std::string text(pattern);
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '%' && (text[i + 1] == 's' || text[i + 1] == 'd')) {
            text.replace(i, 2, arg);
            break;
        }
    }
    return text;
}

}  // namespace tavrin
