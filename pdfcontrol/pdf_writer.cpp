// Pages and images are collected in memory and become PDF objects only in
// Save, so that a document opened for appending is touched in few places:
// the new image, content stream and page, the path of the page tree that
// takes the page, and the document information when its values change.
// Those are what an incremental update writes.
#include "pdfcontrol/pdf_writer.h"

#include <FreeImage.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <future>
#include <optional>
#include <system_error>
#include <utility>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFSystemError.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>
#include <qpdf/Pipeline.hh>

#include "pdfcontrol/ccitt_page.h"
#include "pdfcontrol/direct_append.h"
#include "pdfcontrol/encoding_budget.h"
#include "pdfcontrol/image_engine.h"
#include "pdfcontrol/incremental_update.h"
#include "pdfcontrol/jpeg_header.h"
#include "pdfcontrol/new_document.h"
#include "pdfcontrol/object_text.h"
#include "pdfcontrol/page_tree.h"
#include "pdfcontrol/png_stream.h"
#include "pdfcontrol/quirepane.h"
#include "pdfcontrol/replacement_file.h"
#include "pdfcontrol/sample_stream.h"
#include "pdfcontrol/tail_snapshot.h"
#include "platform/text_file.h"

namespace quirepane {

struct PDFWriter::Image {
  long width = 0, height = 0;
  int bitsPerComponent = 8;
  std::string colorSpace;  // PDF syntax: a name, or an /Indexed array
  std::string filter;   // "/DCTDecode", "/FlateDecode" ..., or "" for samples as they are
  std::string decode;   // a /Decode array in PDF syntax, or ""
  std::string decodeParms;  // a /DecodeParms dictionary in PDF syntax, or ""
  std::string data;     // the stream's bytes, already encoded
  int rotate = 0;       // the /Rotate of a page showing it: a photo's EXIF orientation
  QPDFObjectHandle object;  // the image XObject once made

  std::future<SampleStream> encoding;  // the samples while they are being encoded
  uint64_t encodingHolds = 0;          // the memory that encoding may hold at most

  void SetSamples(SampleStream stream) {
    data = std::move(stream.data);
    // The bytes wait until the document is saved: no longer than they are,
    // and in this thread's memory, not that of an encoder gone idle.
    data.shrink_to_fit();
    filter = std::move(stream.filter);
    decodeParms = std::move(stream.decodeParms);
  }
  // The image as the writers without a document model take it.
  ImageObject AsObject() const {
    return ImageObject{width, height, bitsPerComponent, colorSpace, filter, decode, decodeParms, &data, rotate};
  }
  // Waits for samples being encoded and takes them.
  void Settle() {
    if (encoding.valid()) SetSamples(encoding.get());
  }
};

namespace {

QPDFObjectHandle Real(double value) { return QPDFObjectHandle::newReal(PdfNumber(value)); }

std::string ReadWholeFile(const std::string& path) {
  std::string error;
  std::optional<std::string> bytes = tessa::ReadFileBytes(path, &error);
  if (!bytes) throw PdfWriterError(error);
  return std::move(*bytes);
}

bool IsGreyRamp(const RGBQUAD* palette, unsigned entries) {
  for (unsigned i = 0; i < entries; ++i) {
    const unsigned grey = i * 255 / (entries - 1);
    if (palette[i].rgbRed != grey || palette[i].rgbGreen != grey || palette[i].rgbBlue != grey) return false;
  }
  return true;
}

bool StartsWithHeader(const std::string& path) { return tessa::ReadFileHead(path, 5) == "%PDF-"; }

// An /Indexed colour space over RGB entries (three bytes each).
std::string IndexedColorSpace(const std::string& lookup) {
  return "[/Indexed/DeviceRGB " + std::to_string(lookup.empty() ? 0 : lookup.size() / 3 - 1) + PdfHexString(lookup) + "]";
}

const char* kInfoKeys[7] = {"", "/Author", "/Title", "/Subject", "/Keywords", "/Creator", "/Producer"};

}  // namespace

PDFWriter::PDFWriter() = default;
PDFWriter::~PDFWriter() = default;

void PDFWriter::Reset() {
  pdf_.reset();
  direct_.reset();
  snapshot_.clear();
  fromSnapshot_ = false;
  newDocument_ = false;
  savedPath_.clear();
  openedPath_.clear();
  incrementalPossible_ = false;
  pages_.clear();
  encoding_.clear();
  images_.clear();
  currentImage_.reset();
  error_.clear();
  reason_.clear();
}

long PDFWriter::OpenExisting(const std::string& path) {
  Reset();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    error_ = "The PDF file " + path + " does not exist";
    if (std::filesystem::is_directory(path, ec)) reason_ = std::strerror(EISDIR);
    return 0;
  }
  if (std::optional<DirectTail> tail = ReadDirectTail(path)) {
    direct_ = std::make_unique<DirectTail>(std::move(*tail));
    openedPath_ = path;
    incrementalPossible_ = true;
    return 1;
  }
  return OpenWithModel(path);
}

