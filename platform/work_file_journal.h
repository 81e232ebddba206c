// Work files a conversion makes beside its input or output (page files,
// hidden copies and half-written PDFs) are noted in a journal of the process
// in the temporary folder, which the process holds locked while it lives.
// A journal whose lock nobody holds belongs to a process that was killed:
// the next process removes the files it lists that are still the very files
// noted, then the journal.
#pragma once

#include <string>

#include "platform/platform_api.h"

namespace tessa TESSA_PLATFORM_API {

// Notes the work file at path (as it is now: its device and inode, or only
// its name when it does not exist yet).
void NoteWorkFile(const std::string& path);

// Forgets every noted file: call when the work files noted so far are gone.
void ClearWorkFileJournal();

// Removes the files of journals whose process is gone, and those journals.
// Done once per process; later calls do nothing.
void RemoveAbandonedWorkFiles();

// The folder journals are kept in: $TMPDIR when set, else /tmp.
std::string WorkFileJournalFolder();

}  // namespace tessa
