#include "common/file_helpers.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "support/forked_children.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(FileHelpers, ExistenceTests) {
  TempDir dir;
  const std::string file = WriteFile(dir.path() / "a.tif", "x");
  const std::string hidden = WriteFile(dir.path() / ".hidden", "x");
  fs::permissions(file, fs::perms(0444));
  EXPECT_TRUE(bFileExists(file));
  EXPECT_FALSE(bFileExists("  " + file + " "));  // another name
  EXPECT_TRUE(bFileExists(hidden));
  EXPECT_FALSE(bFileExists(dir.path().string()));
  EXPECT_FALSE(bFileExists(""));
  EXPECT_FALSE(bFileExists(dir.file("*.tif")));
  EXPECT_TRUE(bFolderExists(dir.path().string()));
  EXPECT_FALSE(bFolderExists(file));
  EXPECT_TRUE(bPathExists(file));
  EXPECT_TRUE(bPathExists(dir.path().string()));
  EXPECT_FALSE(bPathExists(dir.file("none")));
}

TEST(FileHelpers, DeleteReportsSuccessOnlyWhenTheFileIsGone) {
  TempDir dir;
  const std::string file = WriteFile(dir.path() / "ro.txt", "x");
  fs::permissions(file, fs::perms(0444));
  EXPECT_TRUE(bDeleteFile(file));
  EXPECT_FALSE(fs::exists(file));
  EXPECT_FALSE(bDeleteFile(file));
  EXPECT_TRUE(bDeleteFileWithRetry(file));  // nothing there: at once
  fs::create_directories(dir.path() / "folder");
  EXPECT_FALSE(bDeleteFile(dir.file("folder")));
  EXPECT_FALSE(bDeleteFileWithRetry(dir.file("folder"), 2, std::chrono::milliseconds(1)));
  EXPECT_TRUE(fs::exists(dir.path() / "folder"));
  const std::string other = WriteFile(dir.path() / "b.txt", "x");
  EXPECT_TRUE(bDeleteFileWithRetry(other));
  EXPECT_FALSE(fs::exists(other));
}

TEST(FileHelpers, DeleteOfAFileThatCannotBeExaminedOrRemovedFails) {
  TempDir dir;
  const fs::path folder = dir.path() / "locked";
  const std::string locked = WriteFile(folder / "f.txt", "x");
  // Permissions bind only without privileges: a child gives them up.
  EXPECT_EQ(test::ExitCodeWithoutPrivileges([&] {
    fs::permissions(folder, fs::perms(0555));
    // A refused deletion does not wait through its tries (that froze a run
    // for 20 seconds per file): with a minute between tries, only a wait can
    // take a minute.
    const auto start = std::chrono::steady_clock::now();
    if (bDeleteFileWithRetry(locked, 5, std::chrono::seconds(60))) return 3;
    if (std::chrono::steady_clock::now() - start >= std::chrono::seconds(60)) return 4;
    if (!fs::exists(locked)) return 5;
    fs::permissions(folder, fs::perms(0000));
    return bDeleteFileWithRetry(locked, 3, std::chrono::milliseconds(1)) ? 6 : 0;
  }), 0);
}

