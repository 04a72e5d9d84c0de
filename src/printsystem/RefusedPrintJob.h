// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "printsystem/PrintSpooler.h"

namespace tavrin {

// A job refused before it began, with the reason.
class RefusedPrintJob final : public PrintJob {
public:
    explicit RefusedPrintJob(std::string error) : error_(std::move(error)) {}
    bool ok() const override { return false; }
    std::string error() const override { return error_; }
    std::size_t Write(const char*, std::size_t) override { return 0; }
    bool Finish() override { return false; }
    void Cancel() override {}
    int id() const override { return 0; }

private:
    std::string error_;
};

}  // namespace tavrin
