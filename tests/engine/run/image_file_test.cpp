#include "engine/run/image_file.h"

#include <gtest/gtest.h>

#include "engine/image_fixtures.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

using test::TempDir;

TEST(ImageFile, CountsLoadsAndWritesFramesOfAMultiPageTiff) {
  TempDir dir;
  const std::string tif = dir.file("scan.tif");
  test::WriteTiffPages(tif, {101, 102, 103});
  ImageFile image;
  EXPECT_EQ(image.FrameCount(tif), 3);

  std::vector<uint8_t> frame;
  ASSERT_TRUE(image.LoadFrame(tif, 2, frame));
  EXPECT_TRUE(image.HoldSource());
  ASSERT_TRUE(image.SaveFrame(frame, dir.file("third.tif")));
  EXPECT_EQ(image.FrameCount(dir.file("third.tif")), 1);
  image.SetHoldSource(false);
  EXPECT_FALSE(image.HoldSource());

  EXPECT_FALSE(image.LoadFrame(tif, 3, frame));
  EXPECT_TRUE(frame.empty());
  EXPECT_FALSE(image.LoadFrame(tif, -1, frame));
  EXPECT_FALSE(image.SaveFrame({}, dir.file("none.tif")));
}

TEST(ImageFile, UnreadableFilesHaveNoFramesAndSingleImagesOne) {
  TempDir dir;
  test::WriteFile(dir.file("junk.tif"), "not an image at all");
  test::WriteImage(dir.file("one.png"), 30);
  ImageFile image;
  EXPECT_EQ(image.FrameCount(dir.file("junk.tif")), 0);
  EXPECT_EQ(image.FrameCount(dir.file("missing.tif")), 0);
  EXPECT_EQ(image.FrameCount(dir.file("one.png")), 1);
  std::vector<uint8_t> frame;
  EXPECT_TRUE(image.LoadFrame(dir.file("one.png"), 0, frame));
  EXPECT_FALSE(image.LoadFrame(dir.file("one.png"), 1, frame));
  EXPECT_FALSE(image.LoadFrame(dir.file("junk.tif"), 0, frame));
}

TEST(ImageFile, CompressionIndexChoosesTheTiffCodingAndCcittOnlyForOneBit) {
  TempDir dir;
  const std::string colour = dir.file("colour.tif");
  const std::string mono = dir.file("mono.tif");
  test::WriteTiffPages(colour, {40});
  test::WriteTiffPages(mono, {40}, 1);
  ImageFile image;
  std::vector<uint8_t> colourFrame, monoFrame;
  ASSERT_TRUE(image.LoadFrame(colour, 0, colourFrame));
  ASSERT_TRUE(image.LoadFrame(mono, 0, monoFrame));

  struct Case {
    int32_t index;
    int colourTag;
    int monoTag;
  };
  // TIFF tags: 1 none, 5 LZW, 32773 PackBits, 3 Group 3, 4 Group 4.
  for (const Case& c : {Case{0, 1, 1}, Case{1, 5, 5}, Case{2, 32773, 32773}, Case{3, 5, 3}, Case{4, 5, 4}}) {
    image.SetCompressionIndex(c.index);
    const std::string a = dir.file("c" + std::to_string(c.index) + ".tif");
    const std::string b = dir.file("m" + std::to_string(c.index) + ".tif");
    ASSERT_TRUE(image.SaveFrame(colourFrame, a));
    ASSERT_TRUE(image.SaveFrame(monoFrame, b));
    EXPECT_EQ(test::TiffCompressionTag(a), c.colourTag) << "index " << c.index;
    EXPECT_EQ(test::TiffCompressionTag(b), c.monoTag) << "index " << c.index;
  }
}

}  // namespace
}  // namespace tessa