TEST(FileHelpers, MoveNeverLosesTheFile) {
  TempDir dir;
  const std::string src = WriteFile(dir.path() / "in" / "a.pdf", "payload");
  std::string folder = dir.file("out/deep");
  ASSERT_TRUE(bMoveFileToFolder(src, folder));
  EXPECT_EQ(folder, dir.file("out/deep") + "/");
  EXPECT_FALSE(fs::exists(src));
  EXPECT_EQ(ReadFile(dir.path() / "out" / "deep" / "a.pdf"), "payload");

  // Onto itself: nothing happens and the file stays.
  const std::string here = dir.file("out/deep/a.pdf");
  std::string same = dir.file("out/deep/");
  EXPECT_TRUE(bMoveFileToFolder(here, same));
  EXPECT_EQ(ReadFile(here), "payload");
  std::string sameOtherSpelling = dir.file("out/x/../deep");
  fs::create_directories(dir.path() / "out" / "x");
  EXPECT_TRUE(bMoveFileToFolder(here, sameOtherSpelling));
  EXPECT_EQ(ReadFile(here), "payload");

  // An existing file of that name is kept: the newcomer takes a free name.
  const std::string newer = WriteFile(dir.path() / "in" / "a.pdf", "newer");
  std::string target = dir.file("out/deep");
  std::string movedTo;
  ASSERT_TRUE(bMoveFileToFolder(newer, target, &movedTo));
  EXPECT_EQ(ReadFile(here), "payload");
  EXPECT_EQ(movedTo, dir.file("out/deep/a (2).pdf"));
  EXPECT_EQ(ReadFile(movedTo), "newer");

  // A missing source or an impossible folder changes nothing.
  std::string none = dir.file("out");
  EXPECT_FALSE(bMoveFileToFolder(dir.file("in/missing.pdf"), none));
  const std::string keep = WriteFile(dir.path() / "in" / "b.pdf", "keep");
  WriteFile(dir.path() / "blocker", "x");
  std::string blocked = dir.file("blocker/sub");
  EXPECT_FALSE(bMoveFileToFolder(keep, blocked));
  EXPECT_EQ(ReadFile(keep), "keep");
}

TEST(FileHelpers, MoveAcrossFileSystemsCopiesThenDeletes) {
  struct stat a{}, b{};
  TempDir dir;
  if (::stat("/dev/shm", &b) != 0 || ::stat(dir.path().c_str(), &a) != 0 || a.st_dev == b.st_dev)
    GTEST_SKIP() << "no second file system at hand";
  char tmpl[] = "/dev/shm/tessa-move-XXXXXX";
  ASSERT_NE(::mkdtemp(tmpl), nullptr);
  const std::string other = tmpl;
  const std::string src = WriteFile(dir.path() / "big.bin", std::string(300000, 'z'));
  fs::permissions(src, fs::perms(0640));
  std::string folder = other;
  const bool moved = bMoveFileToFolder(src, folder);
  const std::string landed = ReadFile(other + "/big.bin");
  const auto perms = fs::status(other + "/big.bin").permissions();
  size_t entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(other)) ++entries;
  fs::remove_all(other);
  EXPECT_TRUE(moved);
  EXPECT_EQ(landed, std::string(300000, 'z'));
  EXPECT_EQ(perms, fs::perms(0640));
  EXPECT_EQ(entries, 1u);  // no temporary copy left
  EXPECT_FALSE(fs::exists(src));
}

TEST(FileHelpers, NamesAndFolders) {
  EXPECT_EQ(GetFileNameFromPath("/a/b/photo.tif"), "photo.tif");
  EXPECT_EQ(GetFileNameFromPath("C:\\a\\README"), "README.");
  EXPECT_EQ(GetFileNameFromPath("/a/b/"), "b.");
  EXPECT_EQ(GetParentFolder("/a/b/c.tif"), "/a/b");
  EXPECT_EQ(GetParentFolder("/a/b/"), "/a");
  EXPECT_EQ(GetParentFolder("\\a\\b"), "/a");
  EXPECT_EQ(GetParentFolder("/a"), "/");
  EXPECT_EQ(GetParentFolder("name"), "");
  EXPECT_EQ(GetParentFolder("/"), "");
  EXPECT_EQ(GetParentFolderUNC("\\\\server\\share"), "//server");
  EXPECT_EQ(GetDriveRoot("/a/b", false), "/");
  EXPECT_EQ(GetDriveRoot("\\\\srv\\share\\x", true), "//srv/share/");
  EXPECT_EQ(GetDriveRoot("rel/x", true), "");
  EXPECT_EQ(GetAbsolutePath("/a/./b/../c/"), "/a/c");
}

TEST(FileHelpers, DeepestExistingFolder) {
  TempDir dir;
  fs::create_directories(dir.path() / "a" / "b");
  const std::string base = dir.path().string();
  EXPECT_EQ(GetDeepestExistingFolder(base + "/a/b/c/d"), base + "/a/b");
  EXPECT_EQ(GetDeepestExistingFolder(base + "\\a\\\\b\\"), base + "/a/b");
  EXPECT_EQ(GetDeepestExistingFolder("/no-such-top-folder-xyz/a"), "/");
  EXPECT_EQ(GetDeepestExistingFolder(""), "");
}

