# Whether this machine runs 32-bit x86 programs: some kernels are built or
# started without that, and then the 32-bit Wine and the i686 program answer
# "Exec format error". The probe starts a tiny 32-bit program of its own (an
# ELF header and three instructions: exit with code 32), so it needs no
# package. Sourced by scripts/setup.sh and scripts/windows-variant.sh.
#
#   tv_no_32bit   prints why 32-bit programs do not run, or nothing when they do
tv_no_32bit() {
  local dir prog out status=0
  # In the build folder: a temporary folder may forbid running programs.
  dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build
  mkdir -p "$dir"
  prog=$(mktemp "$dir/probe-32bit.XXXXXX")
  # ELF32 header: i386, executable, entry 0x08048054, one program header.
  printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0' > "$prog"
  # Program header: one loadable, readable and executable segment of 96 bytes at 0x08048000.
  printf '\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\140\0\0\0\140\0\0\0\5\0\0\0\0\20\0\0' >> "$prog"
  # mov eax, 1 (exit); mov ebx, 32; int 0x80
  printf '\270\1\0\0\0\273\40\0\0\0\315\200' >> "$prog"
  chmod +x "$prog"
  out=$("$prog" 2>&1) || status=$?
  rm -f "$prog"
  [ "$status" = 32 ] || echo "32-bit programs do not run here (a 32-bit program: ${out##*: })"
}
