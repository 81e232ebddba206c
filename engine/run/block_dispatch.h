// Running one task (one to-do row) as a block: its path macros expanded, a
// conversion task's input mask expanded into files and each file converted
// into its own PDF or into one PDF, a special-process task run, every
// outcome logged, with progress in the status bar and a pause honoured
// between files.
#pragma once

#include <cstdint>

#include "engine/task/conversion_options.h"
#include "engine/main_form.h"
#include "engine/run/process_tasks.h"

namespace tessa {

// Runs task lJobNumber (its to-do row number) described by coBlock: gives a
// task without a log file frm.sRunLogFile, expands the path macros of its
// target, input, log and job-file paths, then runs a
// task whose sActionToDo holds "C" as a conversion and one holding "S" as a
// special process (loadJobFile serves process 1); anything else does
// nothing. ret gets the block's run code: 0 success (or skipped, or nothing
// to do), -10000 the input's file list could not be built, -5 (the check's
// code, logged with its text) for one input into an output mask, else the
// code of the failing file (the last one that failed) or of the special
// process.
//
// A multi-file block starts at frm.lResumeFileIndex when it is not 0 (and
// clears it). When it stops early because frm.bRunning was cleared, it
// leaves frm.lResumeFileIndex at the index (from 1) of the first file it did
// not do, so a block that was cut short always has it non-zero; a block that
// ran to its end leaves it 0.
void PerformBlock(MainForm& frm, int32_t lJobNumber, clsConversionOptions& coBlock, int32_t& ret,
                  const JobFileLoader& loadJobFile = {});

// The conversion half of PerformBlock (paths already expanded).
void PerformBlockConversion(MainForm& frm, int32_t lJobNumber, clsConversionOptions& coBlock, int32_t& ret);

// The special-process half of PerformBlock (paths already expanded).
void PerformBlockSpecialized(MainForm& frm, int32_t lJobNumber, clsConversionOptions& coBlock, int32_t& ret,
                             const JobFileLoader& loadJobFile = {});

}  // namespace tessa
