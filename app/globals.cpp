#include "app/globals.h"

namespace app {

std::string sTmpPath;
std::string sFontName;
bool bMobileHardDisk = false;
int16_t iTaskbarProg = 0;
std::string sFbaFile, sIsoFile, s7zFile;
int16_t iDiskNum = 0;
std::string sDataLetter, sEfiLetter;
int32_t iVerifyPhase = 0;
int32_t lUDAreaMB = 0, lDataPartMB = 0, lEfiPartMB = 0;
int16_t iProgCeiling = 0;

}  // namespace app
