#include "os/drives.h"

#include <windows.h>

#include "os/win32/wide.h"

namespace os {
namespace {

// The volume calls want a root with its backslash; callers give "E:" too.
std::wstring Root(std::string_view root) {
  std::wstring r = win32::Wide(root);
  if (!r.empty() && r.back() != L'\\' && r.back() != L'/') r += L'\\';
  return r;
}

}  // namespace

uint32_t DriveType(std::string_view root) { return GetDriveTypeW(win32::Wide(root).c_str()); }

bool VolumeInformation(std::string_view root, VolumeInfo& info) {
  wchar_t name[MAX_PATH + 1] = {};
  wchar_t fs[MAX_PATH + 1] = {};
  DWORD serial = 0, maxLen = 0, flags = 0;
  BOOL ok = GetVolumeInformationW(Root(root).c_str(), name, MAX_PATH + 1, &serial, &maxLen, &flags, fs, MAX_PATH + 1);
  info = VolumeInfo{};
  if (!ok) return false;
  info.label = win32::Utf8(name);
  info.fileSystem = win32::Utf8(fs);
  info.serial = serial;
  info.maxComponentLength = maxLen;
  info.flags = flags;
  return true;
}

bool SetLabel(std::string_view root, std::string_view label) {
  return SetVolumeLabelW(Root(root).c_str(), win32::Wide(label).c_str()) != FALSE;
}

bool FreeSpace(std::string_view root, FreeSpaceInfo& info) {
  DWORD spc = 0, bps = 0, freeC = 0, totalC = 0;
  info = FreeSpaceInfo{};
  if (!GetDiskFreeSpaceW(Root(root).c_str(), &spc, &bps, &freeC, &totalC)) return false;
  info.sectorsPerCluster = spc;
  info.bytesPerSector = bps;
  info.freeClusters = freeC;
  info.totalClusters = totalC;
  return true;
}

}  // namespace os
