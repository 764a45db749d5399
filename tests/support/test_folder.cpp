// The parts of TestFolder that both builds share.
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include "os/file.h"
#include "os/files.h"

namespace test {

std::string TestFolder::Path(std::string_view name) const { return root_ + "\\" + std::string(name); }

void TestFolder::Write(std::string_view name, std::string_view bytes) const {
  os::File f = os::File::Open(Path(name), os::File::Mode::kCreateTruncate);
  ASSERT_TRUE(f.IsOpen()) << "cannot create " << Path(name);
  ASSERT_TRUE(f.Write(bytes.data(), bytes.size()));
}

std::string TestFolder::Read(std::string_view name) const {
  os::File f = os::File::Open(Path(name), os::File::Mode::kRead);
  if (!f.IsOpen()) return "<missing>";
  std::string out;
  char buffer[4096];
  size_t got = 0;
  while (f.Read(buffer, sizeof buffer, &got) && got > 0) out.append(buffer, got);
  return out;
}

bool TestFolder::Exists(std::string_view name) const { return os::PathExists(Path(name)); }

}  // namespace test
