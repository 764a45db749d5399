/* The sample PE's UEFI program, EFI\BOOT\BOOTX64.EFI on the sample PE image.
 * Started by the firmware, it writes one fixed line to the console (the
 * firmware mirrors the console to the serial port, where the boot tests look
 * for it) and switches the machine off, so the emulator ends.
 *
 * Only the few structures of the UEFI interface it touches are declared
 * here, each up to the last member it uses; members it does not call are
 * plain pointers that keep the offsets right.
 *
 * Public: efi_main(), the entry point the firmware calls. */

typedef unsigned long long UINTN;
typedef unsigned long long UINT64;
typedef unsigned int UINT32;
typedef unsigned short CHAR16;
typedef UINTN EFI_STATUS;
typedef void *EFI_HANDLE;

#define EFI_SUCCESS 0
#define EFI_RESET_SHUTDOWN 2

typedef struct {
  UINT64 Signature;
  UINT32 Revision;
  UINT32 HeaderSize;
  UINT32 CRC32;
  UINT32 Reserved;
} EFI_TABLE_HEADER;

struct TEXT_OUTPUT;
typedef EFI_STATUS (*TEXT_STRING)(struct TEXT_OUTPUT *self, const CHAR16 *text);

typedef struct TEXT_OUTPUT {
  void *Reset;
  TEXT_STRING OutputString;
} TEXT_OUTPUT;

typedef void (*RESET_SYSTEM)(UINT32 type, EFI_STATUS status, UINTN size, void *data);

typedef struct {
  EFI_TABLE_HEADER Hdr;
  void *GetTime;
  void *SetTime;
  void *GetWakeupTime;
  void *SetWakeupTime;
  void *SetVirtualAddressMap;
  void *ConvertPointer;
  void *GetVariable;
  void *GetNextVariableName;
  void *SetVariable;
  void *GetNextHighMonotonicCount;
  RESET_SYSTEM ResetSystem;
} RUNTIME_SERVICES;

typedef EFI_STATUS (*STALL)(UINTN microseconds);

typedef struct {
  EFI_TABLE_HEADER Hdr;
  void *RaiseTPL;
  void *RestoreTPL;
  void *AllocatePages;
  void *FreePages;
  void *GetMemoryMap;
  void *AllocatePool;
  void *FreePool;
  void *CreateEvent;
  void *SetTimer;
  void *WaitForEvent;
  void *SignalEvent;
  void *CloseEvent;
  void *CheckEvent;
  void *InstallProtocolInterface;
  void *ReinstallProtocolInterface;
  void *UninstallProtocolInterface;
  void *HandleProtocol;
  void *Reserved;
  void *RegisterProtocolNotify;
  void *LocateHandle;
  void *LocateDevicePath;
  void *InstallConfigurationTable;
  void *LoadImage;
  void *StartImage;
  void *Exit;
  void *UnloadImage;
  void *ExitBootServices;
  void *GetNextMonotonicCount;
  STALL Stall;
} BOOT_SERVICES;

typedef struct {
  EFI_TABLE_HEADER Hdr;
  CHAR16 *FirmwareVendor;
  UINT32 FirmwareRevision;
  EFI_HANDLE ConsoleInHandle;
  void *ConIn;
  EFI_HANDLE ConsoleOutHandle;
  TEXT_OUTPUT *ConOut;
  EFI_HANDLE StandardErrorHandle;
  TEXT_OUTPUT *StdErr;
  RUNTIME_SERVICES *RuntimeServices;
  BOOT_SERVICES *BootServices;
} SYSTEM_TABLE;

EFI_STATUS efi_main(EFI_HANDLE image, SYSTEM_TABLE *system) {
  (void)image;
  system->ConOut->OutputString(system->ConOut, u"\r\nTarnvale sample PE started\r\n");
  /* A moment for the console to reach the serial port before the power goes. */
  system->BootServices->Stall(200000);
  system->RuntimeServices->ResetSystem(EFI_RESET_SHUTDOWN, EFI_SUCCESS, 0, 0);
  return EFI_SUCCESS; /* not reached: the machine is off */
}
