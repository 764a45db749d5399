// The scrambled copy: the XOR rule with its key, the blocks and the tail with
// their captions, the target's length, and the copies that must fail.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "os/file.h"
#include "os/files.h"
#include "sys/archiver_commands.h"
#include "sys/file_io.h"
#include "sys/xor_key.h"
#include "tests/support/test_folder.h"

namespace {

// Bytes that differ from block to block and position to position.
std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  uint32_t x = 12345;
  for (char& c : bytes) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 24);
  }
  return bytes;
}

// One copy through a FileIO whose captions are recorded.
struct Copy {
  sys::FileIO io;
  std::vector<std::string> captions;
  std::vector<bool> busyAtCaption;

  Copy() {
    io.FilePercentBox([this](const std::string& text) {
      captions.push_back(text);
      busyAtCaption.push_back(io.IsProccess());
    });
  }
  int32_t Run(const std::string& source, const std::string& target, std::string_view password = sys::kPluginPassword) {
    io.SourceFile(source);
    io.TargetFile(target);
    io.pswBox(password);
    return io.FixFile();
  }
};

using Captions = std::vector<std::string>;

TEST(FixFile, KeyFromThePasswordAndPadByteAtEveryPosition) {
  test::TestFolder f;
  f.Write("zero", std::string(40, '\0'));
  Copy c;
  ASSERT_EQ(0, c.Run(f.Path("zero"), f.Path("out")));
  // Offset p goes with key byte (p + 1) mod 16: "52416035", then eight pad
  // bytes, so a file of zeros shows the key shifted by one.
  const std::string pad(8, static_cast<char>(sys::kXorPadByte));
  const std::string row = "2416035" + pad + "5";
  EXPECT_EQ(row + row + row.substr(0, 8), f.Read("out"));
}

TEST(FixFile, BlocksThenTailWithTheirCaptions) {
  test::TestFolder f;
  const std::string plain = Pattern(10000);
  f.Write("plain", plain);
  Copy c;
  ASSERT_EQ(0, c.Run(f.Path("plain"), f.Path("scrambled")));
  // Two whole blocks (50%, 100%), the tail of 1,808 bytes, then 100% once more
  // and the empty caption.
  EXPECT_EQ((Captions{"", "50%", "100%", "100%", ""}), c.captions);
  EXPECT_EQ((std::vector<bool>{false, true, true, true, true}), c.busyAtCaption);
  EXPECT_FALSE(c.io.IsProccess());
  const std::string scrambled = f.Read("scrambled");
  ASSERT_EQ(plain.size(), scrambled.size());
  const sys::XorKey key = sys::MakeXorKey(sys::kPluginPassword);
  size_t wrong = 0;
  for (size_t p = 0; p < plain.size(); ++p)
    wrong += static_cast<uint8_t>(scrambled[p]) != (static_cast<uint8_t>(plain[p]) ^ key[(p + 1) % 16]);
  EXPECT_EQ(0u, wrong);
}

TEST(FixFile, CaptionsOfShortEmptyAndWholeBlockFiles) {
  test::TestFolder f;
  f.Write("short", Pattern(4095));
  f.Write("empty", "");
  f.Write("blocks", Pattern(3 * 4096));
  Copy shortCopy, emptyCopy, blockCopy;
  ASSERT_EQ(0, shortCopy.Run(f.Path("short"), f.Path("short.out")));
  ASSERT_EQ(0, emptyCopy.Run(f.Path("empty"), f.Path("empty.out")));
  ASSERT_EQ(0, blockCopy.Run(f.Path("blocks"), f.Path("blocks.out")));
  EXPECT_EQ((Captions{"", "100%", ""}), shortCopy.captions);
  EXPECT_EQ((Captions{"", "100%", ""}), emptyCopy.captions);
  EXPECT_EQ((Captions{"", "33%", "66%", "100%", "100%", ""}), blockCopy.captions);
  EXPECT_EQ(4095u, f.Read("short.out").size());
  EXPECT_TRUE(f.Exists("empty.out"));
  EXPECT_EQ("", f.Read("empty.out"));
  EXPECT_EQ(3u * 4096, f.Read("blocks.out").size());
}

TEST(FixFile, ManyBlocksShowEachPercentageOnceAndInOrder) {
  test::TestFolder f;
  f.Write("big", Pattern(300 * 4096 + 7));
  Copy c;
  ASSERT_EQ(0, c.Run(f.Path("big"), f.Path("big.out")));
  // 300 blocks: every whole percentage from 0 to 100 in turn, then the end.
  ASSERT_EQ(1u + 101u + 2u, c.captions.size());
  for (int p = 0; p <= 100; ++p) EXPECT_EQ(std::to_string(p) + "%", c.captions[1 + p]);
  EXPECT_EQ("100%", c.captions[102]);
  EXPECT_EQ("", c.captions[103]);
}

TEST(FixFile, TwiceGivesBackTheOriginal) {
  test::TestFolder f;
  const std::string plain = Pattern(2 * 1024 * 1024 + 4096 + 123);  // more than one chunk of I/O
  f.Write("a", plain);
  Copy c;
  ASSERT_EQ(0, c.Run(f.Path("a"), f.Path("b")));
  EXPECT_TRUE(plain != f.Read("b"));
  ASSERT_EQ(0, c.Run(f.Path("b"), f.Path("c")));
  EXPECT_TRUE(plain == f.Read("c"));
}

