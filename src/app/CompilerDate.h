#pragma once
// Distribution builds turn on -Wdate-time, which -Werror makes fatal, since __DATE__ makes a
// build unreproducible. Here the date is the point, and reproducible builds still work: they
// set SOURCE_DATE_EPOCH, which the compiler honours for __DATE__. The warning is a preprocessor
// one that no diagnostic pragma silences; marking this header as a system header does.
#pragma GCC system_header

#include <string_view>

namespace tavrin {

// "Mmm dd yyyy", the day the including file was compiled.
static constexpr std::string_view kCompilerDate = __DATE__;

}  // namespace tavrin
