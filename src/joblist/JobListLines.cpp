#include "joblist/JobListLines.h"

#include <algorithm>

namespace tavrin {

void TokenizeGridString(std::string_view line, char separator, std::vector<std::string>& fields) {
    fields.clear();
    std::size_t start = 0;
    while (true) {
        const std::size_t end = line.find(separator, start);
        if (end == std::string_view::npos) {
            fields.emplace_back(line.substr(start));
            return;
        }
        fields.emplace_back(line.substr(start, end - start));
        start = end + 1;
    }
}

bool JobListLineSplitter::Feed(std::string_view piece) {
    if (ended_)
        return false;
    std::size_t i = 0;
    while (i < piece.size()) {
        if (afterCR_) {
            afterCR_ = false;
            if (piece[i] == '\n') {
                ++i;
                continue;
            }
        }
        const auto stop = std::find_if(piece.begin() + static_cast<std::ptrdiff_t>(i), piece.end(),
                                       [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
        const std::size_t at = static_cast<std::size_t>(stop - piece.begin());
        if (at > i) {
            current_.append(piece.substr(i, at - i));
            lineStarted_ = true;
        }
        if (at == piece.size())
            break;
        const char mark = piece[at];
        i = at + 1;
        if (mark == '\0') {
            ended_ = true;
            return false;
        }
        EndLine();
        afterCR_ = mark == '\r';
    }
    return true;
}

void JobListLineSplitter::EndLine() {
    lines_.push_back(std::move(current_));
    current_.clear();
    lineStarted_ = false;
}

std::vector<std::string> JobListLineSplitter::Finish() {
    if (lineStarted_)
        EndLine();
    ended_ = true;
    return std::move(lines_);
}

std::vector<std::string> SplitJobListText(std::string_view text) {
    JobListLineSplitter splitter;
    splitter.Feed(text);
    return splitter.Finish();
}

}  // namespace tavrin
