#pragma once
// Little-endian fields read from bytes in memory, at any alignment, as archive headers store them.
// The caller has checked that the bytes are there.

#include <cstdint>

namespace bytes {

constexpr uint16_t le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}
constexpr uint32_t le32(const uint8_t* p) {
    return uint32_t(le16(p)) | uint32_t(le16(p + 2)) << 16;
}
constexpr uint64_t le64(const uint8_t* p) {
    return uint64_t(le32(p)) | uint64_t(le32(p + 4)) << 32;
}

}  // namespace bytes