long PDFWriter::OpenWithModel(const std::string& path) {
  // Whatever refuses the file below, it is not a PDF that can be added to.
  reason_ = StartsWithHeader(path) ? kDamagedPdfReason : "the file is not a PDF";
  if (OpenSnapshot(path)) {
    reason_.clear();
    return 1;
  }
  auto pdf = std::make_unique<QPDF>();
  pdf->setSuppressWarnings(true);
  try {
    pdf->processFile(path.c_str());
    if (pdf->isEncrypted()) {
      error_ = "The PDF file " + path + " is encrypted";
      reason_ = "the PDF is encrypted";
      return 0;
    }
    QPDFObjectHandle pages = pdf->getRoot().getKey("/Pages");
    if (!pages.isDictionary()) {
      error_ = "The PDF file " + path + " has no page tree";
      return 0;
    }
    // Only the last path of the page tree is read here, so that appending
    // to a long document costs no more than appending to a short one.
    if (!pages.getKey("/Kids").isArray()) {
      error_ = "The PDF file " + path + " has a damaged page tree";
      return 0;
    }
    bool lastPathSound = true;
    try {
      PageTreeAppender probe(*pdf);
    } catch (const std::exception&) {
      lastPathSound = false;  // the whole tree is read and laid out again
    }
    // Offsets in a file with bytes before its header count from the header,
    // which an update written at absolute offsets would not match.
    incrementalPossible_ = lastPathSound && !pdf->anyWarnings() && pages.isIndirect() && StartsWithHeader(path);
  } catch (const QPDFExc& e) {
    error_ = "Cannot open the PDF file " + path + ": " + e.what();
    if (e.getErrorCode() == qpdf_e_password) reason_ = "the PDF is encrypted";
    return 0;
  } catch (const std::exception& e) {
    error_ = "Cannot open the PDF file " + path + ": " + e.what();
    return 0;
  }
  pdf_ = std::move(pdf);
  openedPath_ = path;
  reason_.clear();
  return 1;
}

bool PDFWriter::OpenSnapshot(const std::string& path) {
  std::optional<std::string> snapshot = ReadTailSnapshot(path);
  if (!snapshot) return false;
  snapshot_ = std::move(*snapshot);
  auto pdf = std::make_unique<QPDF>();
  pdf->setSuppressWarnings(true);
  try {
    pdf->processMemoryFile(path.c_str(), snapshot_.data(), snapshot_.size());
    QPDFObjectHandle pages = pdf->getRoot().getKey("/Pages");
    // The nodes of the last path, their page counts and the last page must
    // be in the snapshot itself; an object it lacks reads as a stand-in.
    bool sound = !pdf->anyWarnings() && !pdf->isEncrypted() && pages.isIndirect() && pages.isDictionary();
    if (sound) {
      PageTreeAppender probe(*pdf);
      QPDFObjectHandle node = pages;
      for (size_t i = 0; sound && i < probe.Depth(); ++i) {
        sound = node.getKey("/Count").isInteger();
        QPDFObjectHandle kids = node.getKey("/Kids");
        if (kids.getArrayNItems() > 0) node = kids.getArrayItem(kids.getArrayNItems() - 1);
      }
    }
    if (sound) {
      pdf_ = std::move(pdf);
      openedPath_ = path;
      incrementalPossible_ = true;
      fromSnapshot_ = true;
      return true;
    }
  } catch (const std::exception&) {
  }
  pdf.reset();
  snapshot_.clear();
  return false;
}

