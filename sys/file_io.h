// The scrambled copy of the plug-in archives, with its percentage shown.
//
// Public: class FileIO — pswBox(), SourceFile(), TargetFile(), IsProccess(),
//         FilePercentBox(), FixFile().
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace sys {

// Copies a file while XORing it with the key of a password (sys/xor_key.h),
// in 4096-byte blocks, and shows how far it got in a caption: after each whole
// block the whole percentage of blocks done ("50%"), at the end "100%" and then
// the empty text. One object serves any number of copies; each needs its
// password set again, since a copy empties it.
class FileIO {
 public:
  using CaptionSetter = std::function<void(const std::string&)>;

  // The password for the next copy.
  void pswBox(std::string_view password);
  void SourceFile(std::string_view path) { source_ = path; }
  const std::string& SourceFile() const { return source_; }
  void TargetFile(std::string_view path) { target_ = path; }
  const std::string& TargetFile() const { return target_; }
  // True while FixFile runs.
  bool IsProccess() const { return busy_; }
  // Where the percentage goes; the caption is emptied at once.
  void FilePercentBox(CaptionSetter setter);

  // Copies SourceFile to TargetFile through the XOR. The target is created
  // when missing and ends up exactly as long as the source. 0 on success,
  // else the Windows error number that stopped it (87, invalid parameter, for
  // a password character that is not one byte in the ANSI code page); both
  // files are closed and the caption is empty again either way.
  int32_t FixFile();

 private:
  uint32_t Copy(const std::string& ansiPassword);
  void Show(const std::string& caption) const;

  std::string source_, target_, password_;
  CaptionSetter caption_;
  bool busy_ = false;
};

}  // namespace sys
