// PLY meshes: only the header is read, so a model built from a PLY file has no corners
// and draws nothing. It is the entry point where reading PLY geometry would go.
#pragma once

#include <istream>

namespace Tarvo {

class Model;

// Reads lines until one equal to "end_header" (a trailing carriage return is allowed) or
// the end of the stream. True when the header ended properly.
bool readPlyHeader(std::istream& in);

// Opens the file and reads its header; false when it cannot be opened or has no end.
bool readPlyHeaderFile(const char* path);

// The model reader for MeshFormat 1: reads the header and leaves the model's arrays as
// they are. Prints nothing.
void loadPLY(const char* path, Model& model);

} // namespace Tarvo