void PDFWriter::NewDocument() {
  Reset();
  newDocument_ = true;
  pages_.emplace_back();
}

void PDFWriter::AddPage() {
  if (!IsOpen()) throw PdfWriterError("No document is open");
  pages_.emplace_back();
}

void PDFWriter::SelectUnit(long unit) { unit_ = unit == 1 ? 72.0 : 1.0; }

void PDFWriter::SetDocInfo(long index, const std::string& text) {
  if (index < 1 || index > 6) throw PdfWriterError("No document information field " + std::to_string(index));
  info_[static_cast<size_t>(index)] = text;
}

void PDFWriter::LoadJpeg(const std::string& path) { LoadJpegBytes(ReadWholeFile(path), path); }

void PDFWriter::LoadJpegBytes(std::string bytes, const std::string& name) {
  auto image = std::make_unique<Image>();
  image->data = std::move(bytes);
  std::optional<JpegInfo> info = ReadJpegInfo(image->data);
  if (!info) throw PdfWriterError("The file " + name + " is not a JPEG image that can be embedded as it stands");
  image->width = info->width;
  image->height = info->height;
  image->rotate = info->rotate;
  image->filter = "/DCTDecode";
  const char* space = info->components == 1 ? "/DeviceGray" : info->components == 3 ? "/DeviceRGB" : "/DeviceCMYK";
  image->colorSpace = space;
  if (info->components == 4 && info->adobe) image->decode = "[1 0 1 0 1 0 1 0]";
  images_.push_back(std::move(image));
  currentImage_ = images_.size() - 1;
}

void PDFWriter::LoadJpegData(std::string data, std::string decodeParms) {
  LoadJpegBytes(std::move(data), "made in memory");
  images_.back()->decodeParms = std::move(decodeParms);
  images_.back()->rotate = 0;  // a TIFF page comes upright already
}

void PDFWriter::LoadPng(PngStream png) {
  auto image = std::make_unique<Image>();
  image->width = png.width;
  image->height = png.height;
  image->bitsPerComponent = png.bitsPerComponent;
  image->filter = "/FlateDecode";
  image->decodeParms = png.DecodeParms();
  if (png.palette.empty()) {
    image->colorSpace = png.colors == 1 ? "/DeviceGray" : "/DeviceRGB";
  } else {
    image->colorSpace = IndexedColorSpace(png.palette);
  }
  image->data = std::move(png.data);
  images_.push_back(std::move(image));
  currentImage_ = images_.size() - 1;
}

void PDFWriter::LoadCcitt(CcittPage page) {
  auto image = std::make_unique<Image>();
  image->width = page.width;
  image->height = page.height;
  image->bitsPerComponent = 1;
  image->filter = "/CCITTFaxDecode";
  image->decodeParms = std::move(page.decodeParms);
  image->colorSpace = "/DeviceGray";
  if (page.inverted) image->decode = "[1 0]";
  image->data = std::move(page.data);
  images_.push_back(std::move(image));
  currentImage_ = images_.size() - 1;
}

void PDFWriter::LoadBmp(const std::string& path) {
  EnsureFreeImage();
  BitmapPtr loaded(FreeImage_Load(FIF_BMP, path.c_str(), BMP_DEFAULT));
  if (!loaded) throw PdfWriterError("Cannot read the bitmap " + path);
  LoadBitmap(loaded.get());
}

