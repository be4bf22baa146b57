// What must hold for any input bytes fed to each mesh reader. The libFuzzer targets and
// the corpus replay test both run these; an empty result means the input passed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace meshfuzz {

// OBJ: the buffer reader agrees with fscanf-based reading, and expansion only ever
// reads inside the pools.
std::string checkObj(const std::uint8_t* data, std::size_t size);
// ".bobj": the reader accepts exactly the files whose every index is inside its pool
// (missing bytes reading as zeros), appends what the format says, and on failure leaves
// the caller's arrays as they were.
std::string checkBinaryMesh(const std::uint8_t* data, std::size_t size);
// ".nwa": parsing either rejects the file or gives parts whose keys split the file's
// keys, and evaluation at any time stays inside the keys.
std::string checkNwa(const std::uint8_t* data, std::size_t size);
// PLY header: true exactly when some line is "end_header".
std::string checkPlyHeader(const std::uint8_t* data, std::size_t size);

} // namespace meshfuzz
