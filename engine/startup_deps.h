// TEMPORARY: stand-ins for the parser, job commands and block dispatch that
// are being built alongside; each is replaced by the real call as it lands,
// and this file goes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/conversion_options.h"
#include "engine/main_form.h"

namespace tessa::deps {

inline void ConversionJobOpen(MainForm&, const std::string&) {}
inline void ConversionJobBegin(MainForm&) {}
inline void PerformBlock(MainForm&, int32_t, clsConversionOptions&, int32_t& ret) { ret = -1; }
inline void SaveLogGridAsJobFile(const std::string&, const FlexGrid&) {}

}  // namespace tessa::deps
