// Whether two paths name one file, and where a path's symbolic links lead: the questions a
// program must answer before it writes two outputs, or replaces a file through a link.
#pragma once

#include <string>
#include <vector>

namespace Tarvo {

// path, then each place its symbolic links lead in turn; the last one is no link (or is
// a link that ends a loop).
std::vector<std::string> linkChain(const std::string& path);

// path with its symbolic links followed, as far as they lead (the last link of a chain
// may point at a file not made yet); path itself when it is no link, or the links loop.
std::string followLinks(const std::string& path);

// Whether a and b are one file: the same device and inode when both exist (whatever
// links, "..", "." or spellings lead there), otherwise the same absolute path once links
// and dots are resolved, as two files a program is about to create would be.
bool sameFile(const std::string& a, const std::string& b);

} // namespace Tarvo
