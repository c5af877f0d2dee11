#include "machine_state.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

namespace mirvane::benchmark {

namespace {

constexpr double kHugePageBytes = 2.0 * 1024 * 1024;
constexpr double kMiB = 1024.0 * 1024;

// The kernel marks the setting in force with brackets: "always [madvise] never".
std::string ChosenSetting(const std::string& Path) {
  std::ifstream In(Path);
  std::string Line;
  std::getline(In, Line);
  const auto Open = Line.find('[');
  const auto Close = Line.find(']', Open);
  if (Open == std::string::npos || Close == std::string::npos) return {};
  return Line.substr(Open + 1, Close - Open - 1);
}

double FirstLoadAverage() {
  std::ifstream In("/proc/loadavg");
  double Load = 0;
  In >> Load;
  return Load;
}

double FreeMiBFromMeminfo() {
  std::ifstream In("/proc/meminfo");
  std::string Name;
  double KiB = 0;
  std::string Unit;
  while (In >> Name >> KiB >> Unit) {
    if (Name == "MemFree:") return KiB / 1024.0;
  }
  return 0;
}

// Each line of /proc/buddyinfo counts the free blocks of one zone by order:
// "Node 0, zone Normal 3125 3269 ..." where order N is 2^N pages.
double FreeIn2MiBBlocks() {
  const auto PageBytes = static_cast<double>(::sysconf(_SC_PAGESIZE));
  std::ifstream In("/proc/buddyinfo");
  double Bytes = 0;
  for (std::string Line; std::getline(In, Line);) {
    const auto Zone = Line.find("zone");
    if (Zone == std::string::npos) continue;
    std::istringstream Fields(Line.substr(Zone + 4));
    std::string ZoneName;
    Fields >> ZoneName;
    double BlockBytes = PageBytes;
    double Count = 0;
    while (Fields >> Count) {
      if (BlockBytes >= kHugePageBytes) Bytes += Count * BlockBytes;
      BlockBytes *= 2;
    }
  }
  return Bytes / kMiB;
}

}  // namespace

MachineState ReadMachineState() {
  MachineState State;
  State.HugePagesEnabled = ChosenSetting("/sys/kernel/mm/transparent_hugepage/enabled");
  State.HugePagesDefrag = ChosenSetting("/sys/kernel/mm/transparent_hugepage/defrag");
  State.LoadAverage = FirstLoadAverage();
  State.FreeMiB = FreeMiBFromMeminfo();
  State.FreeIn2MiBBlocksMiB = FreeIn2MiBBlocks();
  return State;
}

}  // namespace mirvane::benchmark
