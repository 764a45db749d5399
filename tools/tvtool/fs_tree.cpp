#include "tools/tvtool/fs_tree.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "os/sim/host_files.h"

namespace tvtool {

std::vector<TreeEntry> FolderEntries(const std::string& hostFolder) {
  std::vector<TreeEntry> out;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(hostFolder, ec)) {
    TreeEntry t;
    t.name = e.path().filename().string();
    if (t.name == os::sim::kAttributeFile) continue;
    t.hostPath = e.path().string();
    struct stat st {};
    if (stat(t.hostPath.c_str(), &st) != 0) continue;
    t.folder = S_ISDIR(st.st_mode);
    if (!t.folder && !S_ISREG(st.st_mode)) continue;
    t.bytes = t.folder ? 0 : static_cast<uint64_t>(st.st_size);
    t.modified = st.st_mtime;
    t.attributes = os::sim::HostAttributes(t.hostPath) & 0x7;  // read-only, hidden, system
    out.push_back(std::move(t));
  }
  std::sort(out.begin(), out.end(), [](const TreeEntry& a, const TreeEntry& b) { return a.name < b.name; });
  return out;
}

std::u16string Utf16(std::string_view s) {
  std::u16string out;
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    char32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
    bool ok = n != 0 && i + n <= s.size();
    for (size_t k = 1; ok && k < n; ++k) {
      unsigned char d = static_cast<unsigned char>(s[i + k]);
      if ((d & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (d & 0x3F);
    }
    if (ok && ((n == 2 && cp < 0x80) || (n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
               (cp >= 0xD800 && cp <= 0xDFFF)))
      ok = false;
    if (!ok) {
      out.push_back(u'\uFFFD');
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += n;
  }
  return out;
}

}  // namespace tvtool
