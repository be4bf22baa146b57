// What must hold for any bytes fed to the BMP and DDS readers. The libFuzzer targets and
// the corpus replay test both run these; an empty result means the input passed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace imagefuzz {

// BMP: an accepted file has a sane size and every pixel row it claims, and nothing is
// allocated beyond what the file holds.
std::string checkBmp(const std::uint8_t* data, std::size_t size);
// DDS: accepted levels lie inside the file, one after another, each half the one before.
std::string checkDds(const std::uint8_t* data, std::size_t size);

} // namespace imagefuzz
