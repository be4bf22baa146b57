// The ".nwa" rigid-part animation text: line 1 names the part meshes, line 2 holds the
// length A and key spacing B, then A / B + 1 keys per part follow key-major, six numbers
// each (position x y z, rotation x y z in radians).
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "mesh/AniPart.h"

namespace Tarvo {

struct NwaFile {
    std::vector<std::string> partNames;
    std::int32_t length = 0;  // A
    std::int32_t spacing = 0; // B
    // Keys in file order; key j belongs to part j mod P. Holds only the keys the file
    // supplies (a key cut short has zeros for its missing numbers).
    std::vector<AniKey> keys;

    // A / B + 1: the keys per part the file should hold.
    std::int64_t keysPerPart() const { return std::int64_t(length) / spacing + 1; }
    // The keys of one part, in time order.
    std::vector<AniKey> partKeys(std::size_t part) const;
};

// Parses ".nwa" text. Returns false, with a readable reason, for a file that cannot
// animate: no part names, no A and B, B <= 0, A < B or A < 0. Key numbers that cannot be
// read end the key data; every number after them reads as 0.
bool parseNwa(std::istream& in, NwaFile& nwa, std::string& error);

// Reads the next number from [p, end) exactly as `stream >> value` would for a float
// ("C" locale), advancing p; false where the extraction would fail.
bool extractStreamFloat(const char*& p, const char* end, float& value);

// The path of a part mesh: the ".nwa" path, then "/../", then the name, resolved
// lexically, which names the part in the ".nwa" file's own directory on every system
// (Linux would refuse to walk through a file with "..").
std::string resolvePartPath(const std::string& nwaPath, const std::string& name);

} // namespace Tarvo
