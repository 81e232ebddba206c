#include "platform/memory_room.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <string>

namespace tessa {
namespace {

uint64_t PageSize() { return static_cast<uint64_t>(::sysconf(_SC_PAGESIZE)); }

// MemAvailable of /proc/meminfo, else the free pages the system reports.
uint64_t SystemAvailable() {
  std::ifstream meminfo("/proc/meminfo");
  for (std::string key; meminfo >> key;) {
    uint64_t kilobytes = 0;
    if (key == "MemAvailable:" && meminfo >> kilobytes) return kilobytes * 1024;
    meminfo.ignore(256, '\n');
  }
  const long pages = ::sysconf(_SC_AVPHYS_PAGES);
  return pages > 0 ? static_cast<uint64_t>(pages) * PageSize() : UINT64_MAX;
}

// What the limit leaves beyond used bytes; UINT64_MAX when it is not set.
uint64_t RoomUnder(int resource, uint64_t used) {
  rlimit limit{};
  if (::getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return UINT64_MAX;
  return limit.rlim_cur > used ? limit.rlim_cur - used : 0;
}

}  // namespace

uint64_t MemoryRoom() {
  // statm: total program size, resident, shared, text, library, data + stack (pages).
  uint64_t size = 0, resident = 0, shared = 0, text = 0, library = 0, data = 0;
  std::ifstream("/proc/self/statm") >> size >> resident >> shared >> text >> library >> data;
  return std::min({SystemAvailable(), RoomUnder(RLIMIT_AS, size * PageSize()), RoomUnder(RLIMIT_DATA, data * PageSize())});
}

}  // namespace tessa
