#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

// The text rules of job-list files.

// Empties `fields`, then splits `line` at every `separator`: each separator ends the current
// field (which may be empty) and starts the next; the end of the line ends the last one. A line
// with k separators gives k + 1 fields, an empty line one empty field. Nothing is trimmed.
void TokenizeGridString(std::string_view line, char separator, std::vector<std::string>& fields);

// Cuts text into lines as it arrives in pieces: CR LF, a single CR and a single LF each end a
// line, a last line without an end mark is still a line, and a NUL byte ends the text (what
// follows it is ignored). Text without any byte has no lines.
class JobListLineSplitter {
public:
    // Takes the next piece of the text. Returns false once a NUL byte has ended the text.
    bool Feed(std::string_view piece);
    // Ends the text and hands over its lines.
    std::vector<std::string> Finish();

    bool ended() const { return ended_; }

private:
    void EndLine();

    std::vector<std::string> lines_;
    std::string current_;
    bool lineStarted_ = false;
    bool afterCR_ = false;
    bool ended_ = false;
};

// The lines of a whole text by the rules above.
std::vector<std::string> SplitJobListText(std::string_view text);

}  // namespace tavrin
