#include "pdfcontrol/tiff_messages.h"

#include <gtest/gtest.h>

namespace quirepane {
namespace {

TEST(TiffMessages, OnlyTheUnknownTagNotesAreDropped) {
  EXPECT_TRUE(IsUnknownTagNote("TIFFFieldWithTag", "Internal error, unknown tag 0x829a"));
  EXPECT_FALSE(IsUnknownTagNote("TIFFReadDirectory", "Internal error, unknown tag 0x829a"));
  EXPECT_FALSE(IsUnknownTagNote("TIFFFieldWithTag", "Cannot read strip 3"));
}

}  // namespace
}  // namespace quirepane
