// The files a package holds, as the archiver lists them (7z l -slt): each
// file's path inside the package and its size. The made disk's check
// compares the partitions with these lists; a make takes each package's
// list once.
//
// Public: struct PackageFile, ParsePackageListing(), ListPackageCommand(),
//         ListPackage().
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace make {

struct PackageFile {
  std::string path;  // inside the package, with '\' between folders
  uint64_t size = 0;
};

// The files (folders left out) of the archiver's technical listing: the
// entries after the "----------" line, one block of "Key = value" lines
// each. An entry is a folder when it says "Folder = +", its attributes begin
// with D, or another entry lies inside it. Nothing when the text holds no
// listing (no "----------" line: the archive could not be opened).
std::optional<std::vector<PackageFile>> ParsePackageListing(std::string_view text);

// cmd.exe /c ""<x86>" l -slt <package> > "<listFile>"": the listing goes into
// the file.
std::string ListPackageCommand(std::string_view package, std::string_view listFile);

// The package listed into <sTmpPath>\<name>.lst and read back in the ANSI
// code page. Nothing when the archiver gave no listing. (An archiver that
// writes names in another code page makes names outside ASCII look
// missing: the check then fails rather than passes.)
std::optional<std::vector<PackageFile>> ListPackage(std::string_view package, std::string_view name);

}  // namespace make
