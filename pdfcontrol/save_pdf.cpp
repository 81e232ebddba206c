#include "pdfcontrol/save_pdf.h"

#include <FreeImage.h>
#include <limits.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>

#include "pdfcontrol/bitmap_convert.h"
#include "pdfcontrol/ccitt_page.h"
#include "pdfcontrol/decode_guard.h"
#include "pdfcontrol/encoding_budget.h"
#include "pdfcontrol/image_engine.h"
#include "pdfcontrol/jpeg_header.h"
#include "pdfcontrol/pdf_writer.h"
#include "pdfcontrol/png_stream.h"
#include "pdfcontrol/property_store.h"
#include "pdfcontrol/quirepane.h"
#include "pdfcontrol/stored_resolution.h"
#include "pdfcontrol/temp_work_file.h"
#include "pdfcontrol/tiff_jpeg_page.h"
#include "pdfcontrol/tiff_messages.h"
#include "pdfcontrol/tiff_page_chain.h"
#include "pdfcontrol/tiff_page_reader.h"
#include "pdfcontrol/tiff_pages.h"
#include "pdfcontrol/tiff_sample_page.h"
#include "pdfcontrol/version.h"
#include "platform/text_file.h"
#include "platform/user_interface.h"

namespace quirepane {
namespace {

constexpr long kSuccess = 0;
constexpr long kFailure = 1;
constexpr long kInvalidImageType = 5;

// The whole file when it starts with magic, read at once; nullopt for any
// other file.
std::optional<std::string> ReadFileStartingWith(const std::string& path, std::string_view magic) {
  if (tessa::ReadFileHead(path, magic.size()) != magic) return std::nullopt;
  return tessa::ReadFileBytes(path);
}

// The whole file when it is a JPEG whose bytes can go into a PDF unchanged,
// read at once; nullopt for any other file (also one cut short), which takes
// the usual road.
std::optional<std::string> ReadPassThroughJpeg(const std::string& path) {
  std::optional<std::string> bytes = ReadFileStartingWith(path, "\xFF\xD8\xFF");
  if (!bytes || !JpegReachesEnd(*bytes) || !ReadJpegInfo(*bytes)) return std::nullopt;
  return bytes;
}

// Why the image that goes in whole cannot, before a pixel of it is decoded;
// "" when it can. A JPEG that goes in unchanged needs only to hold its
// image, a PNG whose rows go in as they stand has shown that it does.
std::string WholeImageRefusal(const std::string& source, const std::optional<std::string>& jpegBytes,
                              const std::optional<std::string>& pngBytes, bool pngAsItStands) {
  if (jpegBytes) {
    const std::optional<JpegInfo> info = ReadJpegInfo(*jpegBytes);
    const PageSize size{uint64_t(info->width), uint64_t(info->height), 8u * info->components};
    const std::string refusal = CodedPageRefusal(size, jpegBytes->size());
    return refusal.empty() && !JpegScansIntact(*jpegBytes) ? DamagedDataText("a scan holds bytes out of place") : refusal;
  }
  if (pngAsItStands) return "";
  if (pngBytes) return DecodeRefusal(std::string_view(*pngBytes), FIF_PNG);
  return DecodeRefusal(source, FreeImageFromFormatCode(ImageEngine().DetectFormat(source)));
}

// Dots per inch of a resolution kept in whole dots per metre. Files state
// their resolution in whole dots per inch far more often than per metre, so
// a count per metre that is exactly the rounding of a whole dpi stands for
// that dpi: 2835 is 72 dpi, and a 640-pixel image at 72 dpi is 640 points.
double DotsPerInch(long dotsPerMetre) {
  const double dpi = dotsPerMetre * 0.0254;
  const double whole = std::round(dpi);
  return std::lround(whole / 0.0254) == dotsPerMetre ? whole : dpi;
}

double Inches(long pixels, long dotsPerMetre) {
  if (dotsPerMetre > 0) return pixels / DotsPerInch(dotsPerMetre);
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

// True when the file exists and nobody may write it (no write permission
// bit at all): the read-only attribute of other systems.
bool IsReadOnlyFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

// True when the PDF at path reads only as a damaged file that qpdf repairs
// (a copy taken while an update was being written, say), or does not parse;
// false for one that reads clean or cannot be read at all.
bool IsDamagedPdf(const std::string& path) {
  QPDF pdf;
  pdf.setSuppressWarnings(true);
  try {
    pdf.processFile(path.c_str());
    return pdf.anyWarnings();
  } catch (const QPDFExc&) {
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

long clsSavePDF::ConvertToPDF() {
  error_.clear();
  reason_.clear();
  // Most images go in without a work file; the ones killed runs left go anyway.
  RemoveAbandonedWorkFilesOnce();
  const PropertyStore& store = CurrentPropertyStore();
  const std::string source = store.SourceFile;
  const std::string destination = store.DestinationFile;

  // A JPEG that goes in unchanged is read once; its bytes say what it is,
  // how large and at what resolution.
  std::optional<std::string> jpegBytes;
  if (store.FileType == -1 || store.FileType == kFormatJpeg) jpegBytes = ReadPassThroughJpeg(source);
  // So is a PNG: its compressed rows go in as they are when a PDF can take
  // them so, else the bytes read are decoded.
  std::optional<std::string> pngBytes;
  if (!jpegBytes && (store.FileType == -1 || store.FileType == kFormatPng)) pngBytes = ReadFileStartingWith(source, "\x89PNG\r\n\x1a\n");
  std::optional<PngStream> png = pngBytes ? ReadPngStream(*pngBytes) : std::nullopt;
  const StoredResolution pngResolution =
      png ? ReadStoredResolutionOfBytes(*pngBytes, kFormatPng).value_or(StoredResolution{}) : StoredResolution{};
  if (!jpegBytes && !png && store.FileType != -1 && !bIsFileOfType(source, store.FileType)) {
    error_ = "The file " + source + " is not of type " + std::to_string(store.FileType);
    return kInvalidImageType;
  }

  // The content decides, whatever the name ends with.
  const bool tiff = !jpegBytes && !png && bIsTiffFile(source);
  if (tiff && !bTiffPageChainIntact(source)) {
    error_ = "The TIFF file " + source + " is damaged: its pages run past the end of the file";
    return kInvalidImageType;
  }
  if (IsReadOnlyFile(destination)) {
    error_ = "The PDF file " + destination + " is read-only";
    reason_ = "the output file is read-only";
    return kFailure;
  }

  // Every page of a TIFF, also of a one-page file, is read once from one
  // mapping of the file.
  if (tiff) {
    const TiffPages pages(source);
    if (pages.Count() > 0) return ConvertMultipageTIFF(source, destination, pages);
  }

  if (std::string refusal = WholeImageRefusal(source, jpegBytes, pngBytes, png.has_value()); !refusal.empty()) {
    error_ = "The image " + source + " cannot be converted: " + refusal;
    reason_ = refusal;
    return kInvalidImageType;
  }
  const bool jpegByName = jpegBytes || pngBytes || bIsJpegFile(source);
  // A fax- or JPEG-coded TIFF page goes in as it is coded, without a working file.
  std::optional<CcittPage> ccitt = jpegByName ? std::nullopt : ReadCcittPage(source, 0);
  std::optional<TiffJpegPage> dct = ccitt || jpegByName ? std::nullopt : ReadTiffJpegPage(source, 0);
  const bool coded = ccitt || dct;
  const bool jpegPath = jpegBytes.has_value() || png.has_value();
  // A PNG read for nothing is decoded from the bytes in memory.
  ImageEngine engine;
  LoadedImage decoded;
  if (pngBytes && !png) {
    decoded = engine.LoadBytes(*pngBytes, kFormatPng);
    pngBytes.reset();
    if (!decoded.ok()) {
      error_ = "The image " + source + " cannot be read";
      if (!decoded.damage().empty()) error_ += ": " + decoded.damage();
      reason_ = decoded.damage();
      return kInvalidImageType;
    }
  }
  long sixteenSaved = 0;
  if (!jpegPath && !coded &&
      (decoded.ok() ? SaveSixteenBit(engine, decoded, destination, sixteenSaved)
                    : ConvertSixteenBit(source, destination, sixteenSaved))) {
    if (sixteenSaved == 0) DiagnoseWriteFailure(destination);
    return sixteenSaved == 0 ? kFailure : kSuccess;
  }
  // A JPEG that goes in unchanged is already read, a decoded PNG is laid
  // on white in memory; other images are converted to a bitmap working file
  // first.
  BitmapPtr standard = decoded.ok() ? StandardBitmap(decoded.dib()) : nullptr;
  if (decoded.ok() && !standard) {
    error_ = "The image " + source + " cannot be read";
    return kInvalidImageType;
  }
  std::optional<TempWorkFile> work;
  if (!coded && !jpegPath && !standard) {
    work.emplace(".bmp");
    clsConvertToBitmap bitmap;
    if (!bitmap.ConvertToBitmap(source, work->path(), store.FileType)) {
      error_ = "The image " + source + " cannot be read";
      if (!bitmap.Damage().empty()) error_ += ": " + bitmap.Damage();
      reason_ = bitmap.Damage();
      return kInvalidImageType;
    }
  }
  const std::string image = work ? work->path() : source;

  double width = -1, height = -1;
  if (coded) {
    width = PageInches(ccitt ? ccitt->width : dct->width, source, 0, false);
    height = PageInches(ccitt ? ccitt->height : dct->height, source, 0, true);
  } else if (png) {
    width = Inches(png->width, pngResolution.x);
    height = Inches(png->height, pngResolution.y);
  } else if (standard) {
    width = Inches(engine.Width(decoded), engine.HorizontalResolution(decoded));
    height = Inches(engine.Height(decoded), engine.VerticalResolution(decoded));
    engine.Unload(decoded);
  } else if (jpegBytes) {
    const std::optional<JpegInfo> info = ReadJpegInfo(*jpegBytes);
    const StoredResolution stored = ReadStoredResolutionOfBytes(*jpegBytes, kFormatJpeg).value_or(StoredResolution{});
    width = Inches(info->width, stored.x);
    height = Inches(info->height, stored.y);
  } else {
    width = GetImageWidthInches(image);
    height = GetImageHeightInches(image);
  }
  if (width == -1 || height == -1) {
    error_ = "The size of the image " + source + " cannot be read";
    return kInvalidImageType;
  }

  long saved = 0;
  {
    PDFWriter writer;
    bool isNew = false;
    if (!OpenOrCreate(writer, destination, isNew)) {
      DiagnoseWriteFailure(destination);
      return kFailure;
    }
    if (!isNew) writer.AddPage();
    SetDocInfo(writer);
    writer.SelectUnit(1);
    if (ccitt) writer.LoadCcitt(std::move(*ccitt));
    else if (dct) writer.LoadJpegData(std::move(dct->data), std::move(dct->decodeParms));
    else if (jpegBytes) writer.LoadJpegBytes(std::move(*jpegBytes), source);
    else if (png) writer.LoadPng(std::move(*png));
    else if (standard) writer.LoadBitmap(standard.get());
    else writer.LoadBmp(image);
    writer.ImageOption(2);
    writer.SetPageSize(width, height);
    const double a = writer.PageHeight();
    const double b = writer.PageWidth();
    const double c = writer.PageHeight();
    writer.DrawImage(0, a, b, c);
    saved = writer.Save(destination);
    if (saved == 0) TakeWriterFailure(writer);
  }
  tessa::CurrentUserInterface().DoEvents();
  if (work) work->Remove();
  if (saved == 0) DiagnoseWriteFailure(destination);
  return saved == 0 ? kFailure : kSuccess;
}

long clsSavePDF::ConvertMultipageTIFF(const std::string& source, const std::string& destination, const TiffPages& pages) {
  // A page that cannot be read makes a one-page file an unreadable image.
  const long unreadable = pages.Count() > 1 ? kFailure : kInvalidImageType;
  PDFWriter writer;
  bool isNew = false;
  if (!OpenOrCreate(writer, destination, isNew)) {
    DiagnoseWriteFailure(destination);
    return kFailure;
  }
  writer.SelectUnit(1);
  const bool appending = CurrentPropertyStore().AppendToExisting;
  TiffPageReader reader(source);
  for (int i = 0; i < pages.Count(); ++i) {
    // Fax- and JPEG-coded pages go in as they are coded, 16-bit pages with
    // all their bits, the rest as the bitmap they decode to.
    tiff* tif = reader.Seek(i);
    std::string damage;
    std::optional<CcittPage> fax = ReadCcittPage(tif, &damage);
    std::optional<TiffJpegPage> dct = fax || !damage.empty() ? std::nullopt : ReadTiffJpegPage(tif);
    if (dct) damage = CodedPageDamage(tif);
    const std::string page = "page " + std::to_string(i + 1) + ": ";
    if (!damage.empty()) return RefuseTiffPage(source, page + damage);
    // A large page of plain samples is read in bands, never held decoded whole.
    SamplePage plain;
    std::string refusal;
    const SamplePageRead banded =
        fax || dct ? SamplePageRead::kNotPlain : ReadTiffSamplePage(tif, source, pages.Directory(i), plain, &refusal);
    if (banded == SamplePageRead::kRefused || banded == SamplePageRead::kFailed) return RefuseTiffPage(source, page + refusal);
    BitmapPtr bitmap;
    int components = 0;
    std::string deep;  // 16-bit samples
    long widthPx = fax ? fax->width : dct ? dct->width : plain.width;
    long heightPx = fax ? fax->height : dct ? dct->height : plain.height;
    if (!fax && !dct && banded == SamplePageRead::kNotPlain) {
      const BitmapPtr dib = pages.Load(i, &refusal);
      if (!refusal.empty()) return RefuseTiffPage(source, refusal);
      if (dib) deep = SixteenBitRows(dib.get(), components);
      if (dib && deep.empty()) bitmap = StandardBitmap(dib.get());
      if (!bitmap && deep.empty()) {
        error_ = "Page " + std::to_string(i + 1) + " of " + source + " cannot be read";
        return unreadable;
      }
      widthPx = static_cast<long>(FreeImage_GetWidth(dib.get()));
      heightPx = static_cast<long>(FreeImage_GetHeight(dib.get()));
    }
    const StoredResolution stored = pages.Resolution(i);
    if (!isNew || i > 0) writer.AddPage();
    writer.ImageOption(2);
    if (fax) writer.LoadCcitt(std::move(*fax));
    else if (dct) writer.LoadJpegData(std::move(dct->data), std::move(dct->decodeParms));
    else if (banded == SamplePageRead::kRead)
      writer.LoadSampleStream(widthPx, heightPx, plain.components, plain.bitsPerComponent, std::move(plain.stream));
    else if (!deep.empty()) writer.LoadSamples(widthPx, heightPx, components, 16, deep);
    else writer.LoadBitmap(bitmap.get());
    writer.SetPageSize(Inches(widthPx, stored.x), Inches(heightPx, stored.y));
    const double a = writer.PageHeight();
    const double b = writer.PageWidth();
    const double c = writer.PageHeight();
    writer.DrawImage(0, a, b, c);
    // Pages added to the document go out when they would hold more than the
    // encodings' share of memory, so that a file of any size converts in
    // bounded memory; a new document keeps them all, never replacing an old
    // file before its last page is read.
    if (!appending || i + 1 == pages.Count() || writer.HeldBytes() <= EncodingShare()) continue;
    SetDocInfo(writer);
    if (writer.Save(destination) == 0 || writer.OpenExisting(destination) == 0) {
      TakeWriterFailure(writer);
      DiagnoseWriteFailure(destination);
      return kFailure;
    }
    writer.SelectUnit(1);
    isNew = false;
  }
  SetDocInfo(writer);
  if (writer.Save(destination) == 0) {
    TakeWriterFailure(writer);
    DiagnoseWriteFailure(destination);
    return kFailure;
  }
  return kSuccess;
}

bool clsSavePDF::ConvertSixteenBit(const std::string& source, const std::string& destination, long& saved) {
  ImageEngine engine;
  const long format = engine.DetectFormat(source);
  {
    const LoadedImage header = engine.Load(source, format, ImageEngine::kHeaderOnly);
    if (!header.ok()) return false;
    const FREE_IMAGE_TYPE type = FreeImage_GetImageType(header.dib());
    if (type != FIT_UINT16 && type != FIT_RGB16 && type != FIT_RGBA16) return false;
  }
  LoadedImage image = engine.Load(source, format, 0);
  return image.ok() && SaveSixteenBit(engine, image, destination, saved);
}

bool clsSavePDF::SaveSixteenBit(const ImageEngine& engine, LoadedImage& image, const std::string& destination,
                                long& saved) {
  int components = 0;
  const std::string rows = SixteenBitRows(image.dib(), components);
  if (rows.empty()) return false;
  const long widthPx = engine.Width(image), heightPx = engine.Height(image);
  const double width = Inches(widthPx, engine.HorizontalResolution(image));
  const double height = Inches(heightPx, engine.VerticalResolution(image));
  engine.Unload(image);

  PDFWriter writer;
  bool isNew = false;
  saved = 0;
  if (!OpenOrCreate(writer, destination, isNew)) return true;
  if (!isNew) writer.AddPage();
  SetDocInfo(writer);
  writer.SelectUnit(1);
  writer.LoadSamples(widthPx, heightPx, components, 16, rows);
  writer.SetPageSize(width, height);
  writer.DrawImage(0, writer.PageHeight(), writer.PageWidth(), writer.PageHeight());
  saved = writer.Save(destination);
  if (saved == 0) TakeWriterFailure(writer);
  return true;
}

long clsSavePDF::RefuseTiffPage(const std::string& source, const std::string& refusal) {
  error_ = "The TIFF file " + source + " cannot be converted: " + refusal;
  reason_ = refusal;
  return kInvalidImageType;
}

void clsSavePDF::TakeWriterFailure(const PDFWriter& writer) {
  error_ = writer.LastError();
  reason_ = writer.FailureReason();
}

void clsSavePDF::DiagnoseWriteFailure(const std::string& destination) {
  if (!reason_.empty()) return;
  const std::filesystem::path path(destination);
  std::error_code ec;
  int code = 0;
  struct statvfs fs {};
  const std::string folder = path.parent_path().empty() ? "." : path.parent_path().string();
  if (std::filesystem::is_directory(path, ec)) {
    code = EISDIR;
  } else if (path.filename().string().size() > NAME_MAX || destination.size() >= PATH_MAX) {
    code = ENAMETOOLONG;
  } else if (::statvfs(folder.c_str(), &fs) == 0 && fs.f_bavail == 0) {
    code = ENOSPC;
  } else if (::access(folder.c_str(), W_OK) != 0) {
    code = errno;
  }
  if (code != 0) {
    reason_ = std::strerror(code);
  } else if (CurrentPropertyStore().AppendToExisting && std::filesystem::is_regular_file(path, ec) &&
             IsDamagedPdf(destination)) {
    reason_ = kDamagedPdfReason;
  }
}

bool clsSavePDF::OpenOrCreate(PDFWriter& writer, const std::string& destination, bool& isNew) {
  isNew = false;
  if (CurrentPropertyStore().AppendToExisting) {
    if (writer.OpenExisting(destination) != 0) return true;
    // An empty file holds nothing to keep: it takes a new document.
    std::error_code ec;
    const bool empty = std::filesystem::is_regular_file(destination, ec) && std::filesystem::file_size(destination, ec) == 0;
    if (!empty && std::filesystem::exists(destination, ec)) {
      // Appending must never replace a document it cannot read.
      TakeWriterFailure(writer);
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
