// Makes the small demo images that ship in "Demo Data": one JPEG, one PNG, a
// three-page TIFF, one GIF and one BMP, drawn here from simple patterns so
// the demo needs no outside pictures. Usage: make_demo_images <folder>.
#include <FreeImage.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 160;

struct Rgb {
  BYTE r, g, b;
};

// A 24-bit picture owned for the life of the object.
class Picture {
 public:
  Picture() : dib_(FreeImage_Allocate(kWidth, kHeight, 24)) {}
  ~Picture() {
    if (dib_) FreeImage_Unload(dib_);
  }
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  FIBITMAP* dib() const { return dib_; }

  // Sets the pixel at (x, y), y counted from the top.
  void Set(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return;
    BYTE* p = FreeImage_GetScanLine(dib_, kHeight - 1 - y) + 3 * x;
    p[FI_RGBA_RED] = c.r;
    p[FI_RGBA_GREEN] = c.g;
    p[FI_RGBA_BLUE] = c.b;
  }

  void Fill(int x0, int y0, int w, int h, Rgb c) {
    for (int y = y0; y < y0 + h; ++y)
      for (int x = x0; x < x0 + w; ++x) Set(x, y, c);
  }

 private:
  FIBITMAP* dib_;
};

// Digits 0-9 as 3x5 cells, one row of bits per line (bit 2 is the left cell).
constexpr std::array<std::array<int, 5>, 10> kDigits = {{
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
}};

// Draws digit d with its top-left corner at (x, y), each cell size pixels.
void DrawDigit(Picture& pic, int d, int x, int y, int size, Rgb c) {
  for (int row = 0; row < 5; ++row)
    for (int col = 0; col < 3; ++col)
      if (kDigits[d][row] & (4 >> col)) pic.Fill(x + col * size, y + row * size, size, size, c);
}

void DrawGradient(Picture& pic) {
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      pic.Set(x, y, Rgb{BYTE(255 * x / kWidth), BYTE(80 + 120 * y / kHeight), BYTE(255 - 255 * x / kWidth)});
}

void DrawChecks(Picture& pic) {
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      pic.Set(x, y, ((x / 20 + y / 20) % 2) ? Rgb{30, 60, 140} : Rgb{240, 240, 220});
}

void DrawStripes(Picture& pic) {
  const std::array<Rgb, 4> colours = {Rgb{200, 40, 40}, Rgb{240, 200, 40}, Rgb{40, 160, 80}, Rgb{40, 90, 200}};
  for (int x = 0; x < kWidth; ++x) pic.Fill(x, 0, 1, kHeight, colours[(x / 30) % colours.size()]);
}

void DrawRings(Picture& pic) {
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const int dx = x - kWidth / 2, dy = y - kHeight / 2;
      const int ring = (dx * dx + dy * dy) / 300 % 3;
      pic.Set(x, y, ring == 0 ? Rgb{250, 120, 0} : ring == 1 ? Rgb{255, 255, 255} : Rgb{0, 110, 160});
    }
}

// A page of the multi-page TIFF: a light background and its page number.
void DrawPage(Picture& pic, int page) {
  pic.Fill(0, 0, kWidth, kHeight, Rgb{250, 250, 245});
  pic.Fill(0, 0, kWidth, 6, Rgb{60, 60, 60});
  DrawDigit(pic, page % 10, kWidth / 2 - 30, 30, 20, Rgb{20, 20, 20});
}

bool Report(bool ok, const std::filesystem::path& file) {
  if (!ok) std::fprintf(stderr, "make_demo_images: cannot write %s\n", file.c_str());
  return ok;
}

bool SaveSingle(FREE_IMAGE_FORMAT fif, FIBITMAP* dib, const std::filesystem::path& file, int flags) {
  return Report(FreeImage_Save(fif, dib, file.c_str(), flags) == TRUE, file);
}

// Keeps the TIFF library's notes about tags it does not know off the build log.
class QuietStderr {
 public:
  QuietStderr() : saved_(dup(2)) {
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, 2);
      close(null);
    }
  }
  ~QuietStderr() {
    if (saved_ >= 0) {
      dup2(saved_, 2);
      close(saved_);
    }
  }

 private:
  int saved_;
};

bool WriteTiffPages(const std::filesystem::path& file, int pages) {
  QuietStderr quiet;
  FIMULTIBITMAP* multi = FreeImage_OpenMultiBitmap(FIF_TIFF, file.c_str(), TRUE, FALSE, TRUE);
  if (!multi) return false;
  for (int page = 1; page <= pages; ++page) {
    Picture pic;
    DrawPage(pic, page);
    FreeImage_AppendPage(multi, pic.dib());
  }
  return FreeImage_CloseMultiBitmap(multi, TIFF_LZW) == TRUE;
}

bool SaveTiffPages(const std::filesystem::path& file, int pages) {
  std::error_code ec;
  std::filesystem::remove(file, ec);
  return Report(WriteTiffPages(file, pages), file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_demo_images <folder>\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  FreeImage_Initialise(FALSE);
  bool ok = true;
  {
    Picture pic;
    DrawGradient(pic);
    ok &= SaveSingle(FIF_JPEG, pic.dib(), folder / "Sunrise.jpg", JPEG_QUALITYGOOD);
  }
  {
    Picture pic;
    DrawChecks(pic);
    ok &= SaveSingle(FIF_PNG, pic.dib(), folder / "Checkerboard.png", PNG_DEFAULT);
  }
  {
    Picture pic;
    DrawStripes(pic);
    ok &= SaveSingle(FIF_BMP, pic.dib(), folder / "Stripes.bmp", BMP_DEFAULT);
  }
  {
    Picture pic;
    DrawRings(pic);
    FIBITMAP* eight = FreeImage_ColorQuantize(pic.dib(), FIQ_WUQUANT);
    ok &= eight && SaveSingle(FIF_GIF, eight, folder / "Rings.gif", GIF_DEFAULT);
    if (eight) FreeImage_Unload(eight);
  }
  ok &= SaveTiffPages(folder / "Three Pages.tif", 3);
  FreeImage_DeInitialise();
  return ok ? 0 : 1;
}
