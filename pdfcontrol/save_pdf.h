// One conversion of the control: the source image (or each page of a
// multi-page TIFF) into a new PDF or appended to an existing one, with the
// document information, as the property store describes it.
#pragma once

#include <string>

namespace quirepane {

class PDFWriter;
class TiffPages;
class ImageEngine;
class LoadedImage;

class clsSavePDF {
 public:
  // Converts SourceFile into DestinationFile as the calling thread's
  // property store says. Returns a CR_Result value: 0 success, 1 the PDF
  // could not be written (an existing destination is then left as it was),
  // 5 the source is not of FileType or cannot be read. May throw on an
  // unexpected failure; the caller counts that as 1.
  long ConvertToPDF();

  // Why the last conversion failed, for logs and tests; "" after success.
  const std::string& LastError() const { return error_; }

  // Why the PDF could not be written, in a few words for the user ("the
  // PDF is encrypted", "No space left on device"); "" when unknown.
  const std::string& FailureReason() const { return reason_; }

 private:
  bool bIsFileOfType(const std::string& path, long type);
  double GetImageWidthInches(const std::string& path);
  double GetImageHeightInches(const std::string& path);
  // Every page of the TIFF at source into destination; a CR_Result value.
  long ConvertMultipageTIFF(const std::string& source, const std::string& destination, const TiffPages& pages);
  void SetDocInfo(PDFWriter& writer);
  // Opens destination for appending or starts a new document. False when
  // destination exists, is not empty and cannot be opened as a PDF.
  bool OpenOrCreate(PDFWriter& writer, const std::string& destination, bool& isNew);
  // A 16-bit grey or RGB source goes in with all its bits; false when the
  // source is not one (nothing is done then). Sets saved to the save's result.
  bool ConvertSixteenBit(const std::string& source, const std::string& destination, long& saved);
  // The same for an image already loaded, which it frees when it takes it.
  bool SaveSixteenBit(const ImageEngine& engine, LoadedImage& image, const std::string& destination, long& saved);
  // Sets why a page of the TIFF at source is refused; the CR_Result value.
  long RefuseTiffPage(const std::string& source, const std::string& refusal);
  // Takes what failed in the writer and why.
  void TakeWriterFailure(const PDFWriter& writer);
  // Sets reason_, when the save gave none, from what the system says about
  // writing destination.
  void DiagnoseWriteFailure(const std::string& destination);

  std::string error_;
  std::string reason_;
};

}  // namespace quirepane
