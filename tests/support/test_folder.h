// A clean folder for one test: on the simulated machine in the host build,
// in the real temporary folder in the Windows build. Tests that hold for
// both builds use it to make the files they work on.
//
// Public: class TestFolder, SetAttributesForTest(), class ScopedDigitGrouping.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace test {

class TestFolder {
 public:
  TestFolder();
  ~TestFolder();
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  // The Windows path of the folder, and of a name inside it.
  const std::string& Root() const { return root_; }
  std::string Path(std::string_view name) const;

  // Whole-file bytes, through the system's own file calls.
  void Write(std::string_view name, std::string_view bytes) const;
  std::string Read(std::string_view name) const;
  bool Exists(std::string_view name) const;

 private:
  std::string root_;
};

// Sets the Windows attributes (hidden, system, read-only) of a path.
void SetAttributesForTest(const std::string& path, uint32_t attributes);

// The user's digit grouping ("3;0", "3;2;0", "3", ...), as Windows keeps it,
// while the object lives; the old one comes back afterwards.
class ScopedDigitGrouping {
 public:
  explicit ScopedDigitGrouping(const std::string& grouping);
  ~ScopedDigitGrouping();
  ScopedDigitGrouping(const ScopedDigitGrouping&) = delete;
  ScopedDigitGrouping& operator=(const ScopedDigitGrouping&) = delete;

 private:
  std::string old_;
};

}  // namespace test
