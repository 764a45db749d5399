// UTF-8, the program's own text encoding, as the seam's conversions read it.
//
// Public functions: Utf8SequenceLength().
#pragma once

#include <cstddef>

namespace os {

// Bytes of the UTF-8 sequence that starts with this byte (1 for a stray byte).
inline size_t Utf8SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead >> 5) == 0x6) return 2;
  if ((lead >> 4) == 0xE) return 3;
  if ((lead >> 3) == 0x1E) return 4;
  return 1;
}

}  // namespace os
