// The last few cross-reference sections of a file: the newest listing of an
// object wins, a freed object is gone, the look back stops after a few
// tables or at a table it cannot read, and a cross-reference stream and its
// object streams read as qpdf reads them.
#include "pdfcontrol/recent_tables.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include <qpdf/QPDF.hh>

#include "pdfcontrol/file_descriptor.h"
#include "pdfcontrol/object_text.h"
#include "support/temp_dir.h"

namespace quirepane {
namespace {

// A file of tables only: table k (0 the oldest) lists the objects given
// for it, each at offset 1000 * (k + 1) + its number; "f" marks a freed one.
struct Listing {
  int number;
  bool freed = false;
};

std::string Tables(const std::vector<std::vector<Listing>>& tables, std::vector<unsigned long long>& starts,
                   bool brokenOldest = false) {
  std::string file = "%PDF-1.4\n";
  starts.clear();
  for (size_t k = 0; k < tables.size(); ++k) {
    starts.push_back(file.size());
    file += k == 0 && brokenOldest ? "xref\n1 x\n" : "xref\n";
    for (const Listing& l : tables[k]) {
      char entry[40];
      std::snprintf(entry, sizeof entry, "%d 1\n%010llu 00000 %c \n", l.number, 1000ull * (k + 1) + l.number,
                    l.freed ? 'f' : 'n');
      file += entry;
    }
    file += "trailer\n<< /Size 99";
    if (k > 0) file += " /Prev " + std::to_string(starts[k - 1]);
    file += " >>\nstartxref\n" + std::to_string(starts[k]) + "\n%%EOF\n";
  }
  return file;
}

TEST(RecentTables, NewestListingWinsAndTheLookBackIsShort) {
  tessa::test::TempDir dir;
  std::vector<std::vector<Listing>> tables(kRecentTables + 2);
  tables[0] = {{1}, {2}, {3}};  // beyond the look back from the newest
  tables[2] = {{4}, {5}};
  tables[3] = {{5, true}};
  tables[kRecentTables + 1] = {{6}, {4}};
  std::vector<unsigned long long> starts;
  const std::string path = tessa::test::WriteFile(dir.file("t.pdf"), Tables(tables, starts));
  FileDescriptor fd(path, O_RDONLY);
  RecentTables recent(fd.get(), starts.back(), std::filesystem::file_size(path));
  ASSERT_TRUE(recent.ok());
  const struct {
    int number;
    bool found;
    unsigned long long offset;
    int depth;
  } cases[] = {
      {6, true, 1000ull * (kRecentTables + 2) + 6, 0},  // in the newest table
      {4, true, 1000ull * (kRecentTables + 2) + 4, 0},  // the newest of two listings
      {5, false, 0, 0},                                  // freed after it was listed
      {1, false, 0, 0},                                  // too far back
      {7, false, 0, 0},                                  // never listed
  };
  for (const auto& c : cases) {
    const std::optional<RecentTables::Entry> entry = recent.Find(c.number);
    ASSERT_EQ(entry.has_value(), c.found) << c.number;
    if (!entry) continue;
    EXPECT_EQ(entry->offset, c.offset) << c.number;
    EXPECT_EQ(entry->depth, c.depth) << c.number;
  }

  // Within reach, an older table answers with its depth; a table that does
  // not read ends the look back without an answer.
  std::vector<std::vector<Listing>> near = {{{1}}, {{2}}, {{3}}};
  const std::string nearPath = tessa::test::WriteFile(dir.file("near.pdf"), Tables(near, starts));
  FileDescriptor nearFd(nearPath, O_RDONLY);
  RecentTables nearTables(nearFd.get(), starts.back(), std::filesystem::file_size(nearPath));
  ASSERT_TRUE(nearTables.Find(1).has_value());
  EXPECT_EQ(nearTables.Find(1)->depth, 2);
  const std::string brokenPath = tessa::test::WriteFile(dir.file("broken.pdf"), Tables(near, starts, true));
  FileDescriptor brokenFd(brokenPath, O_RDONLY);
  RecentTables broken(brokenFd.get(), starts.back(), std::filesystem::file_size(brokenPath));
  EXPECT_TRUE(broken.Find(3).has_value());
  EXPECT_FALSE(broken.Find(1).has_value());
  EXPECT_FALSE(RecentTables(brokenFd.get(), starts.front(), std::filesystem::file_size(brokenPath)).ok());
}

TEST(RecentTables, CrossReferenceStreamsReadAsQpdfReadsThem) {
  tessa::test::TempDir dir;
  // 150 strings that the catalog refers to: more than one object stream.
  std::string pdf = "%PDF-1.5\n1 0 obj\n<< /Type /Catalog /Pages 2 0 R /Marks [";
  for (int n = 3; n < 153; ++n) pdf += " " + std::to_string(n) + " 0 R";
  pdf += "] >>\nendobj\n2 0 obj\n<< /Type /Pages /Kids [] /Count 0 >>\nendobj\n";
  for (int n = 3; n < 153; ++n) pdf += std::to_string(n) + " 0 obj\n(mark " + std::to_string(n) + ")\nendobj\n";
  const std::string plain = tessa::test::WriteFile(dir.file("plain.pdf"), pdf + "trailer\n<< /Root 1 0 R /Size 153 >>\n");
  const std::string packed = dir.file("packed.pdf");
  ASSERT_EQ(tessa::test::RunCommand("qpdf --warning-exit-0 --object-streams=generate " + tessa::test::ShellQuote(plain) +
                                    " " + tessa::test::ShellQuote(packed) + " 2>/dev/null").exitCode, 0);
  const std::string bytes = tessa::test::ReadFile(packed);
  FileDescriptor fd(packed, O_RDONLY);
  RecentTables tables(fd.get(), std::stoull(bytes.substr(bytes.rfind("startxref") + 9)), bytes.size());
  ASSERT_TRUE(tables.ok());

  QPDF qpdf;
  qpdf.processFile(packed.c_str());
  int compressed = 0;
  for (const auto& [og, entry] : qpdf.getXRefTable()) {
    const std::optional<RecentTables::Entry> found = tables.Find(og.getObj());
    ASSERT_TRUE(found.has_value()) << og.getObj();
    if (entry.getType() == 1) {
      EXPECT_EQ(found->offset, static_cast<unsigned long long>(entry.getOffset())) << og.getObj();
      EXPECT_EQ(found->stream, 0) << og.getObj();
      continue;
    }
    ++compressed;
    EXPECT_EQ(found->stream, entry.getObjStreamNumber()) << og.getObj();
    EXPECT_EQ(found->index, entry.getObjStreamIndex()) << og.getObj();
    const std::optional<TextValue> value = ParseObjectText(tables.ObjectText(og));
    ASSERT_TRUE(value.has_value()) << og.getObj();
    QPDFObjectHandle object = qpdf.getObjectByObjGen(og);
    if (object.isString()) EXPECT_EQ(value->text, object.getStringValue()) << og.getObj();
    else EXPECT_TRUE(value->Is(TextValue::Kind::Dictionary)) << og.getObj();
  }
  EXPECT_GT(compressed, 150);
}

}  // namespace
}  // namespace quirepane
