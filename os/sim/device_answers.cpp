#include "os/sim/device_answers.h"

#include <algorithm>
#include <cstring>

namespace os::sim {
namespace {

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
void Put64(std::vector<uint8_t>& b, size_t at, uint64_t v) {
  for (int i = 0; i < 8; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

std::string Pad(std::string text, size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The bytes of a hex text; it ends at the first pair that is not hex, so a
// description changed by hand can never make a request throw.
std::vector<uint8_t> FromHex(const std::string& hex) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    int high = HexDigit(hex[i]), low = HexDigit(hex[i + 1]);
    if (high < 0 || low < 0) break;
    out.push_back(static_cast<uint8_t>(high * 16 + low));
  }
  return out;
}

std::vector<uint8_t> Geometry(int64_t cylinders, uint32_t mediaType, uint32_t heads, uint32_t sectors, uint32_t bytes) {
  std::vector<uint8_t> g(24, 0);
  Put64(g, 0, static_cast<uint64_t>(cylinders));
  Put32(g, 8, mediaType);
  Put32(g, 12, heads);
  Put32(g, 16, sectors);
  Put32(g, 20, bytes);
  return g;
}

bool QueryProperty(const DeviceTarget& t, std::span<const uint8_t> in, size_t outSize, std::vector<uint8_t>& answer) {
  if (in.size() < 8) return false;
  uint32_t propertyId = in[0] | in[1] << 8 | in[2] << 16 | static_cast<uint32_t>(in[3]) << 24;
  uint32_t queryType = in[4] | in[5] << 8 | in[6] << 16 | static_cast<uint32_t>(in[7]) << 24;
  if (propertyId != 0 || queryType != 0) return false;  // only the standard device property
  if (outSize < 8) return false;                        // smaller than the descriptor header
  if (t.disk) {
    answer = t.disk->descriptorHex.empty()
                 ? StorageDescriptor(0, t.disk->removable, t.disk->bus, t.disk->vendor, t.disk->product,
                                     t.disk->revision, t.disk->serial)
                 : FromHex(t.disk->descriptorHex);
    // Some drivers refuse a buffer that the whole descriptor does not fit.
    return !(t.disk->shortAnswerFails && outSize < answer.size());
  }
  if (t.volume.kind == Volume::Kind::kCdrom) {
    const Drive& d = *t.volume.drive;
    answer = StorageDescriptor(5, true, d.bus, d.vendor, d.product, "", "");
    return true;
  }
  return false;  // a drive that is only a folder has no storage device
}

bool DriveGeometry(const DeviceTarget& t, size_t outSize, std::vector<uint8_t>& answer) {
  if (outSize < 24) return false;
  if (t.disk) {
    const Disk& d = *t.disk;
    if (d.geometryFault == "fail") return false;
    if (d.geometryFault == "zero") {
      answer.assign(24, 0);
      return true;
    }
    if (!d.media) return false;  // not ready: no medium in the reader
    answer = Geometry(d.cylinders, d.removable ? 11 : 12, d.heads, d.sectorsPerTrack, d.bytesPerSector);
    return true;
  }
  if (t.volume.kind == Volume::Kind::kCdrom) {
    const Drive& d = *t.volume.drive;
    if (d.folder.empty()) return false;
    answer = Geometry(static_cast<int64_t>(d.sizeBytes / (64 * 32 * 2048)), 11, 64, 32, 2048);
    return true;
  }
  return false;
}

bool DeviceNumber(const DeviceTarget& t, size_t outSize, std::vector<uint8_t>& answer) {
  if (outSize < 12) return false;
  answer.assign(12, 0);
  if (t.volume.kind == Volume::Kind::kCdrom) {
    const Drive& d = *t.volume.drive;
    Put32(answer, 0, d.dvd ? 0x33 : 2);
    Put32(answer, 4, static_cast<uint32_t>(d.deviceNumber));
    Put32(answer, 8, 0xFFFFFFFFu);  // cannot be partitioned
    return true;
  }
  if (!t.disk || t.disk->numberFault == "fail") return false;
  Put32(answer, 0, 7);  // FILE_DEVICE_DISK
  Put32(answer, 4, static_cast<uint32_t>(t.disk->number));
  Put32(answer, 8, static_cast<uint32_t>(t.volume.kind == Volume::Kind::kPartition ? t.volume.partitionNumber : 0));
  return true;
}

// DRIVE_LAYOUT_INFORMATION_EX of an MBR disk: a 48-byte header and four
// 144-byte PARTITION_INFORMATION_EX entries (the table's slots, unused ones
// zero), as Windows answers for an MBR disk. Only the disk device answers.
bool DriveLayout(const DeviceTarget& t, size_t outSize, std::vector<uint8_t>& answer) {
  if (!t.disk || t.volume.Exists() || !t.disk->media) return false;
  const Disk& d = *t.disk;
  size_t slots = std::max<size_t>(4, d.partitions.size());
  size_t bytes = 48 + 144 * slots;
  if (outSize < bytes) return false;  // ERROR_INSUFFICIENT_BUFFER
  answer.assign(bytes, 0);
  Put32(answer, 0, 0);  // PARTITION_STYLE_MBR
  Put32(answer, 4, static_cast<uint32_t>(slots));
  for (size_t i = 0; i < d.partitions.size(); ++i) {
    const Partition& p = d.partitions[i];
    size_t at = 48 + 144 * i;
    Put64(answer, at + 8, p.start * kSectorBytes);
    Put64(answer, at + 16, p.Bytes());
    Put32(answer, at + 24, static_cast<uint32_t>(i + 1));
    answer[at + 32] = p.type;
    answer[at + 33] = p.active ? 1 : 0;
    answer[at + 34] = 1;  // a type Windows knows
    Put32(answer, at + 36, static_cast<uint32_t>(p.start));
  }
  return true;
}

// The length of the disk device, or of the partition behind a volume; a
// reader without a medium has none.
bool LengthInfo(const DeviceTarget& t, size_t outSize, std::vector<uint8_t>& answer) {
  if (outSize < 8) return false;
  uint64_t bytes = 0;
  if (t.volume.kind == Volume::Kind::kPartition) bytes = t.volume.partition->Bytes();
  else if (t.volume.kind == Volume::Kind::kNone && t.disk && t.disk->media) bytes = t.disk->sizeBytes;
  else return false;
  answer.assign(8, 0);
  Put64(answer, 0, bytes);
  return true;
}

}  // namespace

std::vector<uint8_t> StorageDescriptor(uint8_t deviceType, bool removable, int bus, const std::string& vendor,
                                       const std::string& product, const std::string& revision,
                                       const std::string& serial) {
  std::vector<uint8_t> d(40, 0);
  auto addText = [&](const std::string& text, size_t offsetField) {
    if (text.empty()) return;  // offset stays 0
    Put32(d, offsetField, static_cast<uint32_t>(d.size()));
    d.insert(d.end(), text.begin(), text.end());
    d.push_back(0);
  };
  addText(vendor.empty() ? "" : Pad(vendor, 8), 12);
  addText(product.empty() ? "" : Pad(product, 16), 16);
  addText(revision.empty() ? "" : Pad(revision, 4), 20);
  addText(serial, 24);
  Put32(d, 0, 40);  // Version: the structure's size
  Put32(d, 4, static_cast<uint32_t>(d.size()));
  d[8] = deviceType;
  d[10] = removable ? 1 : 0;
  Put32(d, 28, static_cast<uint32_t>(bus));
  return d;
}

bool AnswerRequest(const DeviceTarget& target, uint32_t code, std::span<const uint8_t> in, size_t outSize,
                   std::vector<uint8_t>& answer) {
  switch (code) {
    case kIoctlStorageQueryProperty: return QueryProperty(target, in, outSize, answer);
    case kIoctlDiskGetDriveGeometry: return DriveGeometry(target, outSize, answer);
    case kIoctlStorageGetDeviceNumber: return DeviceNumber(target, outSize, answer);
    case kIoctlDiskGetDriveLayoutEx: return DriveLayout(target, outSize, answer);
    case kIoctlDiskGetLengthInfo: return LengthInfo(target, outSize, answer);
    default: return false;
  }
}

}  // namespace os::sim
