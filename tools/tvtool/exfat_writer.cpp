#include "tools/tvtool/exfat_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <ctime>
#include <fstream>
#include <vector>

#include "tools/tvtool/fs_tree.h"

namespace tvtool {
namespace {

constexpr uint32_t kEndOfChain = 0xFFFFFFFF;
constexpr size_t kEntry = 32;

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) { return Get16(p) | (static_cast<uint32_t>(Get16(p + 2)) << 16); }
uint64_t Get64(const uint8_t* p) { return Get32(p) | (static_cast<uint64_t>(Get32(p + 4)) << 32); }
void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  Put16(p, static_cast<uint16_t>(v));
  Put16(p + 2, static_cast<uint16_t>(v >> 16));
}
void Put64(uint8_t* p, uint64_t v) {
  Put32(p, static_cast<uint32_t>(v));
  Put32(p + 4, static_cast<uint32_t>(v >> 32));
}

// A time as exFAT keeps it: the DOS date and time of day, in UTC.
uint32_t Timestamp(int64_t seconds) {
  time_t t = static_cast<time_t>(seconds);
  struct tm u {};
  gmtime_r(&t, &u);
  int year = u.tm_year + 1900 - 1980;
  if (year < 0) return (1u << 21) | (1u << 16);  // 1980-01-01
  if (year > 127) year = 127;
  return (static_cast<uint32_t>(year) << 25) | (static_cast<uint32_t>(u.tm_mon + 1) << 21) |
         (static_cast<uint32_t>(u.tm_mday) << 16) | (static_cast<uint32_t>(u.tm_hour) << 11) |
         (static_cast<uint32_t>(u.tm_min) << 5) | static_cast<uint32_t>(u.tm_sec / 2);
}

class Volume {
 public:
  ~Volume() {
    if (fd_ >= 0) close(fd_);
  }

  bool Open(const std::string& image, std::string* why) {
    why_ = why;
    fd_ = open(image.c_str(), O_RDWR);
    if (fd_ < 0) return Error("cannot open " + image);
    uint8_t boot[512];
    if (!Read(0, boot, sizeof boot) || memcmp(boot + 3, "EXFAT   ", 8) != 0 || Get16(boot + 510) != 0xAA55)
      return Error(image + " holds no exFAT volume");
    uint64_t sectors = Get64(boot + 72);
    fatOffset_ = Get32(boot + 80);
    fatLength_ = Get32(boot + 84);
    heapOffset_ = Get32(boot + 88);
    clusterCount_ = Get32(boot + 92);
    rootCluster_ = Get32(boot + 96);
    sectorShift_ = boot[108];
    uint32_t clusterShift = boot[109];
    fats_ = boot[110];
    if (sectorShift_ < 9 || sectorShift_ > 12 || clusterShift > 25 - sectorShift_ || fats_ < 1 || fats_ > 2 ||
        clusterCount_ < 1 || heapOffset_ + (static_cast<uint64_t>(clusterCount_) << clusterShift) > sectors ||
        fatOffset_ + static_cast<uint64_t>(fatLength_) * fats_ > heapOffset_ ||
        static_cast<uint64_t>(fatLength_) << sectorShift_ < (static_cast<uint64_t>(clusterCount_) + 2) * 4 ||
        !ValidCluster(rootCluster_))
      return Error(image + ": the exFAT boot sector does not add up");
    clusterBytes_ = 1u << (sectorShift_ + clusterShift);
    return LoadRoot() && LoadBitmap() && LoadUpcase();
  }

  // Writes the folder's content into the root directory.
  bool Fill(const std::string& hostFolder) {
    std::vector<uint8_t> entries;
    if (!WriteChildren(hostFolder, entries, 0)) return false;
    return AppendToRoot(entries) && Finish();
  }

 private:
  bool Error(const std::string& text) {
    if (why_ && why_->empty()) *why_ = text;
    return false;
  }
  bool Read(uint64_t at, void* out, size_t n) {
    return pread(fd_, out, n, static_cast<off_t>(at)) == static_cast<ssize_t>(n);
  }
  bool Write(uint64_t at, const void* data, size_t n) {
    if (pwrite(fd_, data, n, static_cast<off_t>(at)) == static_cast<ssize_t>(n)) return true;
    return Error("cannot write the exFAT image");
  }
  bool ValidCluster(uint32_t c) const { return c >= 2 && c - 2 < clusterCount_; }
  uint64_t ClusterAt(uint32_t c) const {
    return (static_cast<uint64_t>(heapOffset_) << sectorShift_) + static_cast<uint64_t>(c - 2) * clusterBytes_;
  }
  uint64_t FatEntryAt(uint32_t c, uint32_t copy) const {
    return ((static_cast<uint64_t>(fatOffset_) + static_cast<uint64_t>(copy) * fatLength_) << sectorShift_) +
           static_cast<uint64_t>(c) * 4;
  }
  bool SetFat(uint32_t c, uint32_t next) {
    uint8_t v[4];
    Put32(v, next);
    for (uint32_t copy = 0; copy < fats_; ++copy)
      if (!Write(FatEntryAt(c, copy), v, 4)) return false;
    return true;
  }