void PDFWriter::LoadBitmap(FIBITMAP* loaded) {
  BitmapPtr standard;
  FIBITMAP* dib = loaded;
  const unsigned loadedBpp = FreeImage_GetBPP(dib);
  if (FreeImage_GetImageType(dib) != FIT_BITMAP || (loadedBpp != 1 && loadedBpp != 4 && loadedBpp != 8 && loadedBpp != 24)) {
    standard = StandardBitmap(dib);
    if (!standard) throw PdfWriterError("Cannot convert the bitmap");
    dib = standard.get();
  }
  auto image = std::make_unique<Image>();
  const unsigned bpp = FreeImage_GetBPP(dib);
  image->width = static_cast<long>(FreeImage_GetWidth(dib));
  image->height = static_cast<long>(FreeImage_GetHeight(dib));
  image->bitsPerComponent = bpp == 24 ? 8 : static_cast<int>(bpp);

  const size_t rowBytes = (static_cast<size_t>(image->width) * bpp + 7) / 8;
  std::string raw(rowBytes * static_cast<size_t>(image->height), '\0');
  char* out = raw.data();
  for (long y = image->height - 1; y >= 0; --y, out += rowBytes) {
    const BYTE* line = FreeImage_GetScanLine(dib, static_cast<int>(y));
    if (bpp == 24) {
      for (long x = 0; x < image->width; ++x) {
        const BYTE* px = line + x * 3;
        out[3 * x] = static_cast<char>(px[FI_RGBA_RED]);
        out[3 * x + 1] = static_cast<char>(px[FI_RGBA_GREEN]);
        out[3 * x + 2] = static_cast<char>(px[FI_RGBA_BLUE]);
      }
    } else {
      std::memcpy(out, line, rowBytes);
    }
  }
  if (bpp == 24) {
    image->colorSpace = "/DeviceRGB";
  } else {
    const RGBQUAD* palette = FreeImage_GetPalette(dib);
    const unsigned entries = FreeImage_GetColorsUsed(dib);
    const bool full = entries == (1u << bpp);
    if (full && IsGreyRamp(palette, entries)) {
      image->colorSpace = "/DeviceGray";
    } else if (bpp == 1 && entries == 2 && palette[0].rgbRed == 255 && palette[0].rgbGreen == 255 &&
               palette[0].rgbBlue == 255 && palette[1].rgbRed == 0 && palette[1].rgbGreen == 0 && palette[1].rgbBlue == 0) {
      image->colorSpace = "/DeviceGray";
      image->decode = "[1 0]";
    } else {
      std::string lookup;
      for (unsigned i = 0; i < entries; ++i) {
        lookup += static_cast<char>(palette[i].rgbRed);
        lookup += static_cast<char>(palette[i].rgbGreen);
        lookup += static_cast<char>(palette[i].rgbBlue);
      }
      image->colorSpace = IndexedColorSpace(lookup);
    }
  }
  EncodeBeside(*image, std::move(raw), bpp == 24 ? 3 : 1, image->colorSpace.front() == '[');
  images_.push_back(std::move(image));
  currentImage_ = images_.size() - 1;
}

void PDFWriter::LoadSamples(long width, long height, int components, int bitsPerComponent, const std::string& rows) {
  const size_t expected = static_cast<size_t>(width) * static_cast<size_t>(height) * static_cast<size_t>(components) *
                          static_cast<size_t>(bitsPerComponent / 8);
  if (rows.size() != expected) throw PdfWriterError("The image samples do not match their size");
  EncodeBeside(AddSampleImage(width, height, components, bitsPerComponent), rows, components, false);
}

void PDFWriter::LoadSampleStream(long width, long height, int components, int bitsPerComponent, SampleStream stream) {
  // Taken as they are: a stream made at the bound of its length holds no
  // memory in the end it leaves unused, and a shorter copy would.
  Image& image = AddSampleImage(width, height, components, bitsPerComponent);
  image.data = std::move(stream.data);
  image.filter = std::move(stream.filter);
  image.decodeParms = std::move(stream.decodeParms);
}

PDFWriter::Image& PDFWriter::AddSampleImage(long width, long height, int components, int bitsPerComponent) {
  if (width <= 0 || height <= 0 || (components != 1 && components != 3) || (bitsPerComponent != 8 && bitsPerComponent != 16))
    throw PdfWriterError("The image samples do not match their size");
  auto image = std::make_unique<Image>();
  image->width = width;
  image->height = height;
  image->bitsPerComponent = bitsPerComponent;
  image->colorSpace = components == 1 ? "/DeviceGray" : "/DeviceRGB";
  images_.push_back(std::move(image));
  currentImage_ = images_.size() - 1;
  return *images_.back();
}

