// Naming and mode of a file written beside its destination and renamed over
// it once complete, shared by every writer that must never leave a half
// file in place of the old one.
#pragma once

#include <sys/types.h>

#include <string>

#include "platform/platform_api.h"

namespace tessa TESSA_PLATFORM_API {

// The file a write to target lands in: target itself, or, when target is a
// symbolic link, the file the chain of links finally names (also when that
// file does not exist yet), so that a file renamed into place replaces the
// link's file and keeps the link. A relative link counts from its folder.
// A link that names itself, a loop of links or a chain longer than the
// system follows lands nowhere: "" with errno ELOOP (or readlink's reason).
std::string WrittenPath(const std::string& target);

// A mkstemp pattern in target's folder: "." + name + ".XXXXXX", or a short
// ".tmp.XXXXXX" when the name is too long to take the suffix.
std::string SiblingTempPattern(const std::string& target);

// A name beside target that is free now (a file is made under it and
// removed again): SiblingTempPattern's name with suffix added, or the short
// one when that cannot be made. "" when neither can.
std::string FreeSiblingName(const std::string& target, const std::string& suffix = "");

// Gives target a second name beside it (a hard link under a free
// SiblingTempPattern name, or the short one) and returns that name; "" when
// none could be made.
std::string LinkUnderSiblingName(const std::string& target);

// The mode the finished file should get: target's own mode when it exists,
// else what a new file gets under the process's umask (read without
// changing it, so other threads never see a cleared umask).
mode_t ReplacementFileMode(const std::string& target);

}  // namespace tessa
