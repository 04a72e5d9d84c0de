#include "app/ErrorBox.h"

#include <cctype>

#include "platform/Error.h"

namespace tavrin {

std::string ErrorBoxText(const std::exception& error) {
    return ErrorBoxText(std::string(error.what()));
}

std::string ErrorBoxText(std::string what) {
    if (!what.empty() && std::isalnum(static_cast<unsigned char>(what.back())))
        what += '.';
    return what;
}

void RunGuarded(const std::function<void()>& handler,
                const std::function<void(const std::string& text)>& show) {
    try {
        handler();
    } catch (const std::exception& error) {
        show(ErrorBoxText(error));
    }
}

}  // namespace tavrin
