#include "app/ErrorBox.h"

#include <cctype>

#include "platform/Error.h"

namespace tavrin {

std::string ErrorBoxText(const std::exception& error) {
    std::string text = error.what();
    if (!text.empty() && std::isalnum(static_cast<unsigned char>(text.back())))
        text += '.';
    return text;
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