TEST(FileHelpers, CheckOutputFolderJudgesTheDeepestExistingPart) {
  TempDir dir;
  const std::string home = dir.file("home/user");
  test::ScopedHome h(home);
  fs::create_directories(home + "/Documents");
  const std::string docs = home + "/Documents";
  std::string rec, msg = "unchanged";

  EXPECT_EQ(CheckOutputFolder(" %MYDOCUMENTS%/new/sub/ ", rec, msg), kOutputFolderUsable);
  EXPECT_EQ(rec, docs + "/new/sub");
  EXPECT_EQ(msg, "unchanged");

  EXPECT_EQ(CheckOutputFolder("/usr/share/tessa-out", rec, msg), kOutputFolderSystem);
  EXPECT_EQ(rec, docs + "/share/tessa-out");
  EXPECT_EQ(msg, "Output folder is a system folder and should not be used.");
  EXPECT_EQ(CheckOutputFolder("%PROGRAMFILES%\\x", rec, msg), kOutputFolderSystem);
  EXPECT_EQ(rec, docs + "/x");

  EXPECT_EQ(CheckOutputFolder("/", rec, msg), kOutputFolderRoot);
  EXPECT_EQ(rec, docs);
  EXPECT_EQ(msg, "Output folder: You should not write or create sub directories in the system root directory.");
  EXPECT_EQ(CheckOutputFolder("/tessa-not-there-xyz/out", rec, msg), kOutputFolderRoot);
  EXPECT_EQ(rec, docs + "/tessa-not-there-xyz/out");
  msg = "unchanged";
  EXPECT_EQ(CheckOutputFolder("/tmp", rec, msg), kOutputFolderUsable);  // existing, below the root

  EXPECT_EQ(CheckOutputFolder(dir.file("home"), rec, msg), kOutputFolderProtected);
  EXPECT_EQ(msg, "Output folder is a protected folder and should not be used.");
  EXPECT_EQ(rec, docs);
  EXPECT_EQ(CheckOutputFolder("/home", rec, msg), kOutputFolderProtected);
  EXPECT_EQ(CheckOutputFolder("  ", rec, msg), kOutputFolderUnknown);
  EXPECT_EQ(msg.rfind("Output folder has an unknown status. Error: ", 0), 0u);
}

TEST(FileHelpers, CheckOutputFolderSeesThroughDotsAndRelativePaths) {
  TempDir dir;
  const std::string home = dir.file("home/user");
  test::ScopedHome h(home);
  fs::create_directories(home + "/Documents");
  const std::string docs = home + "/Documents";
  std::string rec, msg;

  // "." and ".." are taken as the folders they name.
  EXPECT_EQ(CheckOutputFolder("/tmp/../usr/share/tessa-new", rec, msg), kOutputFolderSystem);
  EXPECT_EQ(rec, docs + "/share/tessa-new");
  EXPECT_EQ(CheckOutputFolder("/./usr/./share/tessa-new", rec, msg), kOutputFolderSystem);
  EXPECT_EQ(rec, docs + "/share/tessa-new");
  EXPECT_EQ(CheckOutputFolder("/tmp/../tessa-not-there-xyz", rec, msg), kOutputFolderRoot);
  EXPECT_EQ(rec, docs + "/tessa-not-there-xyz");
  EXPECT_EQ(GetDeepestExistingFolder("/tmp/../usr/tessa-not-there-xyz"), "/usr");

  // A relative folder is judged, and replaced, as the absolute folder it names.
  const fs::path old = fs::current_path();
  fs::current_path("/usr");
  const long status = CheckOutputFolder("share/tessa-new", rec, msg);
  fs::current_path(old);
  EXPECT_EQ(status, kOutputFolderSystem);
  EXPECT_EQ(rec, docs + "/share/tessa-new");
}

TEST(FileHelpers, CheckOutputFolderRefusesAnUnwritableFolder) {
  TempDir dir;
  test::ScopedHome h(dir.file("home"));
  fs::create_directories(dir.path() / "ro");
  fs::permissions(dir.path() / "ro", fs::perms(0555));
  EXPECT_EQ(test::ExitCodeWithoutPrivileges([&] {
    std::string rec, msg;
    if (CheckOutputFolder(dir.file("ro/out"), rec, msg) != kOutputFolderNotWriteable) return 3;
    if (rec != dir.file("home") + "/Documents" || msg != "Output folder is not writeable.") return 4;
    return bFolderIsWriteable(dir.file("ro")) ? 5 : 0;
  }), 0);
}

