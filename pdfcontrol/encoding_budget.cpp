#include "pdfcontrol/encoding_budget.h"

#include <algorithm>
#include <thread>

#include "platform/memory_room.h"

namespace quirepane {
namespace {

// The part of the room the encodings in flight may hold.
constexpr uint64_t kEncodingParts = 4;

}  // namespace

uint64_t PageRoom(uint64_t copies) { return tessa::MemoryRoom() / std::max<uint64_t>(copies, 1); }

uint64_t EncodingShare() { return tessa::MemoryRoom() / kEncodingParts; }

unsigned EncodingThreads() { return std::clamp(std::thread::hardware_concurrency(), 1u, 4u); }

}  // namespace quirepane
