#include "tools/tvtool/fs_writers.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

#include "os/sim/sim.h"
#include "sys/text.h"
#include "tools/tvtool/exfat_writer.h"
#include "tools/tvtool/fs_tree.h"
#include "tools/tvtool/host_run.h"

namespace tvtool {
namespace {

struct Tool {
  const char* program;
  const char* package;  // the Debian package that brings it
};

std::vector<Tool> ToolsFor(const std::string& fs) {
  if (fs == "FAT32" || fs == "FAT")
    return {{"mkfs.fat", "dosfstools"}, {"mmd", "mtools"}, {"mcopy", "mtools"}, {"mattrib", "mtools"}};
  if (fs == "exFAT") return {{"mkfs.exfat", "exfatprogs"}};
  if (fs == "NTFS") return {{"mkntfs", "ntfs-3g"}, {"tvntfs", "ntfs-3g-dev, for building tvntfs"}};
  return {};
}

std::string ToolPath(const std::string& program) {
  if (program == "tvntfs") {
    std::string own = os::sim::ToolsFolder() + "/tvntfs";
    return access(own.c_str(), X_OK) == 0 ? own : "";
  }
  return FindHostProgram(program);
}

// Runs a tool; on failure *why gets the tool's name and what it said.
bool Run(const std::vector<std::string>& argv, std::string* why) {
  std::string said;
  int rc = RunHostQuiet(argv, &said);
  if (rc == 0) return true;
  if (why) *why = argv[0] + " failed" + (said.empty() ? "" : ": " + said);
  return false;
}

// A FAT label as mkfs.fat takes it: upper case ASCII, none of the characters
// FAT forbids, 11 at most; "" for none.
std::string FatLabel(const std::string& label) {
  std::string out;
  for (char c : sys::UpperAscii(label)) {
    unsigned char u = static_cast<unsigned char>(c);
    if (out.size() == 11) break;
    out += (u < 0x20 || u >= 0x7F || std::string("\"*+,./:;<=>?[\\]|").find(c) != std::string::npos) ? '_' : c;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

bool CopyFat(const std::string& image, const std::string& hostFolder, const std::string& inside, int depth,
             std::string* why) {
  if (depth > 64) {
    *why = hostFolder + ": folders nested too deeply";
    return false;
  }
  std::vector<std::string> files = {ToolPath("mcopy"), "-i", image, "-m", "-o", "-Q"};
  std::vector<TreeEntry> entries = FolderEntries(hostFolder);
  for (const TreeEntry& e : entries)
    if (!e.folder) files.push_back(e.hostPath);
  if (files.size() > 6) {
    files.push_back("::" + inside + "/");
    if (!Run(files, why)) return false;
  }
  for (const TreeEntry& e : entries) {
    std::string path = inside + "/" + e.name;
    if (e.folder && (!Run({ToolPath("mmd"), "-i", image, "::" + path}, why) ||
                     !CopyFat(image, e.hostPath, path, depth + 1, why)))
      return false;
    if (e.attributes == 0) continue;
    std::vector<std::string> attrib = {ToolPath("mattrib"), "-i", image};
    if (e.attributes & 1) attrib.push_back("+r");
    if (e.attributes & 2) attrib.push_back("+h");
    if (e.attributes & 4) attrib.push_back("+s");
    attrib.push_back("::" + path);
    if (!Run(attrib, why)) return false;
  }
  return true;
}

bool MakeFat(const std::string& image, const VolumeSpec& spec, std::string* why) {
  // FAT is FAT16, or FAT12 on a volume too small for FAT16.
  std::string bits = spec.fileSystem == "FAT32" ? "32" : spec.bytes < (16ull << 20) ? "12" : "16";
  std::vector<std::string> mkfs = {ToolPath("mkfs.fat"), "-F", bits, "-S", "512", "-h",
                                   std::to_string(spec.firstSector)};
  std::string label = FatLabel(spec.label);
  if (!label.empty()) mkfs.insert(mkfs.end(), {"-n", label});
  mkfs.push_back(image);
  if (!Run(mkfs, why)) return false;
  return spec.hostFolder.empty() || CopyFat(image, spec.hostFolder, "", 0, why);
}

bool MakeExfat(const std::string& image, const VolumeSpec& spec, std::string* why) {
  std::vector<std::string> mkfs = {ToolPath("mkfs.exfat")};
  std::string label = sys::LeftChars(spec.label, 11);  // exFAT keeps 11 characters
  if (!label.empty()) mkfs.insert(mkfs.end(), {"-L", label});
  mkfs.push_back(image);
  if (!Run(mkfs, why)) return false;
  return spec.hostFolder.empty() || WriteExfatFiles(image, spec.hostFolder, why);
}

bool MakeNtfs(const std::string& image, const VolumeSpec& spec, std::string* why) {
  std::vector<std::string> mkfs = {ToolPath("mkntfs"), "-Q", "-F", "-q", "-s", "512", "-H", "255", "-S", "63",
                                   "-p", std::to_string(spec.firstSector)};
  std::string label = sys::LeftChars(spec.label, 32);  // NTFS keeps 32 characters
  if (!label.empty()) mkfs.insert(mkfs.end(), {"-L", label});
  mkfs.push_back(image);
  if (!Run(mkfs, why)) return false;
  return spec.hostFolder.empty() || Run({ToolPath("tvntfs"), image, spec.hostFolder}, why);
}

}  // namespace

std::string MissingVolumeTools(const std::string& fileSystem) {
  std::string out;
  for (const Tool& t : ToolsFor(fileSystem))
    if (ToolPath(t.program).empty()) out += std::string(out.empty() ? "" : ", ") + t.program + " (" + t.package + ")";
  return out;
}

bool MakeVolumeImage(const std::string& image, const VolumeSpec& spec, std::string* why) {
  if (ToolsFor(spec.fileSystem).empty()) {
    *why = "no file system " + spec.fileSystem + " can be made";
    return false;
  }
  std::string missing = MissingVolumeTools(spec.fileSystem);
  if (!missing.empty()) {
    *why = spec.fileSystem + " needs " + missing + ", which is not installed (scripts/setup.sh installs it)";
    return false;
  }
  int fd = open(image.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  bool sized = fd >= 0 && ftruncate(fd, static_cast<off_t>(spec.bytes)) == 0;
  if (fd >= 0) close(fd);
  if (!sized) {
    *why = "cannot make the volume image " + image;
    return false;
  }
  setenv("MTOOLS_SKIP_CHECK", "1", 1);  // the image's geometry is not a floppy's
  setenv("LC_ALL", "C.UTF-8", 1);        // long names in UTF-8
  if (spec.fileSystem == "exFAT") return MakeExfat(image, spec, why);
  if (spec.fileSystem == "NTFS") return MakeNtfs(image, spec, why);
  return MakeFat(image, spec, why);
}

}  // namespace tvtool