void PDFWriter::EncodeBeside(Image& image, std::string rows, int colors, bool indexed) {
  // The encodings in flight hold no more than a quarter of the memory left,
  // so that the page decoded beside them still finds the room it may take.
  const size_t most = EncodingThreads();
  const uint64_t share = EncodingShare();
  const uint64_t holds = kEncodingCopies * rows.size();
  uint64_t inFlight = holds;
  for (const Image* other : encoding_) inFlight += other->encodingHolds;
  for (; !encoding_.empty() && (encoding_.size() >= most || inFlight > share); encoding_.erase(encoding_.begin())) {
    inFlight -= encoding_.front()->encodingHolds;
    encoding_.front()->Settle();
  }
  // The rows stay here until a thread has taken the work.
  auto held = std::make_shared<std::string>(std::move(rows));
  auto encode = [held, width = image.width, height = image.height, colors, bits = image.bitsPerComponent, indexed] {
    return EncodeSamples(std::move(*held), width, height, colors, bits, indexed);
  };
  // A page too large for that is encoded before the next one is read.
  if (inFlight > share) {
    image.SetSamples(encode());
    return;
  }
  image.encodingHolds = holds;
  try {
    image.encoding = std::async(std::launch::async, encode);
    encoding_.push_back(&image);
  } catch (const std::system_error&) {  // no thread to be had: encode here
    image.SetSamples(encode());
  }
}

uint64_t PDFWriter::HeldBytes() const {
  uint64_t held = 0;
  for (const auto& image : images_) held += image->data.size() + (image->encoding.valid() ? image->encodingHolds : 0);
  return held;
}

void PDFWriter::SettleEncoding() {
  for (Image* image : encoding_) image->Settle();
  encoding_.clear();
}

PDFWriter::Page& PDFWriter::CurrentPage() {
  if (!IsOpen() || pages_.empty()) throw PdfWriterError("There is no current page");
  return pages_.back();
}

void PDFWriter::SetPageSize(double width, double height) {
  if (!(width > 0) || !(height > 0)) throw PdfWriterError("The page size " + PdfNumber(width) + " by " + PdfNumber(height) + " is not valid");
  Page& page = CurrentPage();
  page.width = width * unit_;
  page.height = height * unit_;
}

double PDFWriter::PageWidth() const {
  if (pages_.empty()) throw PdfWriterError("There is no current page");
  return pages_.back().width / unit_;
}

double PDFWriter::PageHeight() const {
  if (pages_.empty()) throw PdfWriterError("There is no current page");
  return pages_.back().height / unit_;
}

void PDFWriter::DrawImage(double x, double y, double width, double height) {
  Page& page = CurrentPage();
  if (!currentImage_) throw PdfWriterError("No image is loaded");
  page.rotate = images_[*currentImage_]->rotate;
  page.draws.push_back(Draw{*currentImage_, width * unit_, height * unit_, x * unit_, page.height - y * unit_});
}

