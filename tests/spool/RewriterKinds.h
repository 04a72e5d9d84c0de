#pragma once

#include <string>

#include "RewriterTestSupport.h"
#include "spool/HpglRewrite.h"
#include "spool/OceHeader.h"
#include "spool/PostScriptHeader.h"

namespace tavrin::rewrite_test {

enum class RewriterKind { Hpgl, PostScript, Oce };

inline std::string KindName(RewriterKind kind) {
    switch (kind) {
        case RewriterKind::Hpgl:
            return "Hpgl";
        case RewriterKind::PostScript:
            return "PostScript";
        case RewriterKind::Oce:
            return "Oce";
    }
    return "?";
}

// Runs the rewriter of that kind with three copies, as a spool run does with "Copies by plotter".
inline void RunRewriter(RewriterKind kind, const std::string& source, const SpoolOptions& options) {
    switch (kind) {
        case RewriterKind::Hpgl:
            RewriteHpglFile(source, 2, options);
            break;
        case RewriterKind::PostScript:
            WritePostScriptHeader(source, 3, options);
            break;
        case RewriterKind::Oce:
            WriteOceHeader(source, 3, options);
            break;
    }
}

// Runs the rewriter and returns the message of the Error it raises, or "" when it raises none.
inline std::string RewriterMessage(RewriterKind kind, const std::string& source,
                                   const SpoolOptions& options) {
    try {
        RunRewriter(kind, source, options);
    } catch (const Error& error) {
        return error.what();
    }
    return "";
}

// A rewriter test run once for each of the three rewriters, with every option that alters the
// file switched on.
class EachRewriterTest : public RewriterTest, public ::testing::WithParamInterface<RewriterKind> {
protected:
    EachRewriterTest() {
        options.smartReplots = true;
        options.removeQL = true;
        options.psCollate = true;
        options.fitToPage = true;
    }

    RewriterKind kind() const { return GetParam(); }
    bool isHpgl() const { return kind() == RewriterKind::Hpgl; }
    std::string Message(const std::string& source) {
        return RewriterMessage(kind(), source, options);
    }
};

inline std::string RewriterTestName(const ::testing::TestParamInfo<RewriterKind>& info) {
    return KindName(info.param);
}

#define TAVRIN_FOR_EACH_REWRITER(suite)                                                     \
    INSTANTIATE_TEST_SUITE_P(                                                               \
        Rewriters, suite,                                                                   \
        ::testing::Values(RewriterKind::Hpgl, RewriterKind::PostScript, RewriterKind::Oce), \
        RewriterTestName)

}  // namespace tavrin::rewrite_test
