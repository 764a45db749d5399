// Device queries against the simulated machine's disks and drives: bus,
// identity, geometry and disk numbers behind drive letters, and devices
// that answer badly.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "disk/bus_type.h"
#include "disk/device_identity.h"
#include "disk/device_number.h"
#include "disk/device_path.h"
#include "disk/disk_size.h"
#include "tests/support/disk_machines.h"
#include "tests/support/sim_machine.h"

namespace {

using Texts = disk::DeviceNumberTexts;

std::string SizeOf(const std::string& volume) {
  return disk::FormatDiskSize(disk::GetDriveGeometry(disk::OpenDevicePath(volume, false)));
}

TEST(DiskQueries, UsbSticksWithOneAndTwoVolumes) {
  test::SimMachine m([](os::sim::Machine& mm) {
    test::AddUsbStick(mm, 1, "E");
    test::AddUsbStick(mm, 2, "GF", 16ull << 30);  // partition 1 is G:, partition 2 is F:
  });
  EXPECT_EQ("7", disk::GetBusType("E:"));
  EXPECT_EQ("1", disk::GetDiskNumOfLetter("E:", false));
  EXPECT_EQ("1", disk::GetDiskNumOfLetter("E:", true));
  EXPECT_EQ("2", disk::GetDiskNumOfLetter("F:", false));
  EXPECT_EQ("2", disk::GetDiskNumOfLetter("F:", true));
  EXPECT_EQ("1", disk::GetDiskNumOfLetter("G:", true));
  EXPECT_EQ((Texts{"7", "2", "2"}), disk::GetDeviceNumber("F:\\"));
  EXPECT_EQ((Texts{"7", "2", "2"}), disk::GetDeviceNumber("\\\\.\\F:"));

  disk::DeviceIdentity id = disk::GetDeviceIdentity("E:");
  EXPECT_TRUE(id.valid);
  EXPECT_EQ(7, id.busType);
  EXPECT_TRUE(id.removable);
  EXPECT_EQ("Generic", id.vendorId);  // padding removed
  EXPECT_EQ("Flash Disk", id.productId);
  EXPECT_EQ("1.00", id.productRevision);
  EXPECT_EQ("32.00 GB", SizeOf("E:"));
  EXPECT_EQ("15.99 GB", SizeOf("F:"));
}

TEST(DiskQueries, UsbHardDiskSdCardAndInternalDisk) {
  test::SimMachine m([](os::sim::Machine& mm) {
    test::AddInternalDisk(mm, 0, "D");
    test::AddUsbHardDisk(mm, 1, "HI");
    test::AddSdCard(mm, 2, "J");
  });
  EXPECT_EQ("11", disk::GetBusType("D:"));
  EXPECT_EQ("7", disk::GetBusType("H:"));
  EXPECT_EQ("12", disk::GetBusType("J:"));
  EXPECT_FALSE(disk::GetDeviceIdentity("H:").removable);
  EXPECT_TRUE(disk::GetDeviceIdentity("J:").removable);
  EXPECT_EQ("", disk::GetDeviceIdentity("J:").vendorId);
  EXPECT_EQ("SD Card", disk::GetDeviceIdentity("J:").productId);
  EXPECT_EQ("0", disk::GetDiskNumOfLetter("D:", false));
  EXPECT_EQ("2", disk::GetDiskNumOfLetter("I:", true));
  EXPECT_EQ("499.99 GB", SizeOf("I:"));
}

TEST(DiskQueries, CdDvdAndNetworkDrivesAreNoDisks) {
  test::SimMachine m([](os::sim::Machine& mm) {
    test::AddCdDrive(mm, 'E', false, 0, true);
    test::AddCdDrive(mm, 'F', true, 1, false);
    test::AddNetworkDrive(mm, 'Z');
  });
  EXPECT_EQ((Texts{"2", "0", "0"}), disk::GetDeviceNumber("E:"));  // -1 from the device becomes 0
  EXPECT_EQ((Texts{"51", "1", "0"}), disk::GetDeviceNumber("F:"));
  EXPECT_EQ("", disk::GetDiskNumOfLetter("E:", false));
  EXPECT_EQ("", disk::GetDiskNumOfLetter("F:", true));
  EXPECT_EQ("2", disk::GetBusType("E:"));
  EXPECT_EQ("0.00 KB", SizeOf("F:"));  // no disc

  // The network drive has no device to open; nor has a letter that is not there.
  for (const char* volume : {"Z:", "Q:"}) {
    EXPECT_EQ("", disk::GetBusType(volume));
    EXPECT_FALSE(disk::GetDeviceIdentity(volume).valid);
    EXPECT_EQ((Texts{"", "", ""}), disk::GetDeviceNumber(volume));
    EXPECT_EQ("", disk::GetDiskNumOfLetter(volume, false));
  }
  // C: is a folder without a storage device: open, but no answers.
  EXPECT_EQ("0", disk::GetBusType("C:"));
  EXPECT_FALSE(disk::GetDeviceIdentity("C:").valid);
}

TEST(DiskQueries, CardReaderWithoutACard) {
  test::SimMachine m([](os::sim::Machine& mm) {
    test::AddEmptyCardReader(mm, 1, 'E');           // not ready: the request fails
    test::AddEmptyCardReader(mm, 2, 'F', test::kBusUsb, "zero");
    test::AddEmptyCardReader(mm, 3, 'G', test::kBusSd, "fail");
  });
  for (const char* volume : {"E:", "F:", "G:"}) {
    SCOPED_TRACE(volume);
    EXPECT_EQ("0.00 KB", SizeOf(volume));
    EXPECT_TRUE(disk::GetDeviceIdentity(volume).valid);  // the reader still answers who it is
  }
  EXPECT_EQ("Generic- SD/MMC", disk::GetDeviceIdentity("E:").vendorId + " " + disk::GetDeviceIdentity("E:").productId);
}

TEST(DiskQueries, BusTypeOfADriverThatRefusesAShortBuffer) {
  // The whole descriptor with its texts must fit, or this driver answers
  // nothing: a USB stick would then be no USB disk and never be listed.
  test::SimMachine m([](os::sim::Machine& mm) {
    test::AddUsbStick(mm, 1, "E");
    mm.disks.back().shortAnswerFails = true;
    mm.disks.back().product = std::string(200, 'P');  // a long product text
  });
  EXPECT_EQ("7", disk::GetBusType("E:"));
}

TEST(DiskQueries, TwoDigitDiskNumbers) {
  test::SimMachine m([](os::sim::Machine& mm) {
    test::AddUsbStick(mm, 1, "E");
    test::AddUsbStick(mm, 2, "F");
    test::AddUsbStick(mm, 10, "G");
    test::AddUsbStick(mm, 11, "HI");
    test::AddUsbStick(mm, 12, "J");
  });
  EXPECT_EQ("10", disk::GetDiskNumOfLetter("G:", false));
  EXPECT_EQ("11", disk::GetDiskNumOfLetter("I:", false));
  EXPECT_EQ("2", disk::GetDiskNumOfLetter("I:", true));
  EXPECT_EQ("12", disk::GetDiskNumOfLetter("J:", false));
  EXPECT_EQ((Texts{"7", "12", "0"}), disk::GetDeviceNumber("\\\\.\\PhysicalDrive12"));
}

TEST(DiskQueries, ADeviceThatDoesNotTellItsNumber) {
  test::SimMachine m([](os::sim::Machine& mm) { test::AddUsbStick(mm, 1, "E").numberFault = "fail"; });
  EXPECT_EQ((Texts{"", "", ""}), disk::GetDeviceNumber("E:"));
  EXPECT_EQ("", disk::GetDiskNumOfLetter("E:", false));
  EXPECT_EQ("7", disk::GetBusType("E:"));
}

// --- Hostile descriptors -----------------------------------------------------

std::string Hex(const std::vector<uint8_t>& bytes) {
  std::string out;
  char two[3];
  for (uint8_t b : bytes) {
    snprintf(two, sizeof two, "%02x", b);
    out += two;
  }
  return out;
}

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

TEST(DiskQueries, HostileDescriptorsAreReadWithinTheAnswer) {
  // Longer than the answer buffer, every offset at an edge, no NUL at all.
  std::vector<uint8_t> big(10050, 'x');
  Put32(big, 0, 0xFFFFFFFF);
  Put32(big, 4, 0xFFFFFFFF);  // Size
  big[10] = 1;
  Put32(big, 12, 0xFFFFFFFF);  // vendor
  Put32(big, 16, 9999);        // product: the buffer's last byte, no NUL after it
  Put32(big, 20, 10000);       // revision: just past the buffer
  Put32(big, 28, 0xFFFF);      // BusType
  // Offsets of 0 and a descriptor shorter than its fixed part.
  std::vector<uint8_t> shortOne(12, 0);
  shortOne[10] = 1;
  // The USB value in the low half only.
  std::vector<uint8_t> wide(40, 0);
  Put32(wide, 28, 0x00010007);

  test::SimMachine m([&](os::sim::Machine& mm) {
    test::AddUsbStick(mm, 1, "E").descriptorHex = Hex(big);
    test::AddUsbStick(mm, 2, "F").descriptorHex = Hex(shortOne);
    test::AddUsbStick(mm, 3, "G").descriptorHex = Hex(wide);
  });
  disk::DeviceIdentity e = disk::GetDeviceIdentity("E:");
  EXPECT_TRUE(e.valid);
  EXPECT_EQ("", e.vendorId);
  EXPECT_EQ("x", e.productId);
  EXPECT_EQ("", e.productRevision);
  EXPECT_TRUE(e.removable);
  EXPECT_EQ("65535", disk::GetBusType("E:"));

  disk::DeviceIdentity f = disk::GetDeviceIdentity("F:");
  EXPECT_TRUE(f.valid);
  EXPECT_EQ(0, f.busType);
  EXPECT_EQ("", f.productId);
  EXPECT_EQ("0", disk::GetBusType("F:"));

  EXPECT_EQ("65543", disk::GetBusType("G:"));
  EXPECT_NE(7, disk::GetDeviceIdentity("G:").busType);
  // The disks are still told apart by number, untouched by the answers.
  EXPECT_EQ("1", disk::GetDiskNumOfLetter("E:", false));
  EXPECT_EQ("3", disk::GetDiskNumOfLetter("G:", false));
}

TEST(DiskQueries, HostileGeometries) {
  test::SimMachine m([](os::sim::Machine& mm) {
    os::sim::Disk& a = test::AddUsbStick(mm, 1, "E");
    a.cylinders = INT64_MAX;
    a.heads = a.sectorsPerTrack = a.bytesPerSector = 0xFFFFFFFF;
    os::sim::Disk& b = test::AddUsbStick(mm, 2, "F");
    b.cylinders = -1;
  });
  EXPECT_EQ("0.00 KB", SizeOf("E:"));
  EXPECT_EQ("0.00 KB", SizeOf("F:"));
}

TEST(DiskQueries, SizeFollowsTheRegionalNumberFormat) {
  test::SimMachine m([](os::sim::Machine& mm) {
    mm.decimalSep = ",";
    mm.groupSep = ".";
    test::AddUsbStick(mm, 1, "E", 1020ull << 30);
  });
  EXPECT_EQ("1.020,00 GB", SizeOf("E:"));
}

}  // namespace