  // The clusters of a FAT chain, in order.
  bool Chain(uint32_t first, std::vector<uint32_t>& out) {
    out.clear();
    for (uint32_t c = first; c != kEndOfChain;) {
      if (!ValidCluster(c) || out.size() >= clusterCount_) return Error("a cluster chain of the exFAT volume is broken");
      out.push_back(c);
      uint8_t v[4];
      if (!Read(FatEntryAt(c, 0), v, 4)) return Error("cannot read the exFAT allocation table");
      c = Get32(v);
    }
    return true;
  }
  bool ReadClusters(const std::vector<uint32_t>& chain, std::vector<uint8_t>& out) {
    out.assign(chain.size() * clusterBytes_, 0);
    for (size_t i = 0; i < chain.size(); ++i)
      if (!Read(ClusterAt(chain[i]), out.data() + i * clusterBytes_, clusterBytes_))
        return Error("cannot read the exFAT volume");
    return true;
  }

  bool LoadRoot() { return Chain(rootCluster_, rootChain_) && ReadClusters(rootChain_, root_); }

  // The entry of a kind in the root directory, or nullptr.
  const uint8_t* RootEntry(uint8_t type) const {
    for (size_t at = 0; at + kEntry <= root_.size() && root_[at] != 0; at += kEntry)
      if (root_[at] == type) return root_.data() + at;
    return nullptr;
  }

  bool LoadBitmap() {
    const uint8_t* e = RootEntry(0x81);
    if (!e || !ValidCluster(Get32(e + 20)) || Get64(e + 24) < (clusterCount_ + 7) / 8)
      return Error("the exFAT volume has no usable allocation bitmap");
    std::vector<uint8_t> data;
    if (!Chain(Get32(e + 20), bitmapChain_) || !ReadClusters(bitmapChain_, data)) return false;
    bitmap_.assign(data.begin(), data.begin() + (clusterCount_ + 7) / 8);
    return true;
  }

  bool LoadUpcase() {
    const uint8_t* e = RootEntry(0x82);
    if (!e || !ValidCluster(Get32(e + 20))) return Error("the exFAT volume has no up-case table");
    uint64_t length = Get64(e + 24);
    std::vector<uint32_t> chain;
    std::vector<uint8_t> data;
    if (!Chain(Get32(e + 20), chain) || !ReadClusters(chain, data) || length > data.size())
      return Error("the exFAT up-case table cannot be read");
    // The table maps each character in turn; 0xFFFF n stands for n characters that map to themselves.
    upcase_.clear();
    for (size_t at = 0; at + 1 < length && upcase_.size() < 0x10000; at += 2) {
      uint16_t v = Get16(data.data() + at);
      if (v == 0xFFFF && at + 3 < length) {
        at += 2;
        for (uint16_t n = Get16(data.data() + at); n > 0 && upcase_.size() < 0x10000; --n)
          upcase_.push_back(static_cast<char16_t>(upcase_.size()));
      } else {
        upcase_.push_back(static_cast<char16_t>(v));
      }
    }
    return true;
  }

  bool Used(uint32_t c) const { return (bitmap_[(c - 2) / 8] >> ((c - 2) % 8)) & 1; }
  void MarkUsed(uint32_t c) { bitmap_[(c - 2) / 8] |= static_cast<uint8_t>(1u << ((c - 2) % 8)); }