TEST(FixFile, ALongerOldTargetIsCutToTheSourceLength) {
  test::TestFolder f;
  f.Write("src", std::string(5000, '\0'));
  f.Write("dst", std::string(20000, 'Z'));
  Copy c;
  ASSERT_EQ(0, c.Run(f.Path("src"), f.Path("dst")));
  const std::string out = f.Read("dst");
  ASSERT_EQ(5000u, out.size());
  EXPECT_EQ('2', out[0]);
}

TEST(FixFile, SixteenCharactersMakeTheKeyAndEachCopyNeedsThePasswordAgain) {
  test::TestFolder f;
  f.Write("zero", std::string(32, '\0'));
  Copy c;
  ASSERT_EQ(0, c.Run(f.Path("zero"), f.Path("sixteen"), "0123456789abcdef"));
  ASSERT_EQ(0, c.Run(f.Path("zero"), f.Path("longer"), "0123456789abcdefXYZ\xE5\xAF\x86"));
  EXPECT_EQ("123456789abcdef0", f.Read("sixteen").substr(0, 16));
  EXPECT_EQ(f.Read("sixteen"), f.Read("longer"));
  // The copy emptied the password: without a new one the key is all pad bytes.
  c.io.TargetFile(f.Path("padded"));
  ASSERT_EQ(0, c.io.FixFile());
  EXPECT_EQ(std::string(32, static_cast<char>(sys::kXorPadByte)), f.Read("padded"));
}

TEST(FixFile, MissingSourceOrTargetFolderFailsWithTheErrorAndLeavesNoCaption) {
  test::TestFolder f;
  f.Write("src", "data");
  Copy missingSource, missingFolder;
  EXPECT_EQ(2, missingSource.Run(f.Path("absent"), f.Path("dst")));  // ERROR_FILE_NOT_FOUND
  EXPECT_FALSE(f.Exists("dst"));
  EXPECT_EQ(3, missingFolder.Run(f.Path("src"), f.Path("no folder\\dst")));  // ERROR_PATH_NOT_FOUND
  EXPECT_EQ((Captions{""}), missingSource.captions);
  EXPECT_EQ((Captions{""}), missingFolder.captions);
  EXPECT_FALSE(missingSource.io.IsProccess());
  EXPECT_FALSE(missingFolder.io.IsProccess());
}

TEST(FixFile, AfterAFailedCopyBothFilesAreClosed) {
  test::TestFolder f;
  f.Write("src", Pattern(9000));
  os::CreateFolder(f.Path("folder"));
  Copy c;
  // A folder cannot be opened as the target, once the source is open.
  EXPECT_EQ(5, c.Run(f.Path("src"), f.Path("folder")));  // ERROR_ACCESS_DENIED
  EXPECT_EQ((Captions{""}), c.captions);
  // A file still open for reading could not be opened for writing without sharing.
  EXPECT_TRUE(os::File::Open(f.Path("src"), os::File::Mode::kReadWrite).IsOpen());
  EXPECT_TRUE(os::RemoveFile(f.Path("src")));
}

TEST(FixFile, APasswordCharacterThatIsNotOneAnsiByteIsAnError) {
  test::TestFolder f;
  f.Write("src", "data");
  Copy c;
  // Not a single byte in any Western or Chinese code page's sense: rather an
  // error than a key made of a stand-in byte.
  EXPECT_EQ(87, c.Run(f.Path("src"), f.Path("dst"), "52\xE5\xAF\x86" "16035"));  // ERROR_INVALID_PARAMETER
  EXPECT_FALSE(f.Exists("dst"));
  EXPECT_FALSE(c.io.IsProccess());
}

TEST(FixFile, TheSameFileAsSourceAndTargetIsRefusedAndLosesNothing) {
  test::TestFolder f;
  const std::string plain = Pattern(10000);
  f.Write("one", plain);
  Copy c;
  // The source is open for reading, shared for reading only: the same file
  // cannot be opened again for writing.
  EXPECT_EQ(32, c.Run(f.Path("one"), f.Path("one")));  // ERROR_SHARING_VIOLATION
  EXPECT_TRUE(plain == f.Read("one"));
  EXPECT_EQ((Captions{""}), c.captions);
}

TEST(FileSharing, ReadersShareAWriterSharesWithNobody) {
  test::TestFolder f;
  f.Write("file", "data");
  uint32_t error = 0;
  {
    os::File reader = os::File::Open(f.Path("file"), os::File::Mode::kRead, &error);
    ASSERT_TRUE(reader.IsOpen());
    EXPECT_TRUE(os::File::Open(f.Path("file"), os::File::Mode::kRead, &error).IsOpen());
    EXPECT_FALSE(os::File::Open(f.Path("file"), os::File::Mode::kReadWrite, &error).IsOpen());
    EXPECT_EQ(32u, error);
    EXPECT_FALSE(os::File::Open(f.Path("file"), os::File::Mode::kCreateTruncate, &error).IsOpen());
    EXPECT_EQ(32u, error);
  }
  {
    os::File writer = os::File::Open(f.Path("file"), os::File::Mode::kReadWrite, &error);
    ASSERT_TRUE(writer.IsOpen());
    EXPECT_FALSE(os::File::Open(f.Path("file"), os::File::Mode::kRead, &error).IsOpen());
    EXPECT_EQ(32u, error);
    writer.Close();
    // Closed, it is free again.
    EXPECT_TRUE(os::File::Open(f.Path("file"), os::File::Mode::kRead, &error).IsOpen());
  }
  EXPECT_EQ("data", f.Read("file"));
}

}  // namespace
