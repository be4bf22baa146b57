// What must hold for any bytes fed to the track readers. The libFuzzer targets and the
// corpus replay test both run these; an empty result means the input passed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace syncfuzz {

// Binary track file: never more keys than the bytes hold, rows strictly ascending, a
// clean file exactly as long as its keys, and finite values between finite keys.
std::string checkTrackFile(const std::uint8_t* data, std::size_t size);
// Timeline text: whatever parses, written out and parsed again, gives the same tracks.
std::string checkTimelineText(const std::uint8_t* data, std::size_t size);

} // namespace syncfuzz
