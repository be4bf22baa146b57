// Builders for the binary ".bobj" layout, so a mesh test states its counts and records
// directly.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace meshtest {

// Little-endian ".bobj" bytes, built in file order.
class BobjBytes {
public:
    BobjBytes& counts(std::uint32_t np, std::uint32_t nt, std::uint32_t nn, std::uint32_t ni);
    BobjBytes& floats(std::initializer_list<float> values);
    BobjBytes& indices(std::initializer_list<std::uint32_t> values);
    const std::string& str() const { return bytes; }

private:
    void word(std::uint32_t value);
    std::string bytes;
};

} // namespace meshtest
