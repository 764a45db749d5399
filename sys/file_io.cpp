#include "sys/file_io.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "os/ansi.h"
#include "os/file.h"
#include "os/utf8.h"
#include "sys/text.h"
#include "sys/xor_key.h"

namespace sys {
namespace {

constexpr uint64_t kBlock = 4096;
// Blocks read and written at once; the rule stays per block and per byte.
constexpr uint64_t kBlocksPerChunk = 256;

constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kErrorReadFault = 30;
constexpr uint32_t kErrorHandleEof = 38;

// The key's part of the password in the ANSI code page, one byte for each of
// its first 16 characters; nothing when one of them is not a single byte
// there (a double-byte character, or one the code page lacks), since any
// stand-in byte would make a wrong key.
std::optional<std::string> KeyBytes(std::string_view password) {
  std::string utf8 = LeftChars(password, 16);
  std::string bytes;
  for (size_t i = 0; i < utf8.size();) {
    size_t n = std::min(os::Utf8SequenceLength(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
    bool exact = false;
    std::string ansi = os::ToAnsi(std::string_view(utf8).substr(i, n), &exact);
    if (!exact || ansi.size() != 1) return std::nullopt;
    bytes += ansi;
    i += n;
  }
  return bytes;
}

}  // namespace

void FileIO::pswBox(std::string_view password) { password_ = password; }

void FileIO::FilePercentBox(CaptionSetter setter) {
  caption_ = std::move(setter);
  Show("");
}

void FileIO::Show(const std::string& caption) const {
  if (caption_) caption_(caption);
}

int32_t FileIO::FixFile() {
  std::optional<std::string> key = KeyBytes(password_);
  std::fill(password_.begin(), password_.end(), '\0');
  password_.clear();
  if (!key) return static_cast<int32_t>(kErrorInvalidParameter);
  busy_ = true;
  uint32_t error = Copy(*key);
  busy_ = false;
  return static_cast<int32_t>(error);
}

uint32_t FileIO::Copy(const std::string& ansiPassword) {
  const XorKey key = MakeXorKey(ansiPassword);
  int lastPercent = -1;
  bool shown = false;
  // Every way out after a percentage was shown leaves the caption empty.
  auto fail = [&](uint32_t error) {
    if (shown) Show("");
    return error;
  };

  uint32_t error = 0;
  os::File source = os::File::Open(source_, os::File::Mode::kRead, &error);
  if (!source.IsOpen()) return fail(error);
  std::optional<uint64_t> size = source.Size();
  if (!size) return fail(kErrorReadFault);
  // Opened, not emptied: a target that is the source itself (the same file
  // named twice) is then XORed in place instead of being lost.
  os::File target = os::File::Open(target_, os::File::Mode::kReadWrite, &error);
  if (!target.IsOpen()) return fail(error);

  const uint64_t blocks = *size / kBlock;
  const size_t chunk = static_cast<size_t>(std::min<uint64_t>(kBlock * kBlocksPerChunk, std::max<uint64_t>(*size, 1)));
  std::unique_ptr<uint8_t[]> buffer(new uint8_t[chunk]);
  uint64_t done = 0, blocksShown = 0;
  while (done < *size) {
    size_t want = static_cast<size_t>(std::min<uint64_t>(chunk, *size - done));
    size_t got = 0;
    if (!source.Read(buffer.get(), want, &got, &error)) return fail(error);
    if (got != want) return fail(kErrorHandleEof);  // the source shrank meanwhile
    XorBytes(buffer.get(), want, done, key);
    if (!target.Write(buffer.get(), want, &error)) return fail(error);
    done += want;
    // One caption per whole block written, set only when its text changes.
    for (uint64_t written = done / kBlock; blocksShown < written;) {
      ++blocksShown;
      int percent = static_cast<int>(blocksShown * 100 / blocks);
      if (percent != lastPercent) {
        lastPercent = percent;
        shown = true;
        Show(std::to_string(percent) + "%");
      }
    }
  }
  // An older, longer target keeps no bytes beyond the copy.
  if (!target.SetLength(*size, &error)) return fail(error);
  shown = true;
  Show("100%");
  source.Close();
  target.Close();
  Show("");
  return 0;
}

}  // namespace sys
