#include "platform/text_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <thread>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tessa {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(TextFile, DecodesByMarkThenUtf8ThenWindows1252KeepingLineEndsAndTabs) {
  const auto le = DecodeTextBytes(std::string("\xFF\xFE" "a\0\t\0\r\0\n\0\xAC\x20", 12));
  EXPECT_EQ(le.encoding, TextEncoding::Utf16LE);
  EXPECT_EQ(le.text, "a\t\r\n\xE2\x82\xAC");
  const auto be = DecodeTextBytes(std::string("\xFE\xFF\0a\xD8\x3D\xDE\x00", 8));
  EXPECT_EQ(be.encoding, TextEncoding::Utf16BE);
  EXPECT_EQ(be.text, "a\xF0\x9F\x98\x80");
  const auto bom = DecodeTextBytes("\xEF\xBB\xBFx\r\ny");
  EXPECT_EQ(bom.encoding, TextEncoding::Utf8Bom);
  EXPECT_EQ(bom.text, "x\r\ny");
  const auto utf8 = DecodeTextBytes("caf\xC3\xA9\t1");
  EXPECT_EQ(utf8.encoding, TextEncoding::Utf8);
  EXPECT_EQ(utf8.text, "caf\xC3\xA9\t1");
  const auto ansi = DecodeTextBytes("caf\xE9 \x80\r\n");
  EXPECT_EQ(ansi.encoding, TextEncoding::Windows1252);
  EXPECT_EQ(ansi.text, "caf\xC3\xA9 \xE2\x82\xAC\r\n");
  EXPECT_EQ(DecodeTextBytes("").text, "");
}

TEST(TextFile, EncodesBackIntoEachEncoding) {
  const std::string text = "caf\xC3\xA9 \xE2\x82\xAC \xE6\x97\xA5";
  EXPECT_EQ(EncodeText(text, TextEncoding::Windows1252), "caf\xE9 \x80 ?");
  EXPECT_EQ(DecodeUtf16(EncodeText(text, TextEncoding::Utf16LE), false), text);
  EXPECT_EQ(DecodeUtf16(EncodeText(text, TextEncoding::Utf16BE), true), text);
  EXPECT_EQ(EncodeText(text, TextEncoding::Utf8), text);
}

TEST(TextFile, AtomicWriteReplacesWholeFileKeepsModeAndFailsCleanly) {
  TempDir dir;
  const std::string path = WriteFile(dir.path() / "f.txt", "old contents");
  std::filesystem::permissions(path, std::filesystem::perms(0640));
  ASSERT_TRUE(WriteTextFileAtomic(path, "new\r\n"));
  EXPECT_EQ(ReadFile(path), "new\r\n");
  EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0640));
  std::string error;
  EXPECT_FALSE(WriteTextFileAtomic(dir.file("none/f.txt"), "x", &error));
  EXPECT_NE(error.find("f.txt"), std::string::npos);
  EXPECT_FALSE(ReadTextFile(dir.file("missing.txt"), &error));
  EXPECT_NE(error.find("missing.txt"), std::string::npos);
  if (geteuid() != 0) {
    std::filesystem::permissions(path, std::filesystem::perms(0444));
    EXPECT_FALSE(WriteTextFileAtomic(path, "replaced", &error));
    EXPECT_EQ(ReadFile(path), "new\r\n");
    std::filesystem::permissions(path, std::filesystem::perms(0640));
  }
  const auto read = ReadTextFile(path);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->text, "new\r\n");
}

TEST(TextFile, AtomicWriteThroughALinkKeepsTheLinkAlsoBeforeItsFileExists) {
  TempDir dir;
  WriteFile(dir.path() / "old.txt", "old");
  for (const char* named : {"old.txt", "new.txt"}) {
    const std::filesystem::path link = dir.path() / (std::string("to-") + named);
    std::filesystem::create_symlink(named, link);
    ASSERT_TRUE(WriteTextFileAtomic(link.string(), "written")) << named;
    EXPECT_TRUE(std::filesystem::is_symlink(link)) << named;
    EXPECT_EQ(ReadFile(dir.path() / named), "written") << named;
  }
}

TEST(TextFile, WritingAllBytesGoesOnUntilTheEndOrFailsWhenTheFileIsFull) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  const std::string big(1 << 20, 'x');  // more than a pipe holds at once
  std::string got;
  std::thread reader([&] {
    char buf[65536];
    ssize_t n;
    while ((n = ::read(ends[0], buf, sizeof buf)) > 0) got.append(buf, static_cast<size_t>(n));
  });
  EXPECT_TRUE(WriteAllBytes(ends[1], big));
  ::close(ends[1]);
  reader.join();
  ::close(ends[0]);
  EXPECT_EQ(got.size(), big.size());

  const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
  if (full < 0) GTEST_SKIP() << "no /dev/full";
  EXPECT_FALSE(WriteAllBytes(full, "x"));
  ::close(full);
}

}  // namespace
}  // namespace tessa
