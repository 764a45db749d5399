// tvscramble: turns a plain 7z archive into a plug-in archive for
// Data\Plugins (pacmd.aes, qemu.aes), or back: the program's XOR rule applied
// to a whole file on the host, outside any simulated machine.
//
//   tvscramble <input> <output> [password]
//
// The password defaults to the plug-in password. It must be ASCII: the
// program makes its key from the password's bytes in the ANSI code page of
// the machine it runs on, and only ASCII is the same in all of them.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "sys/archiver_commands.h"
#include "sys/xor_key.h"

namespace {

int Fail(const std::string& what) {
  fprintf(stderr, "tvscramble: %s\n", what.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    fprintf(stderr,
            "usage: tvscramble <input> <output> [password]\n"
            "XORs the input with the key of the password (default: the plug-in password)\n"
            "into the output; applied twice it gives the input back.\n");
    return 2;
  }
  std::string input = argv[1], output = argv[2];
  std::string password = argc == 4 ? argv[3] : std::string(sys::kPluginPassword);
  for (unsigned char c : password)
    if (c < 0x20 || c > 0x7E) return Fail("the password must be printable ASCII");

  FILE* in = fopen(input.c_str(), "rb");
  if (!in) return Fail("cannot open " + input + ": " + strerror(errno));
  // Written beside the output and renamed at the end, so the output is never
  // half made, and input and output may be the same file.
  std::string temporary = output + ".tmp";
  FILE* out = fopen(temporary.c_str(), "wb");
  if (!out) {
    fclose(in);
    return Fail("cannot create " + temporary + ": " + strerror(errno));
  }
  const sys::XorKey key = sys::MakeXorKey(password);
  std::vector<uint8_t> buffer(1 << 20);
  uint64_t offset = 0;
  bool ok = true;
  std::string problem;
  while (true) {
    size_t got = fread(buffer.data(), 1, buffer.size(), in);
    if (got > 0) {
      sys::XorBytes(buffer.data(), got, offset, key);
      if (fwrite(buffer.data(), 1, got, out) != got) {
        ok = false;
        problem = "cannot write " + temporary + ": " + strerror(errno);
        break;
      }
      offset += got;
    }
    if (got < buffer.size()) {
      if (ferror(in)) {
        ok = false;
        problem = "cannot read " + input + ": " + strerror(errno);
      }
      break;
    }
  }
  fclose(in);
  if (fclose(out) != 0 && ok) {
    ok = false;
    problem = "cannot write " + temporary + ": " + strerror(errno);
  }
  if (ok && rename(temporary.c_str(), output.c_str()) != 0) {
    ok = false;
    problem = "cannot rename " + temporary + " to " + output + ": " + strerror(errno);
  }
  if (!ok) {
    remove(temporary.c_str());
    return Fail(problem);
  }
  return 0;
}
