// The image-to-PDF control: the host sets source, destination, type, append
// flag and document information, calls Convert, and hears the outcome once
// through Done before Convert returns. Property values are shared by every
// control on the same thread.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "pdfcontrol/quirepane_api.h"

namespace quirepane {

// Outcome of Convert, the argument of Done.
enum CR_Result : int {
  CR_Success = 0,
  CR_Failure_General = 1,
  CR_Failure_NoInput = 2,
  CR_Failure_NoOutput = 3,
  CR_Failure_InvalidImageType = 5,
};

// FailureReason when the existing destination is a PDF too damaged to be
// added to.
inline constexpr const char* kDamagedPdfReason = "the PDF is damaged";

// The source's image type (no GIF member; -1 detects and skips the check).
enum CR_FileType : int {
  FT_AUTO = -1,
  FT_BMP = 0,
  FT_ICO = 1,
  FT_JPEG = 2,
  FT_JNG = 3,
  FT_KOALA = 4,
  FT_LBM = 5,
  FT_MNG = 6,
  FT_PBM = 7,
  FT_PBM_RAW = 8,
  FT_PCD = 9,
  FT_PCX = 10,
  FT_PGM = 11,
  FT_PGM_RAW = 12,
  FT_PNG = 13,
  FT_PPM = 14,
  FT_PPMRAW = 15,
  FT_RAS = 16,
  FT_TARGA = 17,
  FT_TIFF = 18,
  FT_WBMP = 19,
  FT_PSD = 20,
  FT_CUT = 21,
};

// Saved properties of a hosting form: persistence name -> value text.
using PropertyBag = std::map<std::string, std::string>;

class QUIREPANE_API Quirepane {
 public:
  // Raised exactly once per Convert, before Convert returns.
  std::function<void(CR_Result Status)> Done;
  // Told the persistence name of every property that is set ("SourceFile",
  // "DestinationFile", "FileType", "AppendToExisting", "PDF_Author",
  // "PDF_Title", "PDF_Subject", "PDF_Keyword", "PDF_Creator").
  std::function<void(const std::string& name)> PropertyChanged;
  // Shows the about box; the window side installs it (see qt/).
  std::function<void()> AboutBoxHandler;

  std::string SourceFile() const;
  void SetSourceFile(const std::string& value);
  std::string DestinationFile() const;
  void SetDestinationFile(const std::string& value);
  CR_FileType FileType() const;
  void SetFileType(long value);
  bool AppendToExisting() const;
  void SetAppendToExisting(bool value);
  std::string PDFAuthor() const;
  void SetPDFAuthor(const std::string& value);
  std::string PDFTitle() const;
  void SetPDFTitle(const std::string& value);
  std::string PDFSubject() const;
  void SetPDFSubject(const std::string& value);
  std::string PDFKeyword() const;
  void SetPDFKeyword(const std::string& value);
  std::string PDFCreator() const;
  void SetPDFCreator(const std::string& value);

  // Converts SourceFile into DestinationFile (a new PDF, or pages appended
  // to an existing one when AppendToExisting) and raises Done with the
  // outcome: 2 when SourceFile names no existing file (wildcards allowed, a
  // folder does not count), 3 when DestinationFile is "", 5 when the source
  // is not of FileType or cannot be read, 1 when the PDF cannot be written,
  // else 0. Never throws.
  void Convert();

  // Why the last Convert failed, for logs; "" after a success.
  const std::string& LastError() const { return error_; }

  // Why the last Convert could not write the PDF, in a few words for the
  // user ("the PDF is encrypted", "Is a directory"); "" when unknown.
  const std::string& FailureReason() const { return reason_; }

  // Shows the about box through AboutBoxHandler, if one is installed.
  void ShowAboutBox();

  // Loads every property from a form's saved bag, with the default for a
  // missing key ("" texts, FileType -1, AppendToExisting False).
  void ReadProperties(const PropertyBag& bag);
  // Saves every property into bag, leaving out those equal to their default.
  void WriteProperties(PropertyBag& bag) const;

 private:
  QUIREPANE_INTERNAL void Changed(const char* name);
  QUIREPANE_INTERNAL void RaiseDone(CR_Result status);

  std::string error_;
  std::string reason_;
};

// The about box's version line, "Quirepane  v1.0.0".
QUIREPANE_API std::string AboutBoxVersion();

}  // namespace quirepane