  // `count` free clusters, one run when there is one, else scattered.
  bool Allocate(uint32_t count, std::vector<uint32_t>& out) {
    out.clear();
    if (count == 0) return true;
    // A run from where the last allocation ended, else from the start: on a
    // fresh volume each search starts at the first free cluster.
    for (uint32_t from : {hint_, 2u}) {
      uint32_t run = 0;
      for (uint32_t c = from; c - 2 < clusterCount_ && out.empty(); ++c) {
        run = Used(c) ? 0 : run + 1;
        if (run == count)
          for (uint32_t k = c + 1 - count; k <= c; ++k) out.push_back(k);
      }
      if (!out.empty() || from == 2) break;
    }
    for (uint32_t c = 2; out.size() < count && c - 2 < clusterCount_; ++c)
      if (!Used(c)) out.push_back(c);
    if (out.size() < count) return Error("the files do not fit on the exFAT volume");
    for (uint32_t c : out) MarkUsed(c);
    hint_ = out.back() + 1;
    return true;
  }
  static bool Contiguous(const std::vector<uint32_t>& clusters) {
    for (size_t i = 1; i < clusters.size(); ++i)
      if (clusters[i] != clusters[i - 1] + 1) return false;
    return true;
  }
  // Scattered clusters get a FAT chain; a run needs none.
  bool LinkIfScattered(const std::vector<uint32_t>& clusters) {
    if (Contiguous(clusters)) return true;
    for (size_t i = 0; i < clusters.size(); ++i)
      if (!SetFat(clusters[i], i + 1 < clusters.size() ? clusters[i + 1] : kEndOfChain)) return false;
    return true;
  }
  bool WriteAcross(const std::vector<uint32_t>& clusters, uint64_t offset, const uint8_t* data, size_t n) {
    while (n > 0) {
      size_t index = static_cast<size_t>(offset / clusterBytes_);
      size_t within = static_cast<size_t>(offset % clusterBytes_);
      size_t part = std::min(n, static_cast<size_t>(clusterBytes_) - within);
      if (!Write(ClusterAt(clusters[index]) + within, data, part)) return false;
      offset += part;
      data += part;
      n -= part;
    }
    return true;
  }

  uint32_t ClustersFor(uint64_t bytes) const { return static_cast<uint32_t>((bytes + clusterBytes_ - 1) / clusterBytes_); }

