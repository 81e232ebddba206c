// The engine form's keys of [frmMain] in the settings file: the run options
// (what happens to inputs, the retry with autodetection, the log file), the
// editor's task kind and PDF options, and the type-mismatch notice's
// never-show-again key. Read in every mode: the window reads them as it
// loads, command-line and automation runs before they run.
#pragma once

namespace tessa {

class MainForm;

// The advanced PDF options of a first start: no append, author and creator
// "Brindlecove, Inc.", keywords, subject, title, compression 2, all pages.
inline constexpr const char* kDefaultAdvancedOptions =
    "FALSE^Brindlecove, Inc.^Brindlecove, Inc.^Image, PDF, Conversion^Image To PDF Conversion^"
    "Image To PDF Conversion Tools^2^*^";

// Reads the keys into frm; a missing key or a stored number that is not one
// gives its default. Writes nothing.
void ReadMainFormOptions(MainForm& frm);

}  // namespace tessa
