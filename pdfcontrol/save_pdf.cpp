#include "pdfcontrol/save_pdf.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "pdfcontrol/bitmap_convert.h"
#include "pdfcontrol/ccitt_page.h"
#include "pdfcontrol/image_engine.h"
#include "pdfcontrol/jpeg_header.h"
#include "pdfcontrol/pdf_writer.h"
#include "pdfcontrol/property_store.h"
#include "pdfcontrol/stored_resolution.h"
#include "pdfcontrol/temp_work_file.h"
#include "pdfcontrol/version.h"
#include "platform/user_interface.h"

namespace quirepane {
namespace {

constexpr long kSuccess = 0;
constexpr long kFailure = 1;
constexpr long kInvalidImageType = 5;

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// True when the file's frame header allows its bytes into a PDF unchanged.
// The header usually lies near the start; large metadata can push it further.
bool IsPassThroughJpeg(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string head(256 * 1024, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<size_t>(in.gcount()));
  if (ReadJpegInfo(head).has_value()) return true;
  if (!in) return false;  // the whole file was read
  head.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return ReadJpegInfo(head).has_value();
}

double Inches(long pixels, long dotsPerMetre) {
  if (dotsPerMetre != 0) return pixels / (dotsPerMetre / 39.37);
  return pixels / 72.0;
}

// Inches of a TIFF page's side of the given pixels, at the resolution the
// page stores (72 dots per inch when it stores none), as a page converted
// through a bitmap gets them.
double PageInches(long pixels, const std::string& path, int page, bool vertical) {
  long dotsPerMetre = 0;
  if (std::optional<StoredResolution> stored = ReadStoredResolution(path, kFormatTiff, page)) {
    dotsPerMetre = vertical ? stored->y : stored->x;
  }
  return Inches(pixels, dotsPerMetre);
}

}  // namespace

long clsSavePDF::ConvertToPDF() {
  error_.clear();
  const PropertyStore& store = CurrentPropertyStore();
  const std::string source = store.SourceFile;
  const std::string destination = store.DestinationFile;

  if (store.FileType != -1 && !bIsFileOfType(source, store.FileType)) {
    error_ = "The file " + source + " is not of type " + std::to_string(store.FileType);
    return kInvalidImageType;
  }

  if (EndsWith(source, ".tiff") || EndsWith(source, ".tif") || store.FileType == kFormatTiff) {
    clsMultipage pages;
    const long count = pages.GetPageCount(source);
    if (count > 1) return ConvertMultipageTIFF(count, source, destination, pages) ? kSuccess : kFailure;
  }

  const bool jpegByName = EndsWith(source, ".jpeg") || EndsWith(source, ".jpg") || store.FileType == kFormatJpeg;
  // A fax-coded TIFF page goes in as it is coded, without a working file.
  std::optional<CcittPage> ccitt = jpegByName ? std::nullopt : ReadCcittPage(source, 0);
  const bool jpegPath = !ccitt && jpegByName && IsPassThroughJpeg(source);
  std::optional<TempWorkFile> work;
  if (!ccitt) work.emplace(jpegPath ? ".jpg" : ".bmp");
  if (jpegPath) {
    std::filesystem::copy_file(source, work->path(), std::filesystem::copy_options::overwrite_existing);
  } else if (!ccitt) {
    clsConvertToBitmap bitmap;
    if (!bitmap.ConvertToBitmap(source, work->path(), store.FileType)) {
      error_ = "The image " + source + " cannot be read";
      return kInvalidImageType;
    }
  }

  const double width = ccitt ? PageInches(ccitt->width, source, 0, false) : GetImageWidthInches(work->path());
  const double height = ccitt ? PageInches(ccitt->height, source, 0, true) : GetImageHeightInches(work->path());
  if (width == -1 || height == -1) {
    error_ = "The size of the image " + source + " cannot be read";
    return kInvalidImageType;
  }

  long saved = 0;
  {
    PDFWriter writer;
    bool isNew = false;
    if (!OpenOrCreate(writer, destination, isNew)) return kFailure;
    if (!isNew) writer.AddPage();
    SetDocInfo(writer);
    writer.SelectUnit(1);
    if (ccitt) writer.LoadCcitt(std::move(*ccitt));
    else if (jpegPath) writer.LoadJpeg(work->path());
    else writer.LoadBmp(work->path());
    writer.ImageOption(2);
    writer.SetPageSize(width, height);
    const double a = writer.PageHeight();
    const double b = writer.PageWidth();
    const double c = writer.PageHeight();
    writer.DrawImage(0, a, b, c);
    saved = writer.Save(destination);
    if (saved == 0) error_ = writer.LastError();
  }
  tessa::CurrentUserInterface().DoEvents();
  if (work) work->Remove();
  return saved == 0 ? kFailure : kSuccess;
}

bool clsSavePDF::ConvertMultipageTIFF(long count, const std::string& source, const std::string& destination,
                                      clsMultipage& pages) {
  PDFWriter writer;
  bool isNew = false;
  if (!OpenOrCreate(writer, destination, isNew)) return false;
  writer.SelectUnit(1);
  CcittReader fax(source);
  for (long i = 0; i < count; ++i) {
    if (std::optional<CcittPage> page = fax.Page(static_cast<int>(i))) {
      const double width = PageInches(page->width, source, static_cast<int>(i), false);
      const double height = PageInches(page->height, source, static_cast<int>(i), true);
      if (!isNew || i > 0) writer.AddPage();
      writer.ImageOption(2);
      writer.LoadCcitt(std::move(*page));
      writer.SetPageSize(width, height);
      const double a = writer.PageHeight();
      const double b = writer.PageWidth();
      const double c = writer.PageHeight();
      writer.DrawImage(0, a, b, c);
      continue;
    }
    TempWorkFile work(".bmp");
    if (!pages.ConvertTIFFPageToBitmap(source, work.path(), i)) {
      error_ = "Page " + std::to_string(i + 1) + " of " + source + " cannot be read";
      return false;
    }
    const double width = GetImageWidthInches(work.path());
    const double height = GetImageHeightInches(work.path());
    if (width == -1 || height == -1) {
      error_ = "The size of page " + std::to_string(i + 1) + " of " + source + " cannot be read";
      return false;
    }
    if (!isNew || i > 0) writer.AddPage();
    writer.ImageOption(2);
    writer.LoadBmp(work.path());
    writer.SetPageSize(width, height);
    const double a = writer.PageHeight();
    const double b = writer.PageWidth();
    const double c = writer.PageHeight();
    writer.DrawImage(0, a, b, c);
  }
  SetDocInfo(writer);
  if (writer.Save(destination) == 0) {
    error_ = writer.LastError();
    return false;
  }
  return true;
}

bool clsSavePDF::OpenOrCreate(PDFWriter& writer, const std::string& destination, bool& isNew) {
  isNew = false;
  if (CurrentPropertyStore().AppendToExisting) {
    if (writer.OpenExisting(destination) != 0) return true;
    std::error_code ec;
    if (std::filesystem::exists(destination, ec)) {
      // Appending must never replace a document it cannot read.
      error_ = writer.LastError();
      return false;
    }
  }
  writer.NewDocument();
  isNew = true;
  return true;
}

void clsSavePDF::SetDocInfo(PDFWriter& writer) {
  const PropertyStore& store = CurrentPropertyStore();
  writer.SetDocInfo(1, store.PDFAuthor);
  writer.SetDocInfo(2, store.PDFTitle);
  writer.SetDocInfo(3, store.PDFSubject);
  writer.SetDocInfo(4, store.PDFKeyword);
  writer.SetDocInfo(5, store.PDFCreator);
  writer.SetDocInfo(6, ProducerText());
}

bool clsSavePDF::bIsFileOfType(const std::string& path, long type) {
  ImageEngine engine;
  return engine.DetectFormat(path) == type;
}

double clsSavePDF::GetImageWidthInches(const std::string& path) {
  ImageEngine engine;
  LoadedImage image = engine.Load(path, engine.DetectFormat(path), ImageEngine::kHeaderOnly);
  if (!image.ok()) return -1;
  return Inches(engine.Width(image), engine.HorizontalResolution(image));
}

double clsSavePDF::GetImageHeightInches(const std::string& path) {
  ImageEngine engine;
  LoadedImage image = engine.Load(path, engine.DetectFormat(path), ImageEngine::kHeaderOnly);
  if (!image.ok()) return -1;
  return Inches(engine.Height(image), engine.VerticalResolution(image));
}

}  // namespace quirepane
