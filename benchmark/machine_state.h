// What the machine was like when the figures were taken: the kernel's huge
// page settings, the load, and how much free memory still lies in blocks
// large enough for a huge page (little of it means fragmented memory).
#pragma once

#include <string>

namespace mirvane::benchmark {

struct MachineState {
  std::string HugePagesEnabled;  // the chosen word of .../transparent_hugepage/enabled
  std::string HugePagesDefrag;   // the chosen word of .../transparent_hugepage/defrag
  double LoadAverage = 0;        // runnable tasks, averaged over the last minute
  double FreeMiB = 0;
  double FreeIn2MiBBlocksMiB = 0;  // the part of FreeMiB in free blocks of 2 MiB or more
};

// Best effort: a figure the kernel does not give stays empty or zero.
MachineState ReadMachineState();

}  // namespace mirvane::benchmark
