// PLY header reading. Element and property lines are passed over; nothing is kept.
#include "mesh/PlyReader.h"

#include <fstream>
#include <string>

namespace Tarvo {

bool readPlyHeader(std::istream& in)
{
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line == "end_header")
            return true;
    }
    return false;
}

bool readPlyHeaderFile(const char* path)
{
    if (!path)
        return false;
    std::ifstream in(path);
    return in && readPlyHeader(in);
}

void loadPLY(const char* path, Model& model)
{
    (void)model; // geometry is not read, so the model keeps its empty arrays
    readPlyHeaderFile(path);
}

} // namespace Tarvo
