// The little-endian 32-bit words of the state files and of RIFF files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

inline void PutU32(std::vector<uint8_t>& bytes, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<uint8_t>(value >> shift));
    }
}

// The caller makes sure that offset + 4 lies within bytes.
inline uint32_t GetU32(std::span<const uint8_t> bytes, std::size_t offset)
{
    uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<uint32_t>(bytes[offset + i]) << (8 * i);
    }
    return value;
}
