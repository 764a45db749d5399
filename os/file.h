// An open file (CreateFile handle), for reading and writing raw bytes.
//
// Public class: File — Open(), Read(), Write(), SetLength(), Size(); closes itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

namespace os {

class File {
 public:
  enum class Mode {
    kRead,            // existing file, read only, others may read
    kReadWrite,       // opened or created, content kept
    kCreateTruncate,  // created, or emptied when it exists
    kAppend,          // opened or created, every write goes to its end; others may read and write
  };

  File();
  ~File();
  File(File&&) noexcept;
  File& operator=(File&&) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // On failure the file is not open and *error holds the Windows error number.
  static File Open(std::string_view path, Mode mode, uint32_t* error = nullptr);

  bool IsOpen() const;
  void Close();
  // Reads up to `size` bytes; *got receives how many arrived (0 at the end).
  bool Read(void* buffer, size_t size, size_t* got, uint32_t* error = nullptr);
  bool Write(const void* buffer, size_t size, uint32_t* error = nullptr);
  // Cuts or extends the file at `length` bytes.
  bool SetLength(uint64_t length, uint32_t* error = nullptr);
  std::optional<uint64_t> Size() const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace os
