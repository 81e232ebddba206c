// Pages appended straight from the text at a file's end: each draws its own
// image at its own size, pages drawn alike share one content stream, and
// the object reader takes the forms such a file's end holds.
#include <gtest/gtest.h>

#include <set>

#include <qpdf/QPDF.hh>

#include "convert_fixture.h"
#include "pdfcontrol/incremental_update.h"
#include "pdfcontrol/object_text.h"

namespace quirepane::test {
namespace {

class DirectAppend : public ConvertFixture {};

TEST_F(DirectAppend, EachPageDrawsItsOwnImageAndAlikePagesShareTheirDrawing) {
  MakeImage(File("wide.jpg"), FIF_JPEG, 120, 50, Pixels::Rgb24, 0, JPEG_QUALITYNORMAL);
  MakeImage(File("tall.jpg"), FIF_JPEG, 40, 90, Pixels::Grey8, 0, JPEG_QUALITYNORMAL);
  MakeImage(File("flat.png"), FIF_PNG, 120, 50, Pixels::Palette8);
  // Runs of alike pages, long enough to fill nodes, grow the tree and
  // outlast the listing of the catalog and information.
  std::vector<std::string> order;
  for (int i = 0; i < 20; ++i) order.push_back("wide.jpg");
  for (int i = 0; i < 3; ++i) order.push_back("tall.jpg");
  order.push_back("flat.png");
  for (int i = 0; i < 20; ++i) order.push_back(i % 5 == 4 ? "tall.jpg" : "wide.jpg");
  const std::string pdf = File("out.pdf");
  for (const std::string& name : order) ASSERT_EQ(Convert(File(name), pdf, FT_AUTO, true), CR_Success) << name;

  EXPECT_TRUE(InspectPdf(pdf).checkPassed);
  QPDF doc;
  doc.processFile(pdf.c_str());
  const std::vector<QPDFObjectHandle> pages = doc.getAllPages();
  ASSERT_EQ(pages.size(), order.size());
  std::set<QPDFObjGen> contents;
  for (size_t i = 0; i < pages.size(); ++i) {
    const bool wide = order[i] != "tall.jpg";
    const std::string w = wide ? "120" : "40", h = wide ? "50" : "90";
    QPDFObjectHandle page = pages[i];
    std::shared_ptr<Buffer> drawn = page.getKey("/Contents").getStreamData();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(drawn->getBuffer()), drawn->getSize()),
              "q " + w + " 0 0 " + h + " 0 0 cm /Im1 Do Q\n")
        << "page " << i + 1;
    QPDFObjectHandle image = page.getKey("/Resources").getKey("/XObject").getKey("/Im1");
    EXPECT_EQ(image.getDict().getKey("/Width").getIntValue(), wide ? 120 : 40) << "page " << i + 1;
    EXPECT_EQ(image.getDict().getKey("/Filter").getName(), order[i] == "flat.png" ? "/FlateDecode" : "/DCTDecode")
        << "page " << i + 1;
    contents.insert(page.getKey("/Contents").getObjGen());
  }
  // One drawing per change of size, give or take the few appends that go
  // the general road (the first file, a tree growing a level).
  EXPECT_LE(contents.size(), 12u);
}

TEST(ObjectText, ReadsTheFormsAFilesEndHolds) {
  using Kind = TextValue::Kind;
  const std::string deep(200, '[');
  const struct {
    const char* text;
    bool parses;
    Kind kind;
    const char* key;      // a key of a dictionary to look at, or ""
    Kind keyKind;
    const char* keyText;  // its text (names, strings, reals) or number
  } cases[] = {
      {"12 0 obj\n<</Count 3/Kids[4 0 R 9 0 R]/Type/Pages>>\nendobj", true, Kind::Dictionary, "/Kids", Kind::Array, ""},
      {"<< /Parent 7 0 R >>", true, Kind::Dictionary, "/Parent", Kind::Reference, "7"},
      {"<</Title (a \\(b\\) \\101\\nc (d))>>", true, Kind::Dictionary, "/Title", Kind::String, "a (b) A\nc (d)"},
      {"<</ID <0aFf 1>>>", true, Kind::Dictionary, "/ID", Kind::String, "\x0a\xff\x10"},
      {"<</W 1.5/N -3 % a comment\n/B true>>", true, Kind::Dictionary, "/W", Kind::Real, "1.5"},
      {"<</N -3/M 4/K 5>>", true, Kind::Dictionary, "/M", Kind::Integer, "4"},
      {"<</Length 31>>\nstream\nq 1 0 0 1 0 0 cm\nendstream", true, Kind::Dictionary, "/Length", Kind::Integer, "31"},
      {"<</Kids[1 0 R", false, Kind::Null, "", Kind::Null, ""},
      {"<</Title (unclosed>>", false, Kind::Null, "", Kind::Null, ""},
      {"<</A <zz>>>", false, Kind::Null, "", Kind::Null, ""},
      {"<<4 0 R>>", false, Kind::Null, "", Kind::Null, ""},
      {deep.c_str(), false, Kind::Null, "", Kind::Null, ""},
  };
  for (const auto& c : cases) {
    const std::optional<TextValue> value = ParseObjectText(c.text);
    ASSERT_EQ(value.has_value(), c.parses) << c.text;
    if (!value) continue;
    EXPECT_EQ(value->kind, c.kind) << c.text;
    if (*c.key == '\0') continue;
    const TextValue* v = value->Find(c.key);
    ASSERT_NE(v, nullptr) << c.text;
    EXPECT_EQ(v->kind, c.keyKind) << c.text;
    if (c.keyKind == Kind::Integer || c.keyKind == Kind::Reference) EXPECT_EQ(std::to_string(v->number), c.keyText);
    else if (*c.keyText) EXPECT_EQ(v->text, c.keyText) << c.text;
  }
}

// Decoding parameters written again read as qpdf writes them; anything
// but names, integers and booleans is left to qpdf.
TEST(ObjectText, SortedDictionariesMatchQpdfsWriting) {
  for (const char* text : {"<< /K 0 /EncodedByteAlign true /Columns 1728 /Rows 2200 >>", "<< /K -1 /Columns 8 /Rows 9 >>",
                           "<< /BitsPerComponent 8 /Colors 3 /Columns 8 /Predictor 15 >>", "<< /ColorTransform 0 >>",
                           "<<>>"}) {
    QPDF scratch;
    scratch.emptyPDF();
    const std::optional<std::string> sorted = SortedDictionaryText(text);
    ASSERT_TRUE(sorted) << text;
    EXPECT_EQ(*sorted, Compact(QPDFObjectHandle::parse(&scratch, text).unparseResolved())) << text;
  }
  for (const char* text : {"<< /W 1.5 >>", "<< /A [1 2] >>", "<< /S (x) >>", "[1 2]", "<< /K"}) {
    EXPECT_FALSE(SortedDictionaryText(text)) << text;
  }
}

}  // namespace
}  // namespace quirepane::test
