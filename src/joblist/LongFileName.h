#pragma once

#include <string>
#include <vector>

namespace tavrin {

// The full long form of a file name given on the command line: made absolute against the
// current folder, "." and ".." resolved by their text, then every component that exists in the
// letter case the file system stores it in. Components that cannot be found keep the text they
// were given, so a missing file keeps its full absolute name. The empty name stays empty.
std::string LongFileName(const std::string& name);

// LongFileName of each name, in order; the folders the names share are looked up once.
std::vector<std::string> LongFileNames(const std::vector<std::string>& names);

// The step of LongFileName for an absolute path whose "." and ".." are already resolved: the
// folder part in its long form, then "/" and the last component as stored. The root gives "".
std::string LongPathOf(const std::string& path);

}  // namespace tavrin
