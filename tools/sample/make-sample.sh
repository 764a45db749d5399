#!/bin/sh
# Builds the sample PE package and lays it out as a program folder:
#
#   <out>/program/Tarnvale.exe            placeholder for the program itself
#   <out>/program/Data/Bin/x86.dll        the archiver (a stand-in file for 7-Zip)
#   <out>/program/Data/Bin/aes.dll        the UD tool (a stand-in file)
#   <out>/program/Data/Plugins/pacmd.aes  PACMD\PartAssist.exe, ginst.exe, bootsect.exe
#   <out>/program/Data/Plugins/qemu.aes   Qemu\qemu.exe, bios.bin, efi64.bin, hd.vmdk
#   <out>/program/Data/Lang/*.lng         the language files
#   <out>/program/PE/Tarnvale.cfg         the configuration, every key set
#   <out>/program/PE/TarnvalePE.iso       PE image with bootmgr
#   <out>/program/PE/TarnvalePE.fba       UD package
#   <out>/program/PE/TarnvalePE.7z        data package
#   <out>/extra/TarnvalePE-grldr.iso      a second PE image, with grldr in place of bootmgr
#
# usage: make-sample.sh <out folder> <tvscramble program> <language folder> [<UEFI program>]
#
# The UEFI program (tools/efi) becomes the image's EFI\BOOT\BOOTX64.EFI; without
# it the image carries a text placeholder there, which no real firmware starts.
#
# The same inputs give the same bytes, except the two plug-in archives: 7-Zip
# gives every encrypted archive a fresh random salt and IV.
set -eu
out=$1 scramble=$2 langdir=$3 efiprogram=${4:-}
epoch=${SOURCE_DATE_EPOCH:-1577836800}   # 2020-01-01 00:00:00 UTC
export SOURCE_DATE_EPOCH=$epoch TZ=UTC LC_ALL=C
password=52416035

for tool in xorriso 7zz; do
  command -v $tool >/dev/null || { echo "make-sample.sh: $tool is missing (run scripts/setup.sh)" >&2; exit 1; }
done

work=$out.work
rm -rf "$work" "$out"
mkdir -p "$work"

# put <file> <text>: a small file with a fixed content and time.
put() {
  mkdir -p "$(dirname "$1")"
  printf '%s\r\n' "$2" > "$1"
}
standin() { put "$1" "TARNVALE-STANDIN $2"; }
stamp() { find "$1" -exec touch -h -d "@$epoch" {} +; }

# 7z <archive> <folder> [7-Zip switches]: the folder's content, without times.
sevenzip() {
  archive=$1 folder=$2
  shift 2
  stamp "$folder"
  (cd "$folder" && 7zz a -t7z -bd -bso0 -mtm- -mtc- -mta- -mtr- -mx=5 "$@" "$archive" -- *)
}

# iso <image> <folder>: an ISO 9660 image with Rock Ridge and Joliet names.
iso() {
  stamp "$2"
  xorriso -no_rc -report_about SORRY -abort_on FAILURE \
    -volume_date uuid 2020010100000000 -volume_date all_file_dates set_to_mtime \
    -rockridge on -joliet on -volid TARNVALE_PE \
    -outdev "$1" -map "$2" / -commit >/dev/null 2>&1 ||
    { echo "make-sample.sh: xorriso could not write $1" >&2; exit 1; }
}

# --- the PE image: UEFI loader, bootmgr, boot image and ramdisk file ---
pe=$work/pe
if [ -n "$efiprogram" ]; then
  mkdir -p "$pe/EFI/BOOT"
  cp "$efiprogram" "$pe/EFI/BOOT/BOOTX64.EFI"
else
  put "$pe/EFI/BOOT/BOOTX64.EFI" "TARNVALE-SAMPLE UEFI loader"
fi
put "$pe/bootmgr" "TARNVALE-SAMPLE boot manager"
put "$pe/boot/BCD" "TARNVALE-SAMPLE boot configuration"
put "$pe/sources/boot.wim" "TARNVALE-SAMPLE boot image"
put "$pe/sources/boot.sdi" "TARNVALE-SAMPLE ramdisk device"
pe2=$work/pe-grldr
mkdir -p "$pe2"
cp -R "$pe/." "$pe2/"
rm "$pe2/bootmgr"
put "$pe2/grldr" "TARNVALE-SAMPLE loader grldr"
put "$pe2/menu.lst" "title Tarnvale PE"

