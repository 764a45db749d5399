// The scrambling rule of the plug-in archives: a byte-wise XOR with a 16-byte
// key made from a password. XOR with the same key is its own inverse, so the
// one rule both scrambles and unscrambles.
//
// Public: kXorPadByte, XorKey, MakeXorKey(), XorBytes().
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sys {

// Fills the key where the password is shorter than 16 characters. The
// plug-in archives shipped in Data\Plugins are scrambled with this value
// (and the plug-in password); changing it makes them unreadable.
constexpr uint8_t kXorPadByte = 0xA5;

using XorKey = std::array<uint8_t, 16>;

// The key of a password given as its bytes in the ANSI code page, one byte per
// character: key byte k is the k-th byte; the rest is the pad byte; bytes
// after the 16th are not used.
XorKey MakeXorKey(std::string_view ansiPassword);

// XORs `size` bytes that sit at file offset `offset` onward: the byte at file
// offset p goes with key byte (p + 1) mod 16 (counting the key from 0).
void XorBytes(uint8_t* data, size_t size, uint64_t offset, const XorKey& key);

}  // namespace sys