  bool WriteFile(const TreeEntry& e, std::vector<uint32_t>& clusters) {
    if (e.bytes > static_cast<uint64_t>(clusterCount_) * clusterBytes_)
      return Error(e.hostPath + " does not fit on the exFAT volume");
    if (!Allocate(ClustersFor(e.bytes), clusters) || !LinkIfScattered(clusters)) return false;
    std::ifstream in(e.hostPath, std::ios::binary);
    if (!in) return Error("cannot read " + e.hostPath);
    std::vector<uint8_t> buffer(1 << 20);
    uint64_t done = 0;
    while (done < e.bytes) {
      size_t n = static_cast<size_t>(std::min<uint64_t>(buffer.size(), e.bytes - done));
      if (!in.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(n)))
        return Error("cannot read " + e.hostPath);
      if (!WriteAcross(clusters, done, buffer.data(), n)) return false;
      done += n;
    }
    return true;
  }

  uint16_t NameHash(const std::u16string& name) const {
    uint16_t hash = 0;
    for (char16_t ch : name) {
      char16_t up = ch < upcase_.size() ? upcase_[ch] : ch;
      for (uint8_t b : {static_cast<uint8_t>(up & 0xFF), static_cast<uint8_t>(up >> 8)})
        hash = static_cast<uint16_t>(((hash & 1) ? 0x8000 : 0) + (hash >> 1) + b);
    }
    return hash;
  }

  // The file, stream and name entries of one file or folder.
  bool EntrySet(const TreeEntry& e, const std::vector<uint32_t>& clusters, uint64_t length,
                std::vector<uint8_t>& out) {
    std::u16string name = Utf16(e.name);
    if (name.empty() || name.size() > 255) return Error(e.hostPath + ": the name is too long for exFAT");
    size_t nameEntries = (name.size() + 14) / 15;
    std::vector<uint8_t> set((2 + nameEntries) * kEntry, 0);
    uint8_t* file = set.data();
    file[0] = 0x85;
    file[1] = static_cast<uint8_t>(1 + nameEntries);
    Put16(file + 4, static_cast<uint16_t>(e.folder ? 0x10 : 0x20) | static_cast<uint16_t>(e.attributes));
    uint32_t stamp = Timestamp(e.modified);
    Put32(file + 8, stamp);
    Put32(file + 12, stamp);
    Put32(file + 16, stamp);
    file[22] = file[23] = file[24] = 0x80;  // the times are UTC
    uint8_t* stream = file + kEntry;
    stream[0] = 0xC0;
    stream[1] = static_cast<uint8_t>(0x01 | (!clusters.empty() && Contiguous(clusters) ? 0x02 : 0));
    stream[3] = static_cast<uint8_t>(name.size());
    Put16(stream + 4, NameHash(name));
    Put64(stream + 8, length);
    Put32(stream + 20, clusters.empty() ? 0 : clusters.front());
    Put64(stream + 24, length);
    for (size_t i = 0; i < name.size(); ++i) {
      uint8_t* part = stream + kEntry * (1 + i / 15);
      part[0] = 0xC1;
      Put16(part + 2 + 2 * (i % 15), name[i]);
    }
    uint16_t sum = 0;
    for (size_t i = 0; i < set.size(); ++i) {
      if (i == 2 || i == 3) continue;
      sum = static_cast<uint16_t>(((sum & 1) ? 0x8000 : 0) + (sum >> 1) + set[i]);
    }
    Put16(file + 2, sum);
    out.insert(out.end(), set.begin(), set.end());
    return true;
  }

  // Writes the files and folders below a host folder; `entries` receives
  // their entry sets for the directory that holds them.
  bool WriteChildren(const std::string& hostFolder, std::vector<uint8_t>& entries, int depth) {
    if (depth > 64) return Error(hostFolder + ": folders nested too deeply");
    for (const TreeEntry& e : FolderEntries(hostFolder)) {
      std::vector<uint32_t> clusters;
      uint64_t length = 0;
      if (e.folder) {
        std::vector<uint8_t> inner;
        if (!WriteChildren(e.hostPath, inner, depth + 1)) return false;
        uint32_t count = std::max<uint32_t>(1, ClustersFor(inner.size()));
        length = static_cast<uint64_t>(count) * clusterBytes_;
        inner.resize(length, 0);
        if (!Allocate(count, clusters) || !LinkIfScattered(clusters) ||
            !WriteAcross(clusters, 0, inner.data(), inner.size()))
          return false;
      } else {
        if (!WriteFile(e, clusters)) return false;
        length = e.bytes;
      }
      if (!EntrySet(e, clusters, length, entries)) return false;
    }
    return true;
  }

  // Puts entry sets behind the last entry in use of the root directory,
  // giving the directory more clusters when it is full.
  bool AppendToRoot(const std::vector<uint8_t>& entries) {
    if (entries.empty()) return true;
    size_t end = 0;
    while (end + kEntry <= root_.size() && root_[end] != 0) end += kEntry;
    while (root_.size() < end + entries.size()) {
      std::vector<uint32_t> more;
      if (!Allocate(1, more) || !SetFat(rootChain_.back(), more[0]) || !SetFat(more[0], kEndOfChain)) return false;
      rootChain_.push_back(more[0]);
      root_.resize(root_.size() + clusterBytes_, 0);
    }
    std::copy(entries.begin(), entries.end(), root_.begin() + static_cast<std::ptrdiff_t>(end));
    return WriteAcross(rootChain_, 0, root_.data(), root_.size());
  }

  // The allocation bitmap back to its clusters, and the share in use to the boot sectors.
  bool Finish() {
    std::vector<uint8_t> data(bitmapChain_.size() * clusterBytes_, 0);
    std::copy(bitmap_.begin(), bitmap_.end(), data.begin());
    if (!WriteAcross(bitmapChain_, 0, data.data(), data.size())) return false;
    uint64_t used = 0;
    for (uint32_t c = 2; c - 2 < clusterCount_; ++c) used += Used(c);
    // Outside the boot checksum: the main and the backup boot sector.
    uint8_t percent = static_cast<uint8_t>(used * 100 / clusterCount_);
    return Write(112, &percent, 1) && Write((12ull << sectorShift_) + 112, &percent, 1);
  }

  int fd_ = -1;
  std::string* why_ = nullptr;
  uint32_t fatOffset_ = 0, fatLength_ = 0, heapOffset_ = 0, clusterCount_ = 0, rootCluster_ = 0;
  uint32_t sectorShift_ = 9, fats_ = 1, clusterBytes_ = 0;
  uint32_t hint_ = 2;  // where the next search for free clusters starts
  std::vector<uint32_t> rootChain_, bitmapChain_;
  std::vector<uint8_t> root_, bitmap_;
  std::u16string upcase_;
};

}  // namespace

bool WriteExfatFiles(const std::string& image, const std::string& hostFolder, std::string* why) {
  Volume v;
  return v.Open(image, why) && v.Fill(hostFolder);
}

}  // namespace tvtool