void PDFWriter::BuildObjects(std::vector<QPDFObjGen>& touched, std::vector<QPDFObjGen>& carried) {
  auto touch = [&touched](const QPDFObjectHandle& object) { touched.push_back(object.getObjGen()); };
  // The catalog and the document information are listed in every update,
  // so that the next append finds everything it needs in the last
  // cross-reference section; they are written again only when they change.
  carried.push_back(pdf_->getRoot().getObjGen());
  PageTreeAppender tree(*pdf_);

  for (const Page& page : pages_) {
    QPDFObjectHandle xobjects = QPDFObjectHandle::newDictionary();
    for (const Draw& draw : page.draws) {
      Image& image = *images_[draw.image];
      if (!image.object.isInitialized() || image.object.isNull()) {
        QPDFObjectHandle stream = pdf_->newStream();
        // The encoded bytes move into the stream, handed to the writer when
        // it writes them (once, a save being the document's last use):
        // never copied while they wait, and let go as soon as qpdf holds them.
        auto bytes = std::make_shared<std::string>(std::move(image.data));
        stream.replaceStreamData(
            [bytes](Pipeline* out) {
              out->write(reinterpret_cast<const unsigned char*>(bytes->data()), bytes->size());
              std::string().swap(*bytes);
              out->finish();
            },
            image.filter.empty() ? QPDFObjectHandle::newNull() : QPDFObjectHandle::newName(image.filter),
            image.decodeParms.empty() ? QPDFObjectHandle::newNull() : QPDFObjectHandle::parse(image.decodeParms));
        QPDFObjectHandle dict = stream.getDict();
        dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Image"));
        dict.replaceKey("/Width", QPDFObjectHandle::newInteger(image.width));
        dict.replaceKey("/Height", QPDFObjectHandle::newInteger(image.height));
        dict.replaceKey("/ColorSpace", QPDFObjectHandle::parse(image.colorSpace));
        dict.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(image.bitsPerComponent));
        if (!image.decode.empty()) dict.replaceKey("/Decode", QPDFObjectHandle::parse(image.decode));
        image.object = stream;
        touch(stream);
      }
      const std::string name = "/Im" + std::to_string(draw.image + 1);
      xobjects.replaceKey(name, image.object);
    }
    QPDFObjectHandle contents = pdf_->newStream(PageDrawing(page));
    touch(contents);
    QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
    resources.replaceKey("/XObject", xobjects);
    QPDFObjectHandle box = QPDFObjectHandle::newArray();
    box.appendItem(QPDFObjectHandle::newInteger(0));
    box.appendItem(QPDFObjectHandle::newInteger(0));
    box.appendItem(Real(page.width));
    box.appendItem(Real(page.height));
    QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
    dict.replaceKey("/Type", QPDFObjectHandle::newName("/Page"));
    dict.replaceKey("/MediaBox", box);
    dict.replaceKey("/Resources", resources);
    dict.replaceKey("/Contents", contents);
    if (page.rotate != 0) dict.replaceKey("/Rotate", QPDFObjectHandle::newInteger(page.rotate));
    QPDFObjectHandle pageObject = pdf_->makeIndirectObject(dict);
    tree.Append(pageObject);
    touch(pageObject);
  }
  for (const QPDFObjGen& og : tree.Changed()) touched.push_back(og);

  // 16-bit samples came with PDF 1.5; the catalog's /Version raises an
  // older header's version, also in an update.
  bool sixteen = false;
  for (const auto& image : images_) sixteen = sixteen || image->bitsPerComponent == 16;
  QPDFObjectHandle root = pdf_->getRoot();
  const std::string stated = root.getKey("/Version").isName() ? root.getKey("/Version").getName().substr(1) : "";
  if (sixteen && pdf_->getPDFVersion() < "1.5" && (stated.empty() || stated < "1.5")) {
    root.replaceKey("/Version", QPDFObjectHandle::newName("/1.5"));
    touch(root);
  }

  QPDFObjectHandle trailer = pdf_->getTrailer();
  QPDFObjectHandle info = trailer.getKey("/Info");
  bool infoChanged = false;
  for (size_t i = 1; i < info_.size(); ++i) {
    if (info_[i].empty()) continue;
    QPDFObjectHandle stored = info.isDictionary() ? info.getKey(kInfoKeys[i]) : QPDFObjectHandle::newNull();
    infoChanged = infoChanged || !stored.isString() || stored.getUTF8Value() != info_[i];
  }
  if (infoChanged) {
    if (!info.isDictionary() || !info.isIndirect()) {
      info = pdf_->makeIndirectObject(info.isDictionary() ? info.shallowCopy() : QPDFObjectHandle::newDictionary());
      trailer.replaceKey("/Info", info);
    }
    touch(info);
    for (size_t i = 1; i < info_.size(); ++i) {
      if (!info_[i].empty()) info.replaceKey(kInfoKeys[i], QPDFObjectHandle::newUnicodeString(info_[i]));
    }
  } else if (info.isIndirect() && info.isDictionary()) {
    carried.push_back(info.getObjGen());
  }
}

