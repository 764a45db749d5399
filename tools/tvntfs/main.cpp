// tvntfs: copies a host folder's files into an NTFS volume image, without
// mounting it, through ntfs-3g's library (the boot test's disk export calls
// it after mkntfs has made the volume).
//
//   tvntfs <volume image> <host folder>
//
// Folders and files keep their names; the read-only, hidden and system
// attributes the simulated machine keeps for a file go along. Exit code 0
// when everything was written, 1 with a message on the error output.
#include <sys/stat.h>  // before ntfs-3g's headers, which otherwise declare struct timespec again
#include <sys/types.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

extern "C" {
#include <ntfs-3g/types.h>
#include <ntfs-3g/attrib.h>
#include <ntfs-3g/dir.h>
#include <ntfs-3g/inode.h>
#include <ntfs-3g/security.h>
#include <ntfs-3g/volume.h>
}

#include "tools/tvtool/fs_tree.h"

// Under LeakSanitizer: ntfs-3g keeps a few inodes of its own after the
// volume is closed; they are not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libntfs-3g.so\n"; }

namespace {

bool Fail(const std::string& text) {
  fprintf(stderr, "tvntfs: %s\n", text.c_str());
  return false;
}

// Closes an inode at the end of a scope.
struct Inode {
  ntfs_inode* ni = nullptr;
  explicit Inode(ntfs_inode* n) : ni(n) {}
  ~Inode() {
    if (ni) ntfs_inode_close(ni);
  }
  Inode(const Inode&) = delete;
  Inode& operator=(const Inode&) = delete;
};

bool SetAttributes(ntfs_inode* ni, uint32_t attributes) {
  if (attributes == 0) return true;
  le32 value = cpu_to_le32(le32_to_cpu(ni->flags) | attributes);
  return ntfs_set_ntfs_attrib(ni, reinterpret_cast<const char*>(&value), sizeof value, 0) == 0;
}

bool WriteData(ntfs_inode* ni, const tvtool::TreeEntry& e) {
  if (e.bytes == 0) return true;
  ntfs_attr* na = ntfs_attr_open(ni, AT_DATA, AT_UNNAMED, 0);
  if (!na) return Fail("cannot open the data of " + e.name);
  std::ifstream in(e.hostPath, std::ios::binary);
  std::vector<char> buffer(1 << 20);
  uint64_t done = 0;
  bool ok = static_cast<bool>(in);
  while (ok && done < e.bytes) {
    size_t n = static_cast<size_t>(std::min<uint64_t>(buffer.size(), e.bytes - done));
    ok = static_cast<bool>(in.read(buffer.data(), static_cast<std::streamsize>(n))) &&
         ntfs_attr_pwrite(na, static_cast<s64>(done), static_cast<s64>(n), buffer.data()) == static_cast<s64>(n);
    done += n;
  }
  ntfs_attr_close(na);
  return ok || Fail("cannot write " + e.hostPath + " (the volume may be full)");
}

bool CopyInto(ntfs_inode* dir, const std::string& hostFolder, int depth) {
  if (depth > 64) return Fail(hostFolder + ": folders nested too deeply");
  for (const tvtool::TreeEntry& e : tvtool::FolderEntries(hostFolder)) {
    std::u16string name = tvtool::Utf16(e.name);
    if (name.empty() || name.size() > 255) return Fail(e.hostPath + ": the name is too long for NTFS");
    std::vector<ntfschar> uname(name.begin(), name.end());
    for (ntfschar& c : uname) c = cpu_to_le16(c);
    Inode child(ntfs_create(dir, const_cpu_to_le32(0), uname.data(), static_cast<u8>(uname.size()),
                            e.folder ? S_IFDIR : S_IFREG));
    if (!child.ni) return Fail("cannot create " + e.name + " in " + hostFolder);
    if (e.folder ? !CopyInto(child.ni, e.hostPath, depth + 1) : !WriteData(child.ni, e)) return false;
    if (!SetAttributes(child.ni, e.attributes)) return Fail("cannot set the attributes of " + e.hostPath);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: tvntfs <NTFS volume image> <host folder>\n");
    return 2;
  }
  ntfs_volume* vol = ntfs_mount(argv[1], static_cast<ntfs_mount_flags>(0));
  if (!vol) return Fail(std::string("cannot open the NTFS volume in ") + argv[1]) ? 0 : 1;
  bool ok;
  {
    Inode root(ntfs_inode_open(vol, FILE_root));
    ok = root.ni ? CopyInto(root.ni, argv[2], 0) : Fail("the volume has no root folder");
  }
  if (ntfs_umount(vol, FALSE) != 0) ok = Fail("cannot close the NTFS volume");
  return ok ? 0 : 1;
}
