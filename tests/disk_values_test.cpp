// The disk queries' decoding and arithmetic, on both builds: size texts,
// descriptor texts read inside their buffer, device paths, target entries,
// free space and file sizes in MB.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "disk/big_file_size.h"
#include "disk/bus_type.h"
#include "disk/device_identity.h"
#include "disk/device_path.h"
#include "disk/device_requests.h"
#include "disk/disk_size.h"
#include "disk/disk_space.h"
#include "disk/target_entry.h"
#include "os/device.h"
#include "os/file.h"
#include "os/system.h"
#include "tests/support/test_folder.h"
#include "ui/window_model.h"

namespace {

disk::DiskGeometry Geometry(int64_t cylinders, uint32_t tracks, uint32_t sectors, uint32_t bytes) {
  disk::DiskGeometry g;
  g.cylinders = cylinders;
  g.tracksPerCylinder = tracks;
  g.sectorsPerTrack = sectors;
  g.bytesPerSector = bytes;
  return g;
}

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
void PutText(std::vector<uint8_t>& b, size_t at, const char* text, bool nul = true) {
  size_t n = strlen(text);
  memcpy(b.data() + at, text, n);
  if (nul) b[at + n] = 0;
}

TEST(DeviceNames, ADiskNumberPastEveryDiskOpensNothing) {
  test::TestFolder machine;
  for (const char* name : {"\\\\.\\PhysicalDrive99999999999", "\\\\.\\PhysicalDrive4294967296",
                           "\\\\.\\PhysicalDrive2147483648", "\\\\.\\PhysicalDrive"})
    EXPECT_FALSE(os::OpenDevice(name, 0, 3).IsOpen()) << name;
}

TEST(ControlCodes, BuiltFromTheirParts) {
  EXPECT_EQ(0x002D1400u, disk::CtlCode(0x2D, 0x500, 0, 0));
  EXPECT_EQ(0x002D1080u, disk::CtlCode(0x2D, 0x420, 0, 0));
  EXPECT_EQ(0x00070000u, disk::CtlCode(7, 0, 0, 0));
  EXPECT_EQ(0x00226003u, disk::CtlCode(0x22, 0x800, 3, 1));
}

TEST(DiskSize, UnitIsChosenOnTheExactSizeBeforeRounding) {
  test::TestFolder machine;  // English number format
  EXPECT_EQ("15.00 GB", disk::FormatDiskSize(Geometry(1958, 255, 63, 512)));
  EXPECT_EQ("1.00 MB", disk::FormatDiskSize(Geometry(1, 1, 2048, 512)));
  EXPECT_EQ("1,024.00 KB", disk::FormatDiskSize(Geometry(1, 1, 1, (1u << 20) - 1)));
  EXPECT_EQ("1,024.00 MB", disk::FormatDiskSize(Geometry(1, 1, 1, (1u << 30) - 1)));
  EXPECT_EQ("1.00 TB", disk::FormatDiskSize(Geometry(1, 1, 1024, 1u << 30)));
  EXPECT_EQ("0.13 KB", disk::FormatDiskSize(Geometry(1, 1, 1, 128)));  // 0.125: half away from zero
  EXPECT_EQ("28.89 GB", disk::FormatDiskSize(Geometry(3772, 255, 63, 512)));
}

TEST(NumberFormat, TheWholeDigitGroupingOfTheUserCounts) {
  test::TestFolder machine;
  {
    test::ScopedDigitGrouping indian("3;2;0");  // three, then twos
    EXPECT_EQ("12,34,56,789.50", os::FormatNumber("123456789.5", 2));
    EXPECT_EQ("1,024.00", os::FormatNumber("1024", 2));
  }
  {
    test::ScopedDigitGrouping once("3");  // three, then the rest in one group
    EXPECT_EQ("123456,789.00", os::FormatNumber("123456789", 2));
  }
  {
    test::ScopedDigitGrouping none("0");
    EXPECT_EQ("123456789.00", os::FormatNumber("123456789", 2));
  }
  test::ScopedDigitGrouping threes("3;0");
  EXPECT_EQ("123,456,789.00", os::FormatNumber("123456789", 2));
}

TEST(DiskSize, ComputedExactlyEvenWhereADoubleWouldRoundUp) {
  test::TestFolder machine;
  // 5,000,000.125 TB less one byte: a double holds it as 5,000,000.125.
  const int64_t bytes = 5000000LL * (1LL << 40) + (1LL << 37) - 1;
  EXPECT_EQ("5,000,000.12 TB", disk::FormatDiskSize(Geometry(bytes, 1, 1, 1)));
  EXPECT_EQ("1023.9990234375", disk::ExactQuotientText((1u << 20) - 1, 10));
  EXPECT_EQ("7", disk::ExactQuotientText(uint64_t{7} << 30, 30));
}

TEST(DiskSize, EmptyOrImpossibleGeometriesReadAsNoDisk) {
  test::TestFolder machine;
  EXPECT_EQ("0.00 KB", disk::FormatDiskSize(disk::DiskGeometry{}));
  EXPECT_EQ("0.00 KB", disk::FormatDiskSize(Geometry(-5, 255, 63, 512)));
  EXPECT_EQ("0.00 KB", disk::FormatDiskSize(Geometry(INT64_MAX, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF)));
  EXPECT_EQ(0u, disk::DiskSizeBytes(Geometry(1LL << 40, 1 << 12, 1 << 12, 1)));  // 2^64
  EXPECT_EQ(uint64_t{1} << 63, disk::DiskSizeBytes(Geometry(1LL << 39, 1 << 12, 1 << 12, 1)));
  // A device that is not open (the invalid handle) answers all zeros.
  disk::DiskGeometry none = disk::GetDriveGeometry(os::Device());
  EXPECT_EQ(0, none.cylinders);
  EXPECT_EQ(0u, none.bytesPerSector);
}

TEST(ReadAnsiZ, NeverReadsOutsideTheBuffer) {
  test::TestFolder machine;  // code page 1252
  std::vector<uint8_t> b(16, 0);
  PutText(b, 2, "  Kingston  ");
  EXPECT_EQ("Kingston", disk::ReadAnsiZ(b, 2));
  EXPECT_EQ("", disk::ReadAnsiZ(b, 15));   // a NUL
  EXPECT_EQ("", disk::ReadAnsiZ(b, 16));   // at the end
  EXPECT_EQ("", disk::ReadAnsiZ(b, SIZE_MAX));
  PutText(b, 12, "ABCD", false);           // runs to the end without a NUL
  EXPECT_EQ("ABCD", disk::ReadAnsiZ(b, 12));
  EXPECT_EQ("", disk::ReadAnsiZ({}, 0));
}

TEST(DeviceIdentity, DecodedFromADescriptorAnswer) {
  test::TestFolder machine;
  std::vector<uint8_t> a(disk::kIdentityAnswerBytes, 0);
  Put32(a, 16, 40);
  Put32(a, 20, 60);
  Put32(a, 12, 0);  // no vendor
  a[10] = 1;
  Put32(a, 28, 7);
  PutText(a, 40, "Flash Disk      ");
  PutText(a, 60, "8.07");
  disk::DeviceIdentity id = disk::DecodeDeviceIdentity(a);
  EXPECT_TRUE(id.valid);
  EXPECT_EQ(7, id.busType);
  EXPECT_TRUE(id.removable);
  EXPECT_EQ("", id.vendorId);
  EXPECT_EQ("Flash Disk", id.productId);
  EXPECT_EQ("8.07", id.productRevision);
}

TEST(DeviceIdentity, HostileOffsetsAndBusTypesStayHarmless) {
  test::TestFolder machine;  // code page 1252
  std::vector<uint8_t> a(disk::kIdentityAnswerBytes, 0xAB);  // no NUL anywhere
  Put32(a, 4, 0xFFFFFFFF);   // Size
  Put32(a, 12, 0xFFFFFFFF);  // vendor far outside
  Put32(a, 16, 10000);       // product just past the end
  Put32(a, 20, 9999);        // revision: one byte before the end, no NUL
  Put32(a, 28, 0xFFFF);
  disk::DeviceIdentity id = disk::DecodeDeviceIdentity(a);
  EXPECT_TRUE(id.valid);
  EXPECT_EQ("", id.vendorId);
  EXPECT_EQ("", id.productId);
  EXPECT_EQ("\xC2\xAB", id.productRevision);  // the one byte before the end, converted
  EXPECT_NE(disk::kBusTypeUsb, id.busType);

  // Only the whole field 7 is USB; a larger value with 7 in its low half is not.
  std::vector<uint8_t> d(40, 0);
  Put32(d, 28, 0x00010007);
  EXPECT_NE(disk::kBusTypeUsb, disk::BusTypeOf(d));
  Put32(d, 28, 7);
  EXPECT_EQ(disk::kBusTypeUsb, disk::BusTypeOf(d));
  EXPECT_EQ(0, disk::BusTypeOf(std::vector<uint8_t>(28, 0xFF)));  // an answer too short for the field
  // A descriptor cut inside its fixed part decodes with zeros for the rest.
  disk::DeviceIdentity cut = disk::DecodeDeviceIdentity(std::vector<uint8_t>(11, 0x01));
  EXPECT_TRUE(cut.removable);
  EXPECT_EQ(0, cut.busType);
  EXPECT_EQ("", cut.vendorId);
}

TEST(DevicePath, PrefixesAndOneTrailingSlash) {
  EXPECT_EQ("\\\\.\\E:", disk::DevicePathOf("E:\\"));
  EXPECT_EQ("\\\\.\\E:", disk::DevicePathOf("E:"));
  EXPECT_EQ("\\\\?\\Volume{1b2c}", disk::DevicePathOf("Volume{1b2c}\\"));
  EXPECT_EQ("\\\\?\\disk{9}x", disk::DevicePathOf("disk{9}x"));
  EXPECT_EQ("\\\\.\\Volume{open", disk::DevicePathOf("Volume{open"));
  EXPECT_EQ("\\\\.\\E:", disk::DevicePathOf("\\\\.\\E:\\"));
  EXPECT_EQ("\\\\?\\E:\\", disk::DevicePathOf("\\\\?\\E:\\/"));
  EXPECT_EQ("\\\\.\\PhysicalDrive1", disk::DevicePathOf("PhysicalDrive1"));
  EXPECT_EQ("E:\\", disk::StripTrailingSlash("E:\\\\"));
  EXPECT_EQ("", disk::StripTrailingSlash("/"));
  EXPECT_EQ("", disk::StripTrailingSlash(""));
}

TEST(TargetEntry, ReadersFindTheWholeNumberAndTheLetters) {
  EXPECT_EQ("HD1: Generic Flash Disk (28.89 GB, E:)", disk::MakeTargetEntry("1", "Generic Flash Disk", "28.89 GB", "E:"));
  std::string e = disk::AddEntryLetter(disk::MakeTargetEntry("12", "X", "1.00 GB", "E:"), "F:");
  EXPECT_EQ("HD12: X (1.00 GB, E:;F:)", e);
  EXPECT_EQ(12, disk::EntryDiskNumber(e));
  EXPECT_EQ("E:;F:)", disk::EntryLettersPiece(e));
  EXPECT_EQ((std::vector<std::string>{"E:", "F:"}), disk::EntryLetters(e));
  EXPECT_EQ(0, disk::EntryDiskNumber("HD0: Y (1.00 GB, C:)"));
  EXPECT_EQ(std::nullopt, disk::EntryDiskNumber("HD: Y (1.00 GB, C:)"));
  EXPECT_EQ(std::nullopt, disk::EntryDiskNumber("HD1x: Y"));
  EXPECT_EQ(std::nullopt, disk::EntryDiskNumber("HD1"));
  EXPECT_EQ(std::nullopt, disk::EntryDiskNumber("XD1: Y"));
  EXPECT_EQ(std::nullopt, disk::EntryDiskNumber("HD32768: Y (1 GB, E:)"));   // does not fit 16 bits
  EXPECT_EQ(std::nullopt, disk::EntryDiskNumber("HD4294967303: Y (1 GB, E:)"));
  EXPECT_EQ(32767, disk::EntryDiskNumber("HD32767: Y"));
  EXPECT_TRUE(disk::EntryLetters("HD1: no letters piece").empty());
}

TEST(TargetEntry, DeviceTextsCannotMoveTheLetters) {
  std::string e = disk::MakeTargetEntry("3", "ACME, Inc. (Disk; v2)\r\n", "7.50 GB", "G:");
  EXPECT_EQ("HD3: ACME Inc. Disk v2 (7.50 GB, G:)", e);
  EXPECT_EQ((std::vector<std::string>{"G:"}), disk::EntryLetters(e));
  // A regional grouping sign of ", " in the size text must not split it either.
  e = disk::AddEntryLetter(disk::MakeTargetEntry("3", "M", "1, 024.00 MB", "G:"), "H:");
  EXPECT_EQ((std::vector<std::string>{"G:", "H:"}), disk::EntryLetters(e));
  EXPECT_EQ("", disk::CleanModelText(" , ; ( ) "));
}

TEST(TargetEntry, FoundByTheWholeNumberNotBySubstring) {
  ui::WindowModel w;
  const auto kList = os::Control::kRDriver;
  w.ListAdd(kList, "HD10: Generic Flash Disk (7.00 GB, E:)");
  w.ListAdd(kList, "HD2: Odd HD1: Model (7.00 GB, F:)");
  w.ListAdd(kList, "HD1: Generic Flash Disk (7.00 GB, G:)");
  w.SetListIndex(kList, 0);
  EXPECT_EQ(2, disk::FindTargetEntry(w, 1));
  EXPECT_EQ(0, disk::FindTargetEntry(w, 10));
  EXPECT_EQ(-1, disk::FindTargetEntry(w, 5));
  disk::SelectTargetEntry(w, 1);
  EXPECT_EQ(2, w.ListIndex(kList));
  disk::SelectTargetEntry(w, 5);  // none: the selection stays
  EXPECT_EQ(2, w.ListIndex(kList));
}

TEST(BigFileSize, NearestMBWithHalvesToEven) {
  EXPECT_EQ(2048, disk::BytesToNearestMB(1ull << 31));
  EXPECT_EQ(4813, disk::BytesToNearestMB(5046586573ull));  // 4.7 × 2^30 bytes
  EXPECT_EQ(0, disk::BytesToNearestMB(1ull << 19));        // 0.5
  EXPECT_EQ(1, disk::BytesToNearestMB((1ull << 19) + 1));
  EXPECT_EQ(2, disk::BytesToNearestMB(3ull << 19));        // 1.5
  EXPECT_EQ(2, disk::BytesToNearestMB(5ull << 19));        // 2.5
  EXPECT_EQ(INT32_MAX, disk::BytesToNearestMB(UINT64_MAX));
}

TEST(BigFileSize, FilesBeyondTwoGigabytes) {
  test::TestFolder f;
  auto sized = [&](const char* name, uint64_t size) {
    os::File file = os::File::Open(f.Path(name), os::File::Mode::kCreateTruncate);
    EXPECT_TRUE(file.IsOpen() && file.SetLength(size));  // sparse: no data is written
    return f.Path(name);
  };
  EXPECT_EQ(2048, disk::GetBigFileSizeMB(sized("two.iso", 1ull << 31)));
  EXPECT_EQ(4813, disk::GetBigFileSizeMB(sized("dvd.iso", 5046586573ull)));
  EXPECT_EQ(0, disk::GetBigFileSizeMB(sized("half.7z", 1ull << 19)));
  EXPECT_EQ(0, disk::GetBigFileSizeMB(f.Path("missing.iso")));
  EXPECT_EQ(0, disk::GetBigFileSizeMB(f.Root()));  // a folder is no file
}

TEST(DiskSpace, MegabytesToFourPlacesThenRoundedDown) {
  os::FreeSpaceInfo info;
  info.sectorsPerCluster = 8;
  info.bytesPerSector = 512;
  info.totalClusters = 2560;  // 10 MB
  info.freeClusters = 384;    // 1.5 MB
  EXPECT_EQ(10, disk::SpaceMB(info, disk::kSpaceTotal));
  EXPECT_EQ(1, disk::SpaceMB(info, disk::kSpaceFree));
  EXPECT_EQ(8, disk::SpaceMB(info, disk::kSpaceUsed));
  EXPECT_EQ(0, disk::SpaceMB(info, 7));
  EXPECT_EQ(0, disk::SpaceMB(info, 0));
  // 1 MB and one byte free of 10 MB: 1.0000 at four places, so 9 MB used
  // (8.99999905 would round down to 8).
  info = {1, 1, 1048577, 10485760};
  EXPECT_EQ(9, disk::SpaceMB(info, disk::kSpaceUsed));
  EXPECT_EQ(1, disk::SpaceMB(info, disk::kSpaceFree));
}

TEST(DiskSpace, ExtremeAnswersNeitherOverflowNorGoNegative) {
  os::FreeSpaceInfo info{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
  EXPECT_EQ(INT32_MAX, disk::SpaceMB(info, disk::kSpaceTotal));
  EXPECT_EQ(0, disk::SpaceMB(info, disk::kSpaceUsed));
  info = {8, 512, 100, 10};  // more free than total
  EXPECT_EQ(0, disk::SpaceMB(info, disk::kSpaceUsed));
  EXPECT_EQ(0, disk::SpaceMB(os::FreeSpaceInfo{}, disk::kSpaceTotal));
  // 2^32 clusters of 1 MB: 4 PB, beyond 32 bits of MB.
  info = {256, 4096, 0, 0xFFFFFFFF};
  EXPECT_EQ(INT32_MAX, disk::SpaceMB(info, disk::kSpaceTotal));
}

}  // namespace