TEST(FileHelpers, WriteabilityProbeAndUniqueNames) {
  TempDir dir;
  EXPECT_TRUE(bFolderIsWriteable(dir.file("not/yet/made")));
  EXPECT_FALSE(bFolderIsWriteable(""));
  size_t entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 0u);  // the probe is gone

  const std::string name = GetUniqueTempFileName("", "", "");
  std::error_code ec;
  EXPECT_EQ(fs::path(name).parent_path(), fs::temp_directory_path(ec));
  EXPECT_EQ(fs::path(name).extension(), ".tmp");
  EXPECT_LE(fs::path(name).stem().string().size(), 8u);
  const std::string prefixed = GetUniqueTempFileName(dir.path().string(), " PCR ", "bmp");
  const std::string stem = fs::path(prefixed).stem().string();
  EXPECT_EQ(stem.substr(0, 3), "PCR");
  EXPECT_LE(stem.size(), 8u);
  EXPECT_EQ(fs::path(prefixed).extension(), ".bmp");
  EXPECT_EQ(GetUniqueTempFileName(dir.path().string(), "NINECHARS", ""), "");
}

TEST(FileHelpers, FileTimesRoundTripAndAttributes) {
  TempDir dir;
  const std::string file = WriteFile(dir.path() / "t.txt", "x");
  // 2021-06-15 12:30:45 as a date value.
  const double when = 44362.0 + (12 * 3600 + 30 * 60 + 45) / 86400.0;
  EXPECT_FALSE(bSetFileTimes(file, when, when, when, false));
  double created = 0, accessed = 0, modified = 0;
  EXPECT_FALSE(bGetFileTimes(file, created, accessed, modified, false));
  EXPECT_NEAR(modified, when, 1e-6);
  EXPECT_NEAR(accessed, when, 1e-6);
  struct stat st{};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, 1623760245);
  EXPECT_FALSE(bSetFileTimes(file, 0, when, when, true));
  EXPECT_FALSE(bGetFileTimes(file, created, accessed, modified, true));
  EXPECT_NEAR(modified, when, 1e-6);
  double untouched = -1;
  EXPECT_TRUE(bGetFileTimes(dir.file("missing"), untouched, untouched, untouched, true));
  EXPECT_EQ(untouched, -1);
  EXPECT_TRUE(bSetFileTimes(dir.file("missing"), when, when, when, true));

  auto ownerWrite = [&] { return (fs::status(file).permissions() & fs::perms::owner_write) != fs::perms::none; };
  fs::permissions(file, fs::perms(0444));
  ASSERT_TRUE(bSetAttributesMasked(file, -1));  // keeps read-only
  EXPECT_FALSE(ownerWrite());
  ASSERT_TRUE(bSetAttributesMasked(file, -2));  // clears it
  EXPECT_TRUE(ownerWrite());
  EXPECT_FALSE(bSetAttributesMasked(dir.file("missing"), -2));
}

TEST(FileHelpers, CopyFolder) {
  TempDir dir;
  WriteFile(dir.path() / "src" / "a.txt", "a");
  WriteFile(dir.path() / "src" / "sub" / "b.txt", "b");
  ASSERT_TRUE(CopyFolderFSO(dir.file("src"), dir.file("dst"), false));
  EXPECT_EQ(ReadFile(dir.path() / "dst" / "sub" / "b.txt"), "b");
  WriteFile(dir.path() / "src" / "a.txt", "a2");
  EXPECT_FALSE(CopyFolderFSO(dir.file("src"), dir.file("dst"), false));
  EXPECT_TRUE(CopyFolderFSO(dir.file("src"), dir.file("dst"), true));
  EXPECT_EQ(ReadFile(dir.path() / "dst" / "a.txt"), "a2");
  EXPECT_FALSE(CopyFolderFSO(dir.file("none"), dir.file("dst2"), true));
}

}  // namespace
}  // namespace tessa
