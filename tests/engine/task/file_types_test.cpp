#include "engine/task/file_types.h"

#include <gtest/gtest.h>

#include <set>

namespace tessa {
namespace {

TEST(FileTypes, ExtensionsWithAndWithoutMask) {
  EXPECT_EQ(GetImageTypeExtension(100, true), "*.PDF");
  EXPECT_EQ(GetImageTypeExtension(100, false), "PDF");
  EXPECT_EQ(GetImageTypeExtension(-1, true), "*.*");
  EXPECT_EQ(GetImageTypeExtension(-1, false), "*");
  EXPECT_EQ(GetImageTypeExtension(18, true), "*.tif");
  EXPECT_EQ(GetImageTypeExtension(2, false), "jpg");
  EXPECT_EQ(GetImageTypeExtension(40, false), "gif");
  EXPECT_EQ(GetImageTypeExtension(19, false), "wbmp");
  // Three pairs of codes share one extension.
  EXPECT_EQ(GetImageTypeExtension(7, false), "pbm");
  EXPECT_EQ(GetImageTypeExtension(8, false), "pbm");
  EXPECT_EQ(GetImageTypeExtension(11, false), GetImageTypeExtension(12, false));
  EXPECT_EQ(GetImageTypeExtension(14, false), GetImageTypeExtension(15, false));
  // Numbers outside the table.
  EXPECT_EQ(GetImageTypeExtension(22, false), "");
  EXPECT_EQ(GetImageTypeExtension(22, true), "*.");
  EXPECT_EQ(GetImageTypeExtension(-12345678, false), "");
}

TEST(FileTypes, OnlyImageConversionHasTypes) {
  EXPECT_EQ(GetFileTypeExtension(18, true, 1), "*.tif");
  EXPECT_EQ(GetFileTypeExtension(100, false, 1), "PDF");
  EXPECT_EQ(GetFileTypeExtension(18, true, 2), "");
  EXPECT_EQ(GetFileTypeExtension(100, false, 4), "");
  EXPECT_EQ(GetFileTypeExtension(100, true, 3), "");
}

TEST(FileTypes, DialogFilters) {
  EXPECT_EQ(GetImageTypeDialogFilter(18), "Tagged Image File Format (*.tif)|*.tif|All files (*.*)|*.*");
  EXPECT_EQ(GetImageTypeDialogFilter(0), "Windows Bitmap (*.bmp)|*.bmp|All files (*.*)|*.*");
  EXPECT_EQ(GetImageTypeDialogFilter(40), "GIF (*.gif)|*.gif|All files (*.*)|*.*");
  EXPECT_EQ(GetImageTypeDialogFilter(16), "Sun Rasterfile (*.ras)|*.ras|All files (*.*)|*.*");
  EXPECT_EQ(GetImageTypeDialogFilter(-1), "");
  EXPECT_EQ(GetImageTypeDialogFilter(100), "");
  EXPECT_EQ(GetImageTypeDialogFilter(55), "");
}

TEST(FileTypes, TableHoldsEveryCodeOnceWithFilterPatternMatchingItsExtension) {
  std::set<int32_t> codes;
  for (const ImageTypeInfo& t : ImageTypeTable()) {
    EXPECT_TRUE(codes.insert(t.code).second) << t.code;
    EXPECT_EQ(FindImageType(t.code), &t);
    if (t.code >= 0 && t.code <= 21) {
      EXPECT_EQ(t.member.substr(0, 3), "FT_") << t.code;
    }
    if (!t.filter.empty()) {
      EXPECT_NE(t.filter.find("|*." + std::string(t.extension) + "|"), std::string_view::npos) << t.code;
    }
  }
  EXPECT_EQ(codes.size(), 25u);
  EXPECT_EQ(FindImageType(22), nullptr);
}

TEST(FileTypes, ExtensionFitsType) {
  EXPECT_TRUE(bFileExtensionFitsType("JPEG", "jpg"));
  EXPECT_TRUE(bFileExtensionFitsType("tiff", "tif"));
  EXPECT_TRUE(bFileExtensionFitsType("TIF", "tif"));
  EXPECT_FALSE(bFileExtensionFitsType("jpg", "tif"));
  EXPECT_FALSE(bFileExtensionFitsType("jpg", "jng"));
  EXPECT_FALSE(bFileExtensionFitsType("jpg", "jpeg"));  // only the file may say "jpeg"
  EXPECT_FALSE(bFileExtensionFitsType("*", "tif"));
}

}  // namespace
}  // namespace tessa
