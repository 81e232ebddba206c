// One task of a conversion job: what to do, input and output with their
// image type codes, flags, extra parameters, log settings and the outcome of
// the last step. A plain record; a new one holds the defaults.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tessa {

// The input type of a record that was given none.
inline constexpr int32_t kNoFileTypeGiven = -12345678;

struct clsConversionOptions {
  std::string sActionToDo = "C";         // "C" conversion, "S" special process
  std::string sCurrentBatchJobFile;      // job-file slot, trimmed and expanded only
  std::string sOriginalFile;             // input file, mask or folder; program for S60
  int32_t lOriginalFileType = kNoFileTypeGiven;
  std::string sTargetFile;               // output file, folder or mask; arguments for S60
  int32_t lTargetFileType = 100;         // 100 is PDF
  bool bVerbose = false;                 // command-line /V: log lines also in a box
  bool bVerboseLog = false;              // command-line /Z: log every file
  bool bDoSubfolders = false;
  bool bSaveInOriginalFolder = false;
  bool bExportFormula = false;           // row flag "F"; nothing reads it
  int32_t lConversionMethod = 1;         // 1 conversion, 2 row without "M", 4 special process
  std::string sExtraParams = "1";        // advanced-options or special-process record
  bool bOpenButDoNotRun = false;
  bool bShellExtenderOptionsChange = false;
  std::string sSubFolder;                // folder of the current file below the input folder
  int32_t lSpecialProcess = 0;           // 1 reload a job file, 60 start a program
  int32_t lCommandLineExitCode = 0;      // exit code of the program of S60
  std::string sLogFile;                  // command-line /L
  std::string sLogAsConversionJobFile;   // command-line /B
  std::string sCLBatchJobFile;           // command-line /J
  std::string sErr;
  int32_t lErr = 0;
  // What became of the last good item's input that its log row must tell:
  // where it went when a file of its name already lay in the move folder and
  // it took a free name there, or why deleting or moving it failed; ""
  // otherwise.
  std::string sInputNote;
};

// Tasks are shared between whoever builds them and whoever runs them.
using ConversionOptionsPtr = std::shared_ptr<clsConversionOptions>;

inline ConversionOptionsPtr NewConversionOptions() { return std::make_shared<clsConversionOptions>(); }

}  // namespace tessa
