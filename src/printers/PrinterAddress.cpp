// SPDX-License-Identifier: GPL-3.0-or-later
#include "printers/PrinterAddress.h"

#include <charconv>
#include <string_view>

namespace tavrin {
namespace {

struct SchemeText {
    std::string_view prefix;
    PrinterAddress::Scheme scheme;
    int defaultPort;
};

constexpr SchemeText kSchemes[] = {
    {"ipp://", PrinterAddress::Scheme::Ipp, 631},
    {"ipps://", PrinterAddress::Scheme::Ipps, 631},
    {"socket://", PrinterAddress::Scheme::Socket, kAppSocketPort},
};

bool HostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_';
}

}  // namespace

bool LooksLikePrinterAddress(const std::string& text) {
    for (const SchemeText& scheme : kSchemes)
        if (text.starts_with(scheme.prefix))
            return true;
    return false;
}

std::optional<PrinterAddress> ParsePrinterAddress(const std::string& text) {
    for (const SchemeText& scheme : kSchemes) {
        if (!text.starts_with(scheme.prefix))
            continue;
        PrinterAddress address{scheme.scheme, {}, scheme.defaultPort, "/", text};
        std::string_view rest = std::string_view(text).substr(scheme.prefix.size());
        const auto slash = rest.find('/');
        std::string_view hostPort = rest.substr(0, slash);
        if (slash != std::string_view::npos)
            address.resource = std::string(rest.substr(slash));
        if (address.scheme == PrinterAddress::Scheme::Socket && address.resource != "/" &&
            address.resource != "")
            return std::nullopt;
        std::string_view port;
        if (hostPort.starts_with('[')) {
            const auto close = hostPort.find(']');
            if (close == std::string_view::npos)
                return std::nullopt;
            address.host = std::string(hostPort.substr(1, close - 1));
            if (close + 1 < hostPort.size()) {
                if (hostPort[close + 1] != ':')
                    return std::nullopt;
                port = hostPort.substr(close + 2);
            }
            for (char c : address.host)
                if (!(HostCharacter(c) || c == ':'))
                    return std::nullopt;
        } else {
            const auto colon = hostPort.find(':');
            address.host = std::string(hostPort.substr(0, colon));
            if (colon != std::string_view::npos)
                port = hostPort.substr(colon + 1);
            for (char c : address.host)
                if (!HostCharacter(c))
                    return std::nullopt;
        }
        if (address.host.empty())
            return std::nullopt;
        if (!port.empty() || hostPort.ends_with(':')) {
            int value = 0;
            const auto [end, error] =
                std::from_chars(port.data(), port.data() + port.size(), value);
            if (error != std::errc() || end != port.data() + port.size() || value < 1 ||
                value > 65535)
                return std::nullopt;
            address.port = value;
        }
        return address;
    }
    return std::nullopt;
}

}  // namespace tavrin
