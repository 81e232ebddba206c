// The PDF-writing component of the control: a new document, or an existing
// one (read through qpdf where its end alone does not do), pages sized in
// inches, a JPEG (unchanged) or a BMP (lossless) image drawn on them, the
// document information, and a save that never damages the old file. An
// existing file is extended by an incremental update whenever it can be.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <qpdf/QPDFObjGen.hh>

#include "pdfcontrol/page_objects.h"

class QPDF;
struct FIBITMAP;

namespace quirepane {

struct CcittPage;
struct DirectTail;
struct PngStream;
struct SampleStream;

// A failed writer operation (the caller ends the conversion on it).
class PdfWriterError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class PDFWriter {
 public:
  PDFWriter();
  ~PDFWriter();
  PDFWriter(const PDFWriter&) = delete;
  PDFWriter& operator=(const PDFWriter&) = delete;

  // Opens the PDF at path for adding pages. Non-zero when it was opened; 0
  // when it is missing, not a PDF, damaged beyond repair or encrypted
  // (LastError() says which). The opened document has no current page.
  long OpenExisting(const std::string& path);

  // Starts a new document with one current page (8.5 by 11 inches).
  void NewDocument();

  // Appends a page to the open document and makes it current.
  void AddPage();

  // The unit of page sizes and positions: 1 inches; any other code points.
  void SelectUnit(long unit);

  // Document information: 1 /Author, 2 /Title, 3 /Subject, 4 /Keywords,
  // 5 /Creator, 6 /Producer. An empty text leaves the key as it was.
  void SetDocInfo(long index, const std::string& text);

  // Makes the JPEG file at path the current image; its bytes go into the
  // PDF unchanged. Throws PdfWriterError when the file cannot be read or is
  // not a JPEG that can be passed through (see ReadJpegInfo).
  void LoadJpeg(const std::string& path);

  // The same for a JPEG file's bytes already read; name is the file's name
  // for the error.
  void LoadJpegBytes(std::string bytes, const std::string& name);

  // The same for a JPEG stream made in memory, with the filter's
  // /DecodeParms (PDF syntax, or "").
  void LoadJpegData(std::string data, std::string decodeParms);

  // Makes the BMP file at path the current image, stored losslessly.
  // Throws PdfWriterError when it cannot be read.
  void LoadBmp(const std::string& path);

  // The same for a bitmap in memory: one of 1, 4, 8 or 24 bits is taken as
  // its pixels stand (make it with StandardBitmap to lay transparency on
  // white), any other goes through StandardBitmap. Keeps no reference to it.
  void LoadBitmap(FIBITMAP* dib);

  // Makes a PNG's compressed rows the current image, as they are.
  void LoadPng(PngStream png);

  // Makes a CCITT-coded page the current image; its bytes go into the PDF
  // unchanged.
  void LoadCcitt(CcittPage page);

  // Makes raw samples the current image, stored losslessly: rows from the
  // top, each pixel components (1 grey, 3 RGB) samples of bitsPerComponent
  // bits (8, or 16 most significant byte first; a document holding 16-bit
  // samples is marked PDF 1.5). Throws PdfWriterError when the sizes do not
  // match.
  void LoadSamples(long width, long height, int components, int bitsPerComponent, const std::string& rows);

  // The same for samples already encoded (see EncodeSamples), rows of
  // width pixels from the top.
  void LoadSampleStream(long width, long height, int components, int bitsPerComponent, SampleStream stream);

  // Image placement option; kept for the caller's sake, it changes nothing.
  void ImageOption(long option) { imageOption_ = option; }

  // Sizes the current page; throws PdfWriterError without one or for a size
  // that is not positive.
  void SetPageSize(double width, double height);
  double PageWidth() const;
  double PageHeight() const;

  // Draws the current image on the current page with its lower-left corner
  // x across and y down from the page's top-left corner, stretched to width
  // by height. A JPEG file whose EXIF orientation asks for a turn turns the
  // page with it (/Rotate), so that the photo shows upright. Throws
  // PdfWriterError without a page or an image.
  void DrawImage(double x, double y, double width, double height);

  // Writes the document to path. An opened document saved back to its own
  // file is extended with an incremental update when the file allows; any
  // other save writes a whole file beside path and renames it into place (a
  // new document without the document model). After a new document is
  // saved, no image is current and pages added go into the file it made.
  // Non-zero when saved; 0 otherwise (LastError() says why), with the old
  // file left as it was.
  long Save(const std::string& path);

  // The memory the pages not yet saved hold: their images' bytes, and the
  // most their encodings in flight may take.
  uint64_t HeldBytes() const;

  const std::string& LastError() const { return error_; }

  // Why OpenExisting refused the file, or why Save could not write it, in a
  // few words ("the PDF is encrypted", "the PDF is damaged", "Is a
  // directory", "No space left on device"); "" otherwise.
  const std::string& FailureReason() const { return reason_; }

 private:
  using Draw = PlacedImage;
  using Page = PageLayout;
  struct Image;

  Page& CurrentPage();
  void Reset();
  // A new current image of raw samples (1 grey or 3 RGB components of 8 or
  // 16 bits), its bytes still to come; throws PdfWriterError for others.
  Image& AddSampleImage(long width, long height, int components, int bitsPerComponent);
  // Encodes rows (see EncodeSamples) into image's samples beside the
  // caller's next steps, so that the next page is read while this one is
  // compressed; a few images at a time and a share of the memory left, the
  // oldest waited for first, a page larger than that share right here.
  void EncodeBeside(Image& image, std::string rows, int colors, bool indexed);
  // Waits until every image's samples are encoded.
  void SettleEncoding();
  bool IsOpen() const { return pdf_ || direct_ || newDocument_ || !savedPath_.empty(); }
  // Opens the file a new document was saved to, for the pages added since,
  // keeping them.
  void ReopenSaved();
  long OpenWithModel(const std::string& path);
  bool OpenSnapshot(const std::string& path);
  bool SaveDirect(const std::string& path);
  void BuildObjects(std::vector<QPDFObjGen>& touched, std::vector<QPDFObjGen>& carried);
  void WriteWhole(const std::string& path);
  void WriteNew(const std::string& path);

  // The bytes a snapshot-opened document is read from; outlives pdf_.
  std::string snapshot_;
  std::unique_ptr<QPDF> pdf_;
  // The end of an opened file as read for a page added without the
  // document model; the model is read only when a save needs it.
  std::unique_ptr<DirectTail> direct_;
  std::string openedPath_;
  bool fromSnapshot_ = false;
  // A document started by NewDocument and not yet saved: written without
  // the document model.
  bool newDocument_ = false;
  // Where such a document went once saved; pages added later are appended
  // to that file.
  std::string savedPath_;
  bool incrementalPossible_ = false;
  std::vector<Page> pages_;
  std::vector<std::unique_ptr<Image>> images_;
  std::vector<Image*> encoding_;  // images whose samples are being encoded, oldest first
  std::optional<size_t> currentImage_;
  double unit_ = 72.0;
  long imageOption_ = 0;
  std::array<std::string, 7> info_;
  std::string error_;
  std::string reason_;
};

}  // namespace quirepane
