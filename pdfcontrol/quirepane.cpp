#include "pdfcontrol/quirepane.h"

#include <glob.h>
#include <sys/stat.h>

#include <exception>

#include "pdfcontrol/property_store.h"
#include "pdfcontrol/save_pdf.h"
#include "pdfcontrol/version.h"

namespace quirepane {
namespace {

bool IsRegularFile(const char* path) {
  struct stat st{};
  return stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

// True when path, which may hold the wildcards "*" and "?", names at least
// one file. Brackets and backslashes are part of the name.
bool SourceExists(const std::string& path) {
  if (path.empty()) return false;
  if (path.find_first_of("*?") == std::string::npos) return IsRegularFile(path.c_str());
  std::string pattern;
  for (char c : path) {
    if (c == '[' || c == ']' || c == '\\') pattern += '\\';
    pattern += c;
  }
  glob_t matches{};
  bool found = false;
  if (glob(pattern.c_str(), GLOB_NOSORT, nullptr, &matches) == 0) {
    for (size_t i = 0; i < matches.gl_pathc && !found; ++i) found = IsRegularFile(matches.gl_pathv[i]);
  }
  globfree(&matches);
  return found;
}

bool BagBool(const std::string& text) { return text == "True" || text == "true" || text == "TRUE" || text == "-1" || text == "1"; }

}  // namespace

std::string AboutBoxVersion() { return AboutVersionText(); }

void Quirepane::Changed(const char* name) {
  if (PropertyChanged) PropertyChanged(name);
}

std::string Quirepane::SourceFile() const { return CurrentPropertyStore().SourceFile; }
void Quirepane::SetSourceFile(const std::string& value) { CurrentPropertyStore().SourceFile = value; Changed("SourceFile"); }
std::string Quirepane::DestinationFile() const { return CurrentPropertyStore().DestinationFile; }
void Quirepane::SetDestinationFile(const std::string& value) { CurrentPropertyStore().DestinationFile = value; Changed("DestinationFile"); }
CR_FileType Quirepane::FileType() const { return static_cast<CR_FileType>(CurrentPropertyStore().FileType); }
void Quirepane::SetFileType(long value) { CurrentPropertyStore().FileType = value; Changed("FileType"); }
bool Quirepane::AppendToExisting() const { return CurrentPropertyStore().AppendToExisting; }
void Quirepane::SetAppendToExisting(bool value) { CurrentPropertyStore().AppendToExisting = value; Changed("AppendToExisting"); }
std::string Quirepane::PDFAuthor() const { return CurrentPropertyStore().PDFAuthor; }
void Quirepane::SetPDFAuthor(const std::string& value) { CurrentPropertyStore().PDFAuthor = value; Changed("PDF_Author"); }
std::string Quirepane::PDFTitle() const { return CurrentPropertyStore().PDFTitle; }
void Quirepane::SetPDFTitle(const std::string& value) { CurrentPropertyStore().PDFTitle = value; Changed("PDF_Title"); }
std::string Quirepane::PDFSubject() const { return CurrentPropertyStore().PDFSubject; }
void Quirepane::SetPDFSubject(const std::string& value) { CurrentPropertyStore().PDFSubject = value; Changed("PDF_Subject"); }
std::string Quirepane::PDFKeyword() const { return CurrentPropertyStore().PDFKeyword; }
void Quirepane::SetPDFKeyword(const std::string& value) { CurrentPropertyStore().PDFKeyword = value; Changed("PDF_Keyword"); }
std::string Quirepane::PDFCreator() const { return CurrentPropertyStore().PDFCreator; }
void Quirepane::SetPDFCreator(const std::string& value) { CurrentPropertyStore().PDFCreator = value; Changed("PDF_Creator"); }

void Quirepane::RaiseDone(CR_Result status) {
  if (Done) Done(status);
}

void Quirepane::Convert() {
  error_.clear();
  reason_.clear();
  clsSavePDF worker;
  const PropertyStore& store = CurrentPropertyStore();
  if (!SourceExists(store.SourceFile)) {
    error_ = "The source file " + store.SourceFile + " does not exist";
    RaiseDone(CR_Failure_NoInput);
    return;
  }
  if (store.DestinationFile.empty()) {
    error_ = "No destination file is set";
    RaiseDone(CR_Failure_NoOutput);
    return;
  }
  CR_Result result = CR_Failure_General;
  try {
    result = static_cast<CR_Result>(worker.ConvertToPDF());
    error_ = worker.LastError();
    reason_ = worker.FailureReason();
  } catch (const std::exception& e) {
    error_ = "Converting " + store.SourceFile + " failed: " + e.what();
    result = CR_Failure_General;
  } catch (...) {
    error_ = "Converting " + store.SourceFile + " failed";
    result = CR_Failure_General;
  }
  RaiseDone(result);
}

void Quirepane::ShowAboutBox() {
  if (AboutBoxHandler) AboutBoxHandler();
}

void Quirepane::ReadProperties(const PropertyBag& bag) {
  auto text = [&bag](const char* key, const std::string& fallback) {
    auto it = bag.find(key);
    return it == bag.end() ? fallback : it->second;
  };
  SetPDFTitle(text("PDF_Title", ""));
  SetPDFAuthor(text("PDF_Author", ""));
  SetPDFCreator(text("PDF_Creator", ""));
  SetPDFKeyword(text("PDF_Keyword", ""));
  SetPDFSubject(text("PDF_Subject", ""));
  SetSourceFile(text("SourceFile", ""));
  long type = -1;
  try {
    type = std::stol(text("FileType", "-1"));
  } catch (const std::exception&) {
    type = -1;
  }
  SetFileType(type);
  SetAppendToExisting(BagBool(text("AppendToExisting", "False")));
  SetDestinationFile(text("DestinationFile", ""));
}

void Quirepane::WriteProperties(PropertyBag& bag) const {
  auto put = [&bag](const char* key, const std::string& value, const std::string& fallback) {
    if (value == fallback) bag.erase(key);
    else bag[key] = value;
  };
  put("PDF_Title", PDFTitle(), "");
  put("PDF_Author", PDFAuthor(), "");
  put("PDF_Creator", PDFCreator(), "");
  put("PDF_Keyword", PDFKeyword(), "");
  put("PDF_Subject", PDFSubject(), "");
  put("SourceFile", SourceFile(), "");
  put("FileType", std::to_string(static_cast<int32_t>(FileType())), "-1");
  put("AppendToExisting", AppendToExisting() ? "True" : "False", "False");
  put("DestinationFile", DestinationFile(), "");
}

}  // namespace quirepane
