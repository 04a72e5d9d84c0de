#pragma once

#include <exception>
#include <functional>
#include <string>

namespace tavrin {

// The application's error handler: the text of a failure as its message box shows it, with a
// full stop appended when the text ends in a letter or digit.
std::string ErrorBoxText(const std::exception& error);
std::string ErrorBoxText(std::string what);

// Runs `handler`. A failure it raises ends it there; its text goes to `show` and the program
// goes on. Failures other than tavrin::Error (a full disk in the standard library, say) are
// shown the same way rather than ending the program.
void RunGuarded(const std::function<void()>& handler,
                const std::function<void(const std::string& text)>& show);

}  // namespace tavrin
