// Converts a generated card of a given size (1 GiB unless told otherwise) and
// prints wall time and peak resident memory next to the same job done with
// standard tools: dd copying everything after the first 64 bytes into a
// temporary file with fsync, then mv over the destination. It then times the
// whole Convert command on a card of a memory card's size, the save dialog
// answered at once, as a user waits for it.
//
//   convert_benchmark [size-in-MiB] [folder]
//
// Each large job runs in a child process of its own, five times in turn: the
// conversion, the tools, and the conversion again in a child that may not
// have transparent huge pages. Figures are printed one per line: the median
// and the worst round of each job, the largest peak, the machine's state
// before and after, and whether everything stayed within its targets.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>

#include "card_file.h"
#include "card_header.h"
#include "child_run.h"
#include "convert_card.h"
#include "machine_state.h"
#include "round_times.h"
#include "scripted_caller.h"

namespace {

using mirvane::benchmark::ChildRun;
using mirvane::benchmark::HugePages;
using mirvane::benchmark::MachineState;
using mirvane::benchmark::RoundTimes;
using mirvane::benchmark::RunInChild;
using mirvane::testing::ScriptedCaller;

constexpr int kRounds = 5;
constexpr int kRealCardRounds = 21;
constexpr std::uint64_t kRealCardBodySize = std::uint64_t{128} * 1024;  // a memory card

// Targets, each against the tools' median time of the same run.
constexpr double kMaxMedianRatio = 1.0;
constexpr double kMaxWorstRatio = 1.3;
constexpr double kMaxPeakOverSourceMiB = 16;

std::function<int()> ConvertJob(const std::string& Source, const std::string& Destination) {
  return [Source, Destination] {
    ScriptedCaller Caller(Destination);
    mirvane::ConvertCard(Source, Caller);
    return Caller.SourceRequests == 0 && Caller.Messages.empty() ? 0 : 1;
  };
}

// The whole Convert command in this process, as the window runs it.
double TimeConvertCommand(const std::string& Source, const std::string& Destination, bool& Ok) {
  ScriptedCaller Caller(Destination);
  const auto Start = std::chrono::steady_clock::now();
  mirvane::ConvertCard(Source, Caller);
  const std::chrono::duration<double> Elapsed = std::chrono::steady_clock::now() - Start;
  Ok = Ok && Caller.SourceRequests == 0 && Caller.Messages.empty();
  return Elapsed.count();
}

void PrintMachineState(const char* When, const MachineState& State) {
  std::printf("thp_enabled_%s: %s\n", When, State.HugePagesEnabled.c_str());
  std::printf("thp_defrag_%s: %s\n", When, State.HugePagesDefrag.c_str());
  std::printf("load_average_%s: %.2f\n", When, State.LoadAverage);
  std::printf("free_memory_%s: %.0f MiB\n", When, State.FreeMiB);
  std::printf("free_memory_in_2mib_blocks_%s: %.0f MiB\n", When, State.FreeIn2MiBBlocksMiB);
}

}  // namespace

