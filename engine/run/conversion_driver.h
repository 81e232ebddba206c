// Converting one input file of a task into its PDF: a TIFF goes whole or is
// cut into the frames its page list asks for, every piece goes through the
// image-to-PDF control, a failed item is undone and tried once more, and a
// good one gets its after-processing (delete or move the input, file times).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/task/conversion_options.h"
#include "engine/run/item_file_list.h"
#include "engine/main_form.h"

namespace tessa {

// Converts co.sOriginalFile into co.sTargetFile. Returns 0 on success or a
// negative run code (-1, -2, -3, -5, -100, -103, -110, -113), with co.lErr
// and co.sErr set. An item is all or nothing: a failure leaves the output as
// it was before the item. Whether it adds to an existing output or replaces
// it is the task's append flag alone, whatever the input's type: a file
// whose content is TIFF goes in page by page, so without append its pages
// are written aside and renamed over the old output once all are in. After
// a good item the input is deleted or moved as the form's options say; a
// moved input never replaces a file in the move folder but takes a free
// name there (co.sInputNote and the end of co.sErr then name it). A delete
// or move that fails leaves the input and the item's result as they are;
// co.sInputNote and the end of co.sErr then give the system's reason.
// On return co.sOriginalFile, co.lOriginalFileType and co.sTargetFile hold
// their values from entry.
int32_t PerformConversionItem(MainForm& frm, clsConversionOptions& co);

// Adds to files what is to be converted for the TIFF input co.sOriginalFile:
// the input itself when nothing needs cutting (not bForce, compression 0,
// and one frame, or all pages in order, whatever the file's size), else a
// temporary one-frame file per page of the page list, in its order. True
// when every page was cut; false (with -110 or -103 in co.lErr when it was
// 0) on the first page that fails, or for a page list that names no usable
// page; false without a code for a file that has no frames to cut.
bool SplitFramesToTempFiles(MainForm& frm, clsConversionOptions& co, ItemFileList& files, bool bForce);

// Writes one frame buffer to sFile with the imaging control's compression:
// true with lErr 0 and sErr "", or false with lErr -103 "Unable to convert".
// lType is not used.
bool SaveFrame(MainForm& frm, clsConversionOptions& co, int32_t lType, const std::string& sFile,
               const std::vector<uint8_t>& abFrame);

// File times of an input as date values, taken before the item read it.
struct InputFileTimes {
  double dCreated = 0;
  double dAccessed = 0;
  double dModified = 0;
};

// Converts co.sOriginalFile into co.sTargetFile through frm's control, once
// more with autodetection when the first call fails; ret gets the outcome
// (0 or negative) and co.lErr/co.sErr its code and text, the text ending in
// the input's name. sShownInput names the input in that text instead of
// co.sOriginalFile (with lShownPage, when not 0, after it in brackets).
// With frm.bRetainInputFileTimeStamp a good output gets pTimes, or when
// none are given the times the named input has now.
void PerformConversionItemQuirepane(MainForm& frm, clsConversionOptions& co, int32_t& ret,
                                    const std::string& sShownInput = "", int32_t lShownPage = 0,
                                    const InputFileTimes* pTimes = nullptr);

// True when a and b name one file: the same device and inode when both
// exist, else the same absolute path once "." and ".." and links in the
// folders are resolved.
bool bSameFile(const std::string& a, const std::string& b);

// The key under which an output file is known within a task: its absolute
// path with the folders' links, "." and ".." resolved.
std::string OutputFileKey(const std::string& sPath);

// The control's Done: stores the negated status and its text in frm.
void Quirepane_Done(MainForm& frm, int32_t Status);

}  // namespace tessa
