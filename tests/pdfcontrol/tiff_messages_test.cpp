#include "pdfcontrol/tiff_messages.h"

#include <gtest/gtest.h>
#include <tiffio.h>

namespace quirepane {
namespace {

TEST(TiffMessages, OnlyTheUnknownTagNotesAreDropped) {
  EXPECT_TRUE(IsUnknownTagNote("TIFFFieldWithTag", "Internal error, unknown tag 0x829a"));
  EXPECT_FALSE(IsUnknownTagNote("TIFFReadDirectory", "Internal error, unknown tag 0x829a"));
  EXPECT_FALSE(IsUnknownTagNote("TIFFFieldWithTag", "Cannot read strip 3"));
}

TEST(TiffMessages, EveryLiveCaptureKeepsTheFirstErrorAndTheWarningsThatMeanDamage) {
  const DecoderErrorCapture outer;
  {
    const DecoderErrorCapture inner;
    TIFFWarningExt(nullptr, "LZWDecode", "Strip %d not terminated with EOI code", 0);
    EXPECT_FALSE(inner.Failed());
    TIFFErrorExt(nullptr, "LZWDecode", "Corrupted LZW table at scanline %d", 3);
    TIFFWarningExt(nullptr, "Fax4Decode", "Premature EOL");
    EXPECT_EQ(inner.Reason(), "the image data is damaged (LZWDecode: Corrupted LZW table at scanline 3)");
  }
  EXPECT_TRUE(outer.Failed());
  const DecoderErrorCapture later;
  TIFFWarningExt(nullptr, "Fax3Decode1D", "Line length mismatch");
  EXPECT_EQ(later.FirstError(), "Fax3Decode1D: Line length mismatch");
  TakeTiffMessages();
}

}  // namespace
}  // namespace quirepane
