#include "app/BuildDate.h"

#include "app/CompilerDate.h"

namespace tavrin {

BuildDate ProgramBuildDate() {
    static constexpr BuildDate kBuilt = ParseCompilerDate(kCompilerDate);
    return kBuilt;
}

std::string CompiledCaption(const BuildDate& date) {
    return "Compiled (D/M/Y): " + std::to_string(date.day) + "/" + std::to_string(date.month) +
           "/" + std::to_string(date.year);
}

}  // namespace tavrin
