// The parts of TestFolder that both builds share.
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include "sys/whole_file.h"
#include "os/files.h"

namespace test {

std::string TestFolder::Path(std::string_view name) const { return root_ + "\\" + std::string(name); }

void TestFolder::Write(std::string_view name, std::string_view bytes) const {
  ASSERT_TRUE(sys::WriteWholeFile(Path(name), bytes)) << "cannot write " << Path(name);
}

std::string TestFolder::Read(std::string_view name) const { return sys::ReadWholeFile(Path(name)).value_or("<missing>"); }

bool TestFolder::Exists(std::string_view name) const { return os::PathExists(Path(name)); }

}  // namespace test
