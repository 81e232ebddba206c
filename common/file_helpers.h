// Testing, creating, moving and deleting files and folders. Every helper
// answers "", false or a status code instead of throwing. The helpers that
// touch files take a path as the system names it, "/" between its parts, and
// "\" and blanks at either end ordinary characters of a name (as names read
// from a folder listing hold them); callers turn a user-typed or stored path
// into that form (TypedPath) where they read it. The text helpers that take
// a folder or file name apart (GetParentFolder and its kin below) and the
// output-folder checks read a path as typed.
#pragma once

#include <chrono>
#include <string>

namespace tessa {

// File times as date values: whole days since 30 December 1899, the time of
// day as the fraction, to the second.

// Reads the creation, last-access and last-write times of sPath (in local
// time when bLocal, else UTC). A creation time the file system does not keep
// reads as the last-write time. Returns false on success and true when
// reading failed (the outputs are then unchanged).
bool bGetFileTimes(const std::string& sPath, double& dCreated, double& dAccessed, double& dModified,
                   bool bLocal);

// Sets the last-access and last-write times of sPath (given in local time when
// bLocal); a creation time cannot be set here and is left alone. Returns false
// on success and true on failure.
bool bSetFileTimes(const std::string& sPath, double dCreated, double dAccessed, double dModified,
                   bool bLocal);

// True when sPath names an existing file that is not a folder; false for ""
// and folders. A "*" or "?" is a character of a name here: a mask names no
// file unless one is called so.
bool bFileExists(const std::string& sPath);

// True when sFolder names an existing folder.
bool bFolderExists(const std::string& sFolder);

// True when sPath names an existing file or folder.
bool bPathExists(const std::string& sPath);

// Deletes the file sPath (read-only too). True only when it is gone
// afterwards; false for a folder or any failure.
bool bDeleteFile(const std::string& sPath);

// True at once when nothing exists at sPath. Otherwise tries bDeleteFile up
// to attempts times, waiting between tries; true as soon as the file is
// gone, false when it is still there (or cannot be examined) at the end.
// A deletion the system refuses for good (no permission, read-only file
// system) fails at once instead of waiting through every try. On false
// errno says why.
bool bDeleteFileWithRetry(const std::string& sPath, int attempts = 21,
                          std::chrono::milliseconds wait = std::chrono::milliseconds(1000));

// Attribute bits of the original file system: 1 read-only (the owner's write
// bit is off), 16 folder, 128 normal (no other bit).
enum FileAttributeBits : long { kAttrReadOnly = 1, kAttrDirectory = 16, kAttrNormal = 128 };

// Keeps only the attribute bits in lMask (mask -2 clears read-only, giving
// the owner write permission). False on error.
bool bSetAttributesMasked(const std::string& sPath, long lMask);

// Creates sFolder and every missing parent; reports nothing (callers test
// the folder afterwards).
void MakeFolderPath(const std::string& sFolder);

// sPath made absolute against the current folder and tidied ("." and ".."
// resolved, "/" separators); "" on error.
std::string GetAbsolutePath(const std::string& sPath);

// Copies the folder sSource with all it holds to sDestination (created when
// missing). Without bOverwrite an existing file stops the copy. False on
// any error.
bool CopyFolderFSO(const std::string& sSource, const std::string& sDestination, bool bOverwrite);

// The file name of sPath as base name, ".", extension; a name without
// extension comes back with a trailing dot ("" for "").
std::string GetFileNameFromPath(const std::string& sPath);

// The folder that holds sPath (trailing separators ignored); "" when the path
// has no folder part; "/" for an entry of the root.
std::string GetParentFolder(const std::string& sPath);

// As GetParentFolder for a path as the system names it (one the program
// built from a folder listing): only "/" parts it, and blanks at its ends
// are kept.
std::string GetParentFolderAsNamed(const std::string& sPath);

// As GetParentFolder; for a share root such as //server/share the server part.
std::string GetParentFolderUNC(const std::string& sPath);

// The root of sPath: "/" for an absolute path, "//server/share" for a share
// path (with "/" appended when bAddBackslash), "" for a relative path.
std::string GetDriveRoot(const std::string& sPath, bool bAddBackslash);

// The deepest folder of sPath (taken against the current folder when
// relative) that exists: the root itself when even the first part is
// missing, "" when the root is missing.
std::string GetDeepestExistingFolder(const std::string& sPath);

// Moves sFile into sFolder ("/" is appended to the caller's sFolder when it
// does not end with a separator), creating the folder when missing. A file
// of the same name there is never replaced: the file takes the first free
// name "base (2).ext", "base (3).ext", ... instead. A file already in that
// folder is left as it is (true). Across file systems the file is copied
// under a temporary name, checked, given its name and only then deleted from
// its old place, so the file is never lost. psMovedTo, when given, gets the
// path the file now has. False on any failure, with the source untouched
// and errno saying why.
bool bMoveFileToFolder(const std::string& sFile, std::string& sFolder, std::string* psMovedTo = nullptr);

// Status codes of CheckOutputFolder.
enum OutputFolderStatus : long {
  kOutputFolderUsable = 0,
  kOutputFolderUnknown = 1,
  kOutputFolderSystem = 2,
  kOutputFolderProtected = 3,
  kOutputFolderRoot = 4,
  kOutputFolderNotWriteable = 5,
};

// Judges a user-chosen output folder by its deepest existing part: system
// folders (/usr /etc /bin /sbin /lib /boot /proc /sys /dev and /opt and what
// lies below) give 2, the folder holding the users' homes 3, the root "/"
// itself 4, an unwritable folder 5, a failed check 1, a usable folder 0.
// sRecommended gets the folder with macros expanded and, for 2 to 4, the
// offending prefix replaced by the user's documents folder (5: the documents
// folder); vMessage gets the status's text (unchanged for 0).
long CheckOutputFolder(const std::string& sFolder, std::string& sRecommended, std::string& vMessage);

// True when a probe file can be created and written in the deepest existing
// part of sFolder, or fails only for want of room (a full disk, a quota, a
// file-size limit), which the output's own write then reports with its
// reason; the probe is deleted again. False for "".
bool bFolderIsWriteable(const std::string& sFolder);

// A name that does not exist yet: sFolder (the temporary folder when empty)
// & sPrefix & up to 8 - len(sPrefix) random digits & "." & sExtension ("tmp"
// when empty). "" when no free name was found or the prefix is longer than
// 8 characters.
std::string GetUniqueTempFileName(const std::string& sFolder, const std::string& sPrefix,
                                  const std::string& sExtension);

}  // namespace tessa