void PDFWriter::WriteWhole(const std::string& path) {
  ReplacementFile out(path);
  QPDFWriter writer(*pdf_);
  writer.setOutputFile(out.temporaryPath().c_str(), out.file(), false);
  writer.setDecodeLevel(qpdf_dl_none);
  // Streams go out as they were made: samples Flate could not shrink stay
  // as they are, and a drawing stays plain text that later pages can share.
  writer.setCompressStreams(false);
  // A cross-reference table, which later appends read from the file's tail.
  writer.setObjectStreamMode(qpdf_o_disable);
  writer.write();
  out.Commit();
}

bool PDFWriter::SaveDirect(const std::string& path) {
  if (pages_.size() != 1 || pages_.front().draws.size() != 1) return false;
  const Page& page = pages_.front();
  const Image& image = *images_[page.draws.front().image];
  if (image.colorSpace.front() != '/') return false;
  ImageObject object = image.AsObject();
  // Keys in order, as the general road writes them.
  if (!image.decodeParms.empty()) {
    const std::optional<std::string> sorted = SortedDictionaryText(image.decodeParms);
    object.decodeParms = sorted ? *sorted : Compact(QPDFObjectHandle::parse(image.decodeParms).unparseResolved());
  }
  return AppendPageDirect(*direct_, path, page, object, info_, kInfoKeys);
}

void PDFWriter::WriteNew(const std::string& path) {
  std::vector<ImageObject> images;
  for (const auto& image : images_) images.push_back(image->AsObject());
  WriteNewDocument(path, pages_, images, info_, kInfoKeys);
}

void PDFWriter::ReopenSaved() {
  std::vector<Page> pages = std::move(pages_);
  std::vector<std::unique_ptr<Image>> images = std::move(images_);
  const std::optional<size_t> current = currentImage_;
  const std::string saved = std::move(savedPath_);
  savedPath_.clear();
  if (OpenExisting(saved) == 0) throw PdfWriterError(error_);
  pages_ = std::move(pages);
  images_ = std::move(images);
  currentImage_ = current;
}

long PDFWriter::Save(const std::string& path) {
  try {
    if (!IsOpen()) throw PdfWriterError("No document is open");
    SettleEncoding();
    if (newDocument_) {
      WriteNew(path);
      // The document now lives in that file: pages added later go there.
      newDocument_ = false;
      savedPath_ = path;
      pages_.clear();
      images_.clear();
      currentImage_.reset();
      return 1;
    }
    if (!savedPath_.empty()) ReopenSaved();
    std::error_code ec;
    const bool sameFile = !openedPath_.empty() && std::filesystem::equivalent(openedPath_, path, ec);
    if (direct_ && !pdf_) {
      if (sameFile && SaveDirect(path)) {
        pages_.clear();
        return 1;
      }
      // This page needs the document model after all.
      std::vector<Page> pages = std::move(pages_);
      const std::string opened = openedPath_;
      direct_.reset();
      if (OpenWithModel(opened) == 0) throw PdfWriterError(error_);
      pages_ = std::move(pages);
    }
    bool incremental = sameFile && incrementalPossible_;
    // A snapshot holds only a few objects of the file: never write it whole.
    if (!incremental && fromSnapshot_) throw PdfWriterError("The document can only be saved back to " + openedPath_);
    // A document written whole gets a balanced tree, so that later appends
    // to it stay cheap.
    if (!incremental) RebalancePageTree(*pdf_);
    std::vector<QPDFObjGen> touched, carried;
    BuildObjects(touched, carried);
    if (incremental && pdf_->anyWarnings()) {
      if (fromSnapshot_) throw PdfWriterError("The document can only be saved back to " + openedPath_);
      incremental = false;
      RebalancePageTree(*pdf_);
    }
    if (incremental) {
      AppendIncrementalUpdate(*pdf_, path, touched, carried);
    } else {
      WriteWhole(path);
    }
    pages_.clear();
    return 1;
  } catch (const std::exception& e) {
    error_ = "Cannot save the PDF file " + path + ": " + e.what();
    // A write the system refused says why ("No space left on device").
    if (const auto* system = dynamic_cast<const std::system_error*>(&e)) reason_ = system->code().message();
    if (const auto* qpdf = dynamic_cast<const QPDFSystemError*>(&e)) reason_ = std::strerror(qpdf->getErrno());
    return 0;
  }
}

}  // namespace quirepane
