// The session-bus names of the programs: tessaprint's automation service and
// ferrowick's Process object. Programs, tests and the file-manager extension
// include these instead of spelling the names again.
#pragma once

namespace tessa::bus {

// tessaprint: a factory object that creates one automation instance per client.
inline constexpr const char* kTessaprintService = "com.brindlecove.Tessaprint";
inline constexpr const char* kTessaprintFactoryPath = "/com/brindlecove/Tessaprint";
inline constexpr const char* kTessaprintFactoryInterface = "com.brindlecove.Tessaprint";
inline constexpr const char* kTessaprintInstanceInterface = "com.brindlecove.Tessaprint.clsTessalumen";

// ferrowick: the context helper's Process object.
inline constexpr const char* kFerrowickService = "com.brindlecove.Ferrowick";
inline constexpr const char* kFerrowickProcessPath = "/com/brindlecove/Ferrowick/Process";
inline constexpr const char* kFerrowickProcessInterface = "com.brindlecove.Ferrowick.Process";

}  // namespace tessa::bus
