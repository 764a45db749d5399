// Tarnvale.exe as a file: a GUI program of this build's machine type (the
// shipped i686 program is PE32 i386; its x86_64 variant, which the tests run
// against where 32-bit programs cannot run, is PE32+ x64), whose embedded
// manifest asks for administrator rights, common controls 6 and DPI
// awareness and declares Windows Vista to 10, with its icon and its version
// information, and with data execution prevention asked for. It lies beside
// this test program in the build's bin folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "os/system.h"
#include "os/win32/wide.h"

namespace {

std::wstring ProgramPath() {
  std::string self = os::ModulePath();
  return os::win32::Wide(self.substr(0, self.rfind('\\')) + "\\Tarnvale.exe");
}

// The variant under test is the one this test program was built as.
constexpr bool k64Bit = sizeof(void*) == 8;

TEST(ProgramFile, IsAGuiProgramOfThisBuildsMachineType) {
  HANDLE file = CreateFileW(ProgramPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  std::vector<unsigned char> head(4096);
  DWORD got = 0;
  ReadFile(file, head.data(), static_cast<DWORD>(head.size()), &got, nullptr);
  CloseHandle(file);
  ASSERT_GT(got, 0x200u);
  auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(head.data());
  ASSERT_EQ(IMAGE_DOS_SIGNATURE, dos->e_magic);
  ASSERT_LT(static_cast<DWORD>(dos->e_lfanew), got - sizeof(IMAGE_NT_HEADERS64));
  auto nt32 = reinterpret_cast<const IMAGE_NT_HEADERS32*>(head.data() + dos->e_lfanew);
  auto nt64 = reinterpret_cast<const IMAGE_NT_HEADERS64*>(head.data() + dos->e_lfanew);
  ASSERT_EQ(IMAGE_NT_SIGNATURE, nt32->Signature);
  if (k64Bit) {
    EXPECT_EQ(IMAGE_FILE_MACHINE_AMD64, nt64->FileHeader.Machine);
    ASSERT_EQ(IMAGE_NT_OPTIONAL_HDR64_MAGIC, nt64->OptionalHeader.Magic);  // PE32+
    EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, nt64->OptionalHeader.Subsystem);
  } else {
    EXPECT_EQ(IMAGE_FILE_MACHINE_I386, nt32->FileHeader.Machine);
    ASSERT_EQ(IMAGE_NT_OPTIONAL_HDR32_MAGIC, nt32->OptionalHeader.Magic);  // PE32
    EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, nt32->OptionalHeader.Subsystem);
  }
  // It asks for data execution prevention: nothing it runs may lie in data
  // memory (the taskbar, for one, is called through its declared interface).
  WORD characteristics = k64Bit ? nt64->OptionalHeader.DllCharacteristics : nt32->OptionalHeader.DllCharacteristics;
  EXPECT_NE(0, characteristics & IMAGE_DLLCHARACTERISTICS_NX_COMPAT);
}

TEST(ProgramFile, CarriesItsIconInTheSizesOfMenusTitleBarsAndDialogs) {
  HMODULE program = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(program);
  for (int size : {16, 32, 48}) {
    HANDLE icon = LoadImageW(program, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0);
    EXPECT_TRUE(icon) << size;
    ICONINFO info{};
    if (icon && GetIconInfo(static_cast<HICON>(icon), &info)) {
      BITMAP bitmap{};
      GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
      EXPECT_EQ(size, bitmap.bmWidth);
      if (info.hbmColor) DeleteObject(info.hbmColor);
      if (info.hbmMask) DeleteObject(info.hbmMask);
    }
    if (icon) DestroyIcon(static_cast<HICON>(icon));
  }
  FreeLibrary(program);
}

std::string Manifest() {
  HMODULE program = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!program) return "";
  std::string text;
  if (HRSRC r = FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {  // RT_MANIFEST
    HGLOBAL data = LoadResource(program, r);
    text.assign(static_cast<const char*>(LockResource(data)), SizeofResource(program, r));
  }
  FreeLibrary(program);
  return text;
}

TEST(ProgramFile, ManifestIsResourceOneWithItsEntries) {
  std::string manifest = Manifest();
  ASSERT_FALSE(manifest.empty()) << "no RT_MANIFEST resource 1";
  for (const char* entry : {
           "requestedExecutionLevel level=\"requireAdministrator\"",
           "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
           ">true</dpiAware>",
           "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
           "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
           "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
           "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
           "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10
       })
    EXPECT_NE(std::string::npos, manifest.find(entry)) << entry;
}

TEST(ProgramFile, VersionInformationNamesTarnvale12) {
  std::wstring path = ProgramPath();
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(12u, HIWORD(fixed->dwProductVersionMS));
  EXPECT_EQ(0u, LOWORD(fixed->dwProductVersionMS));
  wchar_t* name = nullptr;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\040904b0\\ProductName", reinterpret_cast<void**>(&name),
                             &length));
  EXPECT_EQ(L"Tarnvale", std::wstring(name));
}

}  // namespace
