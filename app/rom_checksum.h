// The checksum of the cartridge's internal header. A HiROM image keeps a 16-bit
// checksum at 0xFFDE and its complement (checksum XOR 0xFFFF) at 0xFFDC, both
// little-endian, in plain order. The checksum is the sum of every byte of the image
// modulo 0x10000, taken as if the complement were FFFF and the checksum 0000 (so the
// four bytes add up to 0x1FE whatever they hold). That is the standard rule of the
// console's ROM registration data; see the "ROM header" page of the SNESdev wiki,
// https://snes.nesdev.org/wiki/ROM_header ("Checksum"). A 4 MiB image is a power of
// two in size, so no part of it is counted twice.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vexa {

inline constexpr std::size_t kChecksumComplementOffset = 0xFFDC;
inline constexpr std::size_t kChecksumOffset = 0xFFDE;

// The checksum the image should hold; an image too short for the header gives 0.
std::uint16_t romChecksum(std::span<const std::uint8_t> image);
// Whether the four header bytes hold the right checksum and complement.
bool hasCorrectChecksum(std::span<const std::uint8_t> image);
// Writes the right checksum and complement into the header.
void fixChecksum(std::span<std::uint8_t> image);

} // namespace vexa
