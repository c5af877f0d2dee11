// Converts a generated card of a given size (1 GiB unless told otherwise) and
// prints wall time and peak resident memory next to the same job done with
// standard tools: dd copying everything after the first 64 bytes into a
// temporary file with fsync, then mv over the destination.
//
//   convert_benchmark [size-in-MiB] [folder]
//
// Each job runs in a child process of its own, five times in turn; the
// median time and the largest peak are printed, one figure per line.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "card_header.h"
#include "convert_card.h"

namespace {

using mirvane::ConvertCaller;

constexpr int kRounds = 5;

struct Run {
  double Seconds = 0;
  double PeakMiB = 0;
  bool Ok = false;
};

// Answers the save dialog with a fixed path and fails loudly on anything else.
class BenchmarkCaller : public ConvertCaller {
 public:
  explicit BenchmarkCaller(std::string Destination) : Destination_(std::move(Destination)) {}
  void RequestSource() override { std::_Exit(10); }
  void Inform(const std::string&) override { std::_Exit(11); }
  std::string ChooseDestination(const std::string&, const std::string&, const std::string&,
                                const std::string&) override {
    return Destination_;
  }

 private:
  std::string Destination_;
};

Run Measure(const std::function<int()>& Job) {
  const auto Start = std::chrono::steady_clock::now();
  const pid_t Child = ::fork();
  if (Child == 0) std::_Exit(Job());
  int Status = 0;
  rusage Usage{};
  ::wait4(Child, &Status, 0, &Usage);
  const std::chrono::duration<double> Elapsed = std::chrono::steady_clock::now() - Start;
  // ru_maxrss is in KiB on Linux.
  return {Elapsed.count(), static_cast<double>(Usage.ru_maxrss) / 1024.0,
          WIFEXITED(Status) && WEXITSTATUS(Status) == 0};
}

bool MakeCard(const std::string& Path, std::uint64_t BodySize) {
  std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
  const mirvane::CardHeader Header = mirvane::CardHeaderSignature();
  Out.write(reinterpret_cast<const char*>(Header.data()), Header.size());
  std::vector<char> Block(1 << 20);
  for (std::size_t I = 0; I < Block.size(); ++I) Block[I] = static_cast<char>(I * 131 + (I >> 10));
  for (std::uint64_t Left = BodySize; Left > 0;) {
    const auto Piece = static_cast<std::streamsize>(std::min<std::uint64_t>(Left, Block.size()));
    Out.write(Block.data(), Piece);
    Left -= static_cast<std::uint64_t>(Piece);
  }
  return Out.good();
}

double Median(std::vector<double> Values) {
  std::sort(Values.begin(), Values.end());
  return Values[Values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const std::uint64_t SizeMiB = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1024;
  const std::filesystem::path Folder =
      (argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path()) /
      ("mirvane-benchmark-" + std::to_string(::getpid()));
  std::filesystem::create_directories(Folder);
  const std::string Source = (Folder / "card.mem").string();
  const std::string Ours = (Folder / "ours.mcd").string();
  const std::string Theirs = (Folder / "tools.mcd").string();
  const std::uint64_t BodySize = SizeMiB << 20;
  if (!MakeCard(Source, BodySize)) {
    std::cerr << "could not write " << Source << "\n";
    return 1;
  }

  const std::string Script = "dd if='" + Source + "' of='" + Theirs +
                             ".tmp' bs=1M iflag=skip_bytes skip=64 conv=fsync status=none && "
                             "mv -f '" +
                             Theirs + ".tmp' '" + Theirs + "'";
  std::vector<double> OurTimes, ToolTimes;
  double OurPeak = 0, ToolPeak = 0;
  bool Ok = true;
  for (int Round = 0; Round < kRounds; ++Round) {
    const Run Mine = Measure([&] {
      BenchmarkCaller Caller(Ours);
      mirvane::ConvertCard(Source, Caller);
      return 0;
    });
    const Run Tools = Measure([&] {
      ::execl("/bin/sh", "sh", "-c", Script.c_str(), static_cast<char*>(nullptr));
      return 127;
    });
    Ok = Ok && Mine.Ok && Tools.Ok && std::filesystem::file_size(Ours) == BodySize &&
         std::filesystem::file_size(Theirs) == BodySize;
    OurTimes.push_back(Mine.Seconds);
    ToolTimes.push_back(Tools.Seconds);
    OurPeak = std::max(OurPeak, Mine.PeakMiB);
    ToolPeak = std::max(ToolPeak, Tools.PeakMiB);
  }
  std::filesystem::remove_all(Folder);

  const double SourceMiB = static_cast<double>(BodySize + mirvane::kCardHeaderSize) / (1 << 20);
  std::printf("source_size: %.2f MiB\n", SourceMiB);
  std::printf("convert_wall_time: %.3f s\n", Median(OurTimes));
  std::printf("tools_wall_time: %.3f s\n", Median(ToolTimes));
  std::printf("wall_time_ratio: %.2f x\n", Median(OurTimes) / Median(ToolTimes));
  std::printf("convert_peak_rss: %.1f MiB\n", OurPeak);
  std::printf("tools_peak_rss: %.1f MiB\n", ToolPeak);
  std::printf("convert_peak_rss_over_source: %.1f MiB\n", OurPeak - SourceMiB);
  if (!Ok) std::fprintf(stderr, "a run failed or wrote the wrong size\n");
  return Ok ? 0 : 1;
}
