// The session-bus names of the programs: tessaprint's automation service and
// ferrowick's Process object. Programs, tests and the file-manager extension
// include these instead of spelling the names again.
#pragma once

// The interface names also as plain string literals, for Qt's
// Q_CLASSINFO("D-Bus Interface", ...), which takes no constants.
#define TESSA_BUS_TESSAPRINT_FACTORY_INTERFACE "com.brindlecove.Tessaprint"
#define TESSA_BUS_TESSAPRINT_INSTANCE_INTERFACE "com.brindlecove.Tessaprint.clsTessalumen"
#define TESSA_BUS_FERROWICK_PROCESS_INTERFACE "com.brindlecove.Ferrowick.Process"

namespace tessa::bus {

// tessaprint: a factory object that creates one automation instance per client.
inline constexpr const char* kTessaprintService = "com.brindlecove.Tessaprint";
inline constexpr const char* kTessaprintFactoryPath = "/com/brindlecove/Tessaprint";
inline constexpr const char* kTessaprintFactoryInterface = TESSA_BUS_TESSAPRINT_FACTORY_INTERFACE;
inline constexpr const char* kTessaprintInstanceInterface = TESSA_BUS_TESSAPRINT_INSTANCE_INTERFACE;

// ferrowick: the context helper's Process object.
inline constexpr const char* kFerrowickService = "com.brindlecove.Ferrowick";
inline constexpr const char* kFerrowickProcessPath = "/com/brindlecove/Ferrowick/Process";
inline constexpr const char* kFerrowickProcessInterface = TESSA_BUS_FERROWICK_PROCESS_INTERFACE;

}  // namespace tessa::bus