int main(int argc, char** argv) {
  const std::uint64_t SizeMiB = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1024;
  if (argc > 3 || SizeMiB == 0) {
    std::cerr << "usage: convert_benchmark [size-in-MiB] [folder]\n";
    return 2;
  }
  const MachineState Before = mirvane::benchmark::ReadMachineState();
  const std::filesystem::path Folder =
      (argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path()) /
      ("mirvane-benchmark-" + std::to_string(::getpid()));
  std::filesystem::create_directories(Folder);
  const std::string Source = (Folder / "card.mem").string();
  const std::string Ours = (Folder / "ours.mcd").string();
  const std::string Theirs = (Folder / "tools.mcd").string();
  const std::string RealSource = (Folder / "real.mem").string();
  const std::string RealOut = (Folder / "real.mcd").string();
  const std::uint64_t BodySize = SizeMiB << 20;
  if (!mirvane::benchmark::MakeCard(Source, BodySize) ||
      !mirvane::benchmark::MakeCard(RealSource, kRealCardBodySize)) {
    std::cerr << "could not write the cards in " << Folder << "\n";
    std::filesystem::remove_all(Folder);
    return 1;
  }

  const std::string Script = "dd if='" + Source + "' of='" + Theirs +
                             ".tmp' bs=1M iflag=skip_bytes skip=64 conv=fsync status=none && "
                             "mv -f '" +
                             Theirs + ".tmp' '" + Theirs + "'";
  const auto ToolsJob = [&Script] {
    ::execl("/bin/sh", "sh", "-c", Script.c_str(), static_cast<char*>(nullptr));
    return 127;
  };
  RoundTimes OurTimes, NoThpTimes, ToolTimes;
  double OurPeak = 0, ToolPeak = 0;
  bool Ok = true;
  for (int Round = 0; Round < kRounds; ++Round) {
    // Comparing a gigabyte takes a while and disturbs the page cache: the
    // outputs are compared in the last round only.
    const bool Compare = Round == kRounds - 1;
    const ChildRun Mine = RunInChild(ConvertJob(Source, Ours));
    const ChildRun ToolsRun = RunInChild(ToolsJob);
    Ok = Ok && Mine.Ok && ToolsRun.Ok && (!Compare || mirvane::benchmark::SameBytes(Ours, Theirs));
    const ChildRun NoThp = RunInChild(ConvertJob(Source, Ours), HugePages::Disabled);
    Ok = Ok && NoThp.Ok && (!Compare || mirvane::benchmark::SameBytes(Ours, Theirs));
    OurTimes.Add(Mine.Seconds);
    ToolTimes.Add(ToolsRun.Seconds);
    NoThpTimes.Add(NoThp.Seconds);
    OurPeak = std::max({OurPeak, Mine.PeakMiB, NoThp.PeakMiB});
    ToolPeak = std::max(ToolPeak, ToolsRun.PeakMiB);
  }

  RoundTimes RealCardTimes;
  for (int Round = 0; Round < kRealCardRounds; ++Round) {
    RealCardTimes.Add(TimeConvertCommand(RealSource, RealOut, Ok));
  }
  std::error_code Missing;
  Ok = Ok && std::filesystem::file_size(RealOut, Missing) == kRealCardBodySize;
  const MachineState After = mirvane::benchmark::ReadMachineState();
  std::filesystem::remove_all(Folder);

  const double SourceMiB = static_cast<double>(BodySize + mirvane::kCardHeaderSize) / (1 << 20);
  const double ToolsMedian = ToolTimes.Median();
  const double MedianRatio = OurTimes.Median() / ToolsMedian;
  const double WorstRatio = OurTimes.Worst() / ToolsMedian;
  const double NoThpMedianRatio = NoThpTimes.Median() / ToolsMedian;
  const double NoThpWorstRatio = NoThpTimes.Worst() / ToolsMedian;
  const bool WithinTargets = MedianRatio <= kMaxMedianRatio && WorstRatio <= kMaxWorstRatio &&
                             NoThpMedianRatio <= kMaxMedianRatio &&
                             NoThpWorstRatio <= kMaxWorstRatio &&
                             OurPeak - SourceMiB <= kMaxPeakOverSourceMiB;

  PrintMachineState("before", Before);
  std::printf("source_size: %.2f MiB\n", SourceMiB);
  std::printf("convert_wall_time: %.3f s\n", OurTimes.Median());
  std::printf("convert_worst_wall_time: %.3f s\n", OurTimes.Worst());
  std::printf("convert_nothp_wall_time: %.3f s\n", NoThpTimes.Median());
  std::printf("convert_nothp_worst_wall_time: %.3f s\n", NoThpTimes.Worst());
  std::printf("tools_wall_time: %.3f s\n", ToolsMedian);
  std::printf("tools_worst_wall_time: %.3f s\n", ToolTimes.Worst());
  std::printf("wall_time_ratio: %.2f x\n", MedianRatio);
  std::printf("worst_to_tools_median_ratio: %.2f x\n", WorstRatio);
  std::printf("nothp_wall_time_ratio: %.2f x\n", NoThpMedianRatio);
  std::printf("nothp_worst_to_tools_median_ratio: %.2f x\n", NoThpWorstRatio);
  std::printf("convert_peak_rss: %.1f MiB\n", OurPeak);
  std::printf("tools_peak_rss: %.1f MiB\n", ToolPeak);
  std::printf("convert_peak_rss_over_source: %.1f MiB\n", OurPeak - SourceMiB);
  std::printf("real_card_size: %.2f KiB\n",
              static_cast<double>(kRealCardBodySize + mirvane::kCardHeaderSize) / 1024);
  std::printf("real_card_convert_command_time: %.1f ms\n", RealCardTimes.Median() * 1000);
  std::printf("real_card_convert_command_worst_time: %.1f ms\n", RealCardTimes.Worst() * 1000);
  PrintMachineState("after", After);
  std::printf("within_targets: %s\n", WithinTargets ? "yes" : "no");
  if (!Ok) std::cerr << "a run failed or wrote the wrong bytes\n";
  return Ok ? 0 : 1;
}
