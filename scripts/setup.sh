#!/usr/bin/env bash
# Installs what the two builds and their tests need on a Debian machine.
# Run as root it installs the missing packages with apt-get; run as another
# user it names the missing packages and stops. Where 32-bit programs cannot
# run, the 32-bit Wine is left out: its i386 packages could not even be set up
# there, and the Windows tests use wine64 (scripts/windows-variant.sh).
#
#   scripts/setup.sh              everything: both builds and every test
#   scripts/setup.sh --main-job   only what the host program, its stand-ins
#                                 and the sample package need (scripts/run-sim.sh)
set -euo pipefail
source "$(dirname "$0")/probe-32bit.sh"

# The main job: the host program and tvtool, and the sample package, whose
# image xorriso writes and whose archives the real 7-Zip packs and unpacks.
main_job=(
  cmake ninja-build g++                                 # the host build
  7zip xorriso                                          # the archiver, the sample PE image
)

everything=(
  cmake ninja-build g++ libgtest-dev libbenchmark-dev   # host build and tests
  7zip xorriso                                          # the archiver, the sample PE image
  python3                                               # the check of the pictures and the tune
  g++-mingw-w64-i686                                    # the Windows build
  wine xvfb xauth x11-utils fonts-wqy-microhei          # the Windows program under Wine
  gcc-mingw-w64-x86-64                                  # the sample PE's UEFI program
  qemu-system-x86 ovmf                                  # the real UEFI boot of a made disk
  fdisk dosfstools mtools exfatprogs ntfs-3g ntfs-3g-dev  # its disk image's table and file systems
  zip unzip                                             # the release package
  g++-mingw-w64-x86-64 wine64                           # the Windows tests where 32-bit programs cannot run
  clang libclang-rt-dev                                 # the fuzz harnesses (libFuzzer, sanitizers)
)

apt_options=()
case "${1:-}" in
  --main-job)
    packages=("${main_job[@]}")
    # The packages named and what they depend on, not what they merely
    # recommend: the main job is to be seen in minutes on a fresh machine.
    apt_options=(--no-install-recommends) ;;
  "") packages=("${everything[@]}") ;;
  *) echo "usage: scripts/setup.sh [--main-job]" >&2; exit 2 ;;
esac

if [ "${1:-}" != --main-job ]; then
  no32=$(tv_no_32bit)
  if [ -z "$no32" ]; then
    packages+=(wine32:i386)                               # the i686 program under wine
  else
    echo "setup.sh: no 32-bit Wine: $no32" >&2
  fi
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Install them as root: scripts/setup.sh $* (or apt-get install ${missing[*]})" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386   # wine32 is an i386 package
fi
apt-get update -qq
apt-get install -y -qq "${apt_options[@]}" "${missing[@]}"
