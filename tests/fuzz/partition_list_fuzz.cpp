// The partition list that the partition tool writes (usee.txt): any file
// gives rows, each with a size in MB and a file system, and a verdict for
// every layout, without undefined behaviour on the way (sizes far past the
// 32-bit range included).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/globals.h"
#include "disk/check_disk_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view file(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> rows = disk::PartitionRows(file);
  for (const std::string& row : rows) {
    disk::RowSizeMB(row);
    disk::RowFileSystem(row);
  }
  for (const char* layout : {"UD+DATA+UEFI # ", "DATA+UEFI # ", "UEFI+DATA # "})
    for (int32_t phase : {0, 1, 2}) disk::JudgeLayout(rows, layout, phase);
  return 0;
}