# --- the UD package and the data package ---
ud=$work/ud
put "$ud/grldr" "TARNVALE-SAMPLE loader grldr"
put "$ud/menu.lst" "title Tarnvale PE from the UD area"
data=$work/data
put "$data/Tarnvale.txt" "Files of the sample data package."
put "$data/Tools/readme.txt" "Portable tools of the sample PE."

# --- the plug-ins ---
pacmd=$work/pacmd
standin "$pacmd/PACMD/PartAssist.exe" partassist
standin "$pacmd/PACMD/ginst.exe" ginst
standin "$pacmd/PACMD/bootsect.exe" bootsect
qemu=$work/qemu
standin "$qemu/Qemu/qemu.exe" qemu
put "$qemu/Qemu/bios.bin" "TARNVALE-FIRMWARE bios"
put "$qemu/Qemu/efi64.bin" "TARNVALE-FIRMWARE uefi"
put "$qemu/Qemu/hd.vmdk" "# Disk DescriptorFile (empty second disk of the emulator)"

program=$work/program
mkdir -p "$program/Data/Bin" "$program/Data/Plugins" "$program/Data/Lang" "$program/PE" "$work/extra"
: > "$program/Tarnvale.exe"
standin "$program/Data/Bin/x86.dll" 7zz
standin "$program/Data/Bin/aes.dll" aes
for id in 1028 1031 1033 2052; do
  cp "$langdir/$id.lng" "$program/Data/Lang/$id.lng"
done

iso "$program/PE/TarnvalePE.iso" "$pe"
iso "$work/extra/TarnvalePE-grldr.iso" "$pe2"
sevenzip "$program/PE/TarnvalePE.fba" "$ud"
sevenzip "$program/PE/TarnvalePE.7z" "$data"
sevenzip "$work/pacmd.7z" "$pacmd" "-p$password" -mhe=on
sevenzip "$work/qemu.7z" "$qemu" "-p$password" -mhe=on
"$scramble" "$work/pacmd.7z" "$program/Data/Plugins/pacmd.aes" "$password"
"$scramble" "$work/qemu.7z" "$program/Data/Plugins/qemu.aes" "$password"

# The configuration, in ASCII so that it reads the same in every code page.
cfg=$program/PE/Tarnvale.cfg
{
  printf '[Option]\r\n'
  printf 'Title=Tarnvale Sample PE\r\n'
  printf 'DefaultFormat=1\t\t\t\t// 0 NTFS, 1 FAT32, anything else exFAT\r\n'
  printf 'TwoPartEnable=1\t\t\t\t// 1: offer the layouts without a UD area\r\n'
  printf 'TaskbarProgress=1\t\t\t\t// 1: progress on the taskbar button too\r\n'
  printf 'BreakPoint=0\t\t\t\t// step of the disk operation in progress\r\n'
  printf 'LimitUSBDisk=0\t\t\t\t// 1: refuse when more than one target is listed\r\n'
  printf 'MobileHardDisk=0\t\t\t\t// 1: list USB hard disks as targets too\r\n'
  printf 'UDSize=300\t\t\t\t// UD area in MB, 10 to 4096\r\n'
  printf 'EFISize=1032\t\t\t\t// EFI partition in MB, at least 100\r\n'
  printf 'Label=Tarnvale\t\t\t\t// label of the data partition\r\n'
  printf 'EFIHide=1\t\t\t\t// 1: hide the EFI partition when the disk is made\r\n'
  printf '[InstPEToDisk]\r\n'
  printf 'PEName=Tarnvale PE\r\n'
  printf 'WIMFile=boot.wim\r\n'
  printf 'SDIFile=boot.sdi\r\n'
  printf 'TimeOut=5\r\n'
} > "$cfg"

rm -rf "$work/pe" "$work/pe-grldr" "$work/ud" "$work/data" "$work/pacmd" "$work/qemu" "$work"/*.7z
stamp "$work"
mkdir -p "$out"
mv "$work/program" "$work/extra" "$out/"
rmdir "$work"
