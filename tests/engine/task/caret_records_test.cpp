#include "engine/task/caret_records.h"

#include <gtest/gtest.h>

#include "engine/task/conversion_options.h"

namespace tessa {
namespace {

TEST(ConversionOptions, NewRecordHoldsTheDefaults) {
  clsConversionOptions o;
  EXPECT_EQ(o.sActionToDo, "C");
  EXPECT_EQ(o.lOriginalFileType, -12345678);
  EXPECT_EQ(o.lTargetFileType, 100);
  EXPECT_EQ(o.lConversionMethod, 1);
  EXPECT_EQ(o.sExtraParams, "1");
  EXPECT_EQ(o.lErr, 0);
  EXPECT_FALSE(o.bVerbose || o.bVerboseLog || o.bDoSubfolders || o.bSaveInOriginalFolder);
}

TEST(AdvancedOptions, BuildWritesEightCaretEndedFields) {
  EXPECT_EQ(BuildAdvancedOptions(true, "a", "b", "c", "d", "e", 2, "*"), "TRUE^a^b^c^d^e^2^*^");
  EXPECT_EQ(BuildAdvancedOptions(false, "", "", "", "", "", 0, "*"), "FALSE^^^^^^0^*^");
}

TEST(AdvancedOptions, RoundTripKeepsEveryField) {
  AdvancedOptions in{true, "Ann", "Tool", "k1, k2", "Subj", "A title", 4, "2,5-10"};
  AdvancedOptions out;
  ParseAdvancedOptions(BuildAdvancedOptions(in), out);
  EXPECT_EQ(out.append, true);
  EXPECT_EQ(out.author, "Ann");
  EXPECT_EQ(out.creator, "Tool");
  EXPECT_EQ(out.keywords, "k1, k2");
  EXPECT_EQ(out.subject, "Subj");
  EXPECT_EQ(out.title, "A title");
  EXPECT_EQ(out.compression, 4);
  EXPECT_EQ(out.pages, "2,5-10");
}

TEST(AdvancedOptions, SixFieldDefaultLeavesCompressionAndPages) {
  AdvancedOptions o;
  o.compression = 3;
  o.pages = "1-2";
  ParseAdvancedOptions(
      "FALSE^Brindlecove, Inc.^Brindlecove, Inc.^Image, PDF, Conversion^Image To PDF Conversion^Image To PDF "
      "Conversion Tools^",
      o);
  EXPECT_FALSE(o.append);
  EXPECT_EQ(o.author, "Brindlecove, Inc.");
  EXPECT_EQ(o.title, "Image To PDF Conversion Tools");
  EXPECT_EQ(o.compression, 3);
  EXPECT_EQ(o.pages, "1-2");
}

TEST(AdvancedOptions, LoneCaretSetsAppendFalseAndAuthorEmptyOnly) {
  AdvancedOptions o{true, "x", "y", "z", "s", "t", 2, "3"};
  ParseAdvancedOptions("^", o);
  EXPECT_FALSE(o.append);
  EXPECT_EQ(o.author, "");
  EXPECT_EQ(o.creator, "y");
  EXPECT_EQ(o.title, "t");
  EXPECT_EQ(o.compression, 2);
  EXPECT_EQ(o.pages, "3");
}

TEST(AdvancedOptions, RecordWithoutCaretChangesNothing) {
  for (const char* record : {"1", "", "TRUE"}) {
    AdvancedOptions o{true, "x", "y", "z", "s", "t", 2, "3"};
    ParseAdvancedOptions(record, o);
    EXPECT_TRUE(o.append) << record;
    EXPECT_EQ(o.author, "x") << record;
    EXPECT_EQ(o.compression, 2) << record;
  }
}

TEST(AdvancedOptions, CaretInsideAuthorShiftsLaterFields) {
  AdvancedOptions o;
  ParseAdvancedOptions(BuildAdvancedOptions(false, "a^b", "c", "k", "s", "t", 1, "*"), o);
  EXPECT_EQ(o.author, "a");
  EXPECT_EQ(o.creator, "b");
  EXPECT_EQ(o.keywords, "c");
  EXPECT_EQ(o.title, "s");
  EXPECT_EQ(o.compression, 0) << "\"t\" is no number, so compression keeps its entry value";
  EXPECT_EQ(o.pages, "1");
}

TEST(AdvancedOptions, AppendReadsLikeTheOriginalBooleans) {
  struct Case {
    const char* record;
    bool expected;
  } cases[] = {{"true^", true}, {"False^", false}, {"-1^", true}, {"0^", false}, {" 2 ^", true}};
  for (const auto& c : cases) {
    AdvancedOptions o;
    o.append = !c.expected;
    ParseAdvancedOptions(c.record, o);
    EXPECT_EQ(o.append, c.expected) << c.record;
  }
  AdvancedOptions o;
  o.append = true;
  ParseAdvancedOptions("yes^a^", o);
  EXPECT_TRUE(o.append) << "an unreadable Boolean is skipped";
  EXPECT_EQ(o.author, "a");
}

TEST(AdvancedOptions, CompressionRoundsHalfToEvenAndSkipsBadNumbers) {
  AdvancedOptions o;
  ParseAdvancedOptions("FALSE^^^^^^2.5^*^", o);
  EXPECT_EQ(o.compression, 2);
  ParseAdvancedOptions("FALSE^^^^^^3.5^*^", o);
  EXPECT_EQ(o.compression, 4);
  ParseAdvancedOptions("FALSE^^^^^^x^*^", o);
  EXPECT_EQ(o.compression, 4);
  ParseAdvancedOptions("FALSE^^^^^^&H3^*^", o);
  EXPECT_EQ(o.compression, 3);
}

TEST(CaretFields3, JoinAndSplit) {
  EXPECT_EQ(JoinCaretFields3(32, 1, -1), "32^1^-1");
  int32_t a = 0, b = 0, c = 99;
  SplitCaretFields3("32^1", a, b, c);
  EXPECT_EQ(a, 32);
  EXPECT_EQ(b, 1);
  EXPECT_EQ(c, 99);
  SplitCaretFields3("64^x^30", a, b, c);
  EXPECT_EQ(a, 64);
  EXPECT_EQ(b, 1);
  EXPECT_EQ(c, 30);
  SplitCaretFields3("7", a, b, c);
  EXPECT_EQ(a, 64) << "one piece assigns nothing";
}

}  // namespace
}  // namespace tessa
