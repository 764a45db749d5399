// The configuration file: an INI file found beside the PE package, read
// through ReadCfg and written through WriteCfg.
//
// Public:
//   sCfgPath          full path of the file; empty when none was found
//   FindConfigFile()  the first "*.cfg" in P\PE, P, Q\PE, Q; sets sCfgPath
//   ReadCfg()         a value, without its "//" comment and tabs
//   WriteCfg()        a value, cut to 128 characters
//   CfgSection        the two section names
#pragma once

#include <string>
#include <string_view>

namespace app {

extern std::string sCfgPath;

namespace CfgSection {
inline constexpr const char* kOption = "Option";
inline constexpr const char* kInstPEToDisk = "InstPEToDisk";
}  // namespace CfgSection

// Run once at start-up. Leaves sCfgPath empty when no folder has a file.
void FindConfigFile();

// Never fails: a missing file, section or key gives the empty text.
std::string ReadCfg(std::string_view key, std::string_view section);

// True when the platform reported success. Without a configuration file
// nothing is written and the result is false.
bool WriteCfg(std::string_view key, std::string_view value, std::string_view section);

}  // namespace app
