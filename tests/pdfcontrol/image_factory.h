// Test images written with FreeImage, and what poppler and qpdf report about
// the PDFs made from them.
#pragma once

#include <FreeImage.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/pdf_report.h"

namespace quirepane::test {

// A FreeImage bitmap that is unloaded when it goes.
struct Unloader {
  void operator()(FIBITMAP* dib) const { FreeImage_Unload(dib); }
};
using Dib = std::unique_ptr<FIBITMAP, Unloader>;

// Kinds of pixel data a test image can hold.
enum class Pixels { Rgb24, Grey8, Palette8, Bilevel, Rgba32, Rgb16PerChannel, Grey16 };

// Writes a width by height image of the given kind as format fif at path,
// with dpm dots per metre (0 for none) and FreeImage save flags. Returns path.
std::string MakeImage(const std::string& path, FREE_IMAGE_FORMAT fif, int width, int height,
                      Pixels kind = Pixels::Rgb24, unsigned dpm = 0, int flags = 0);

// Writes a TIFF file with one page per size (width, height), saved with the
// TIFF compression flags given. Returns path.
std::string MakeMultipageTiff(const std::string& path, const std::vector<std::pair<int, int>>& sizes,
                              int flags = TIFF_LZW, Pixels kind = Pixels::Rgb24);

// The bytes of a PNG file of width by height pixels of the given bit depth
// and colour type, its one IDAT chunk holding rows (each led by its filter
// type) as they are given.
std::string PngFile(uint32_t width, uint32_t height, int bits, int colorType, const std::string& rows);

using tessa::test::InfoField;
using tessa::test::InspectPdf;
using tessa::test::PdfImage;
using tessa::test::PdfReport;

// Names in folder that start with "PCR".
std::vector<std::string> LeftoverWorkFiles(const std::string& folder);

}  // namespace quirepane::test
