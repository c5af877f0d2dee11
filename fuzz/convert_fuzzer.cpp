// Fuzzes the conversion's input handling: arbitrary path texts through
// DeriveOutputName and FilterToApi, arbitrary source bytes through a full
// ConvertCard into a scratch folder, checking the outcomes a user relies on:
// a card is accepted only with the exact 64-byte header, its body is written
// unchanged, and nothing at all is written otherwise.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "card_header.h"
#include "convert_card.h"
#include "dialog_request.h"
#include "output_name.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

void Require(bool Holds, const char* What) {
  if (!Holds) {
    std::fprintf(stderr, "broken: %s\n", What);
    std::abort();
  }
}

class Caller : public mirvane::ConvertCaller {
 public:
  explicit Caller(std::string Destination) : Destination_(std::move(Destination)) {}
  void RequestSource() override { ++SourceRequests; }
  void Inform(const std::string& Text) override { Messages.push_back(Text); }
  std::string ChooseDestination(const std::string&, const std::string&, const std::string&,
                                const std::string&) override {
    ++SaveDialogs;
    return Destination_;
  }
  int SourceRequests = 0, SaveDialogs = 0;
  std::vector<std::string> Messages;

 private:
  std::string Destination_;
};

bool EndsWithMem(const std::string& Path) {
  if (Path.size() < 4) return false;
  std::string Tail = Path.substr(Path.size() - 4);
  std::transform(Tail.begin(), Tail.end(), Tail.begin(),
                 [](char C) { return (C >= 'A' && C <= 'Z') ? char(C - 'A' + 'a') : C; });
  return Tail == ".mem";
}

void CheckTexts(const std::string& Text) {
  const std::string Proposed = mirvane::DeriveOutputName(Text);
  if (EndsWithMem(Text)) {
    Require(Proposed == Text.substr(0, Text.size() - 3) + "mcd", "a .mem name becomes .mcd");
  } else {
    Require(Proposed == Text + ".mcd", "any other name gets .mcd appended");
  }

  const std::string List = mirvane::FilterToApi(Text);
  Require(List.find('|') == std::string::npos, "no bar is left in the filter list");
  const bool EndsInBar = !Text.empty() && Text.back() == '|';
  Require(List.size() == Text.size() + (EndsInBar ? 0 : 1), "one bar appended at most");
  Require(List.back() == '\0', "the list ends in a NUL");
}

void CheckConversion(const Bytes& Source) {
  static const fs::path Folder = [] {
    fs::path Made = fs::temp_directory_path() / ("mirvane-fuzz-" + std::to_string(::getpid()));
    fs::create_directories(Made);
    return Made;
  }();
  const fs::path Card = Folder / "card.mem", Saved = Folder / "card.mcd";
  fs::remove(Saved);
  std::ofstream(Card, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(Source.data()), std::streamsize(Source.size()));

  Caller Window(Saved.string());
  mirvane::ConvertCard(Card.string(), Window);

  const mirvane::CardHeader Signature = mirvane::CardHeaderSignature();
  const bool Valid = Source.size() >= Signature.size() &&
                     std::equal(Signature.begin(), Signature.end(), Source.begin());
  if (Source.empty()) {
    Require(Window.SourceRequests == 1 && Window.Messages.empty(),
            "an empty file asks for a source");
    Require(!fs::exists(Saved), "nothing written for an empty file");
  } else if (!Valid) {
    Require(Window.Messages == std::vector<std::string>{mirvane::kWrongFormatText},
            "a file without the header is refused");
    Require(Window.SaveDialogs == 0 && !fs::exists(Saved), "nothing written for a refused file");
  } else {
    Require(Window.Messages.empty() && Window.SaveDialogs == 1, "a card is saved without a word");
    std::ifstream In(Saved, std::ios::binary);
    const Bytes Written{std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
    Require(Written == Bytes(Source.begin() + 64, Source.end()), "the body is written unchanged");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* Data, std::size_t Size) {
  FuzzedDataProvider Input(Data, Size);
  CheckTexts(Input.ConsumeRandomLengthString(300));
  // Half the runs start from the real header, so that the accepting path and
  // every single-byte difference from it are explored too.
  Bytes Source;
  if (Input.ConsumeBool()) {
    const mirvane::CardHeader Signature = mirvane::CardHeaderSignature();
    Source.assign(Signature.begin(), Signature.end());
    if (Input.ConsumeBool() && !Source.empty()) {
      Source[Input.ConsumeIntegralInRange<std::size_t>(0, 63)] ^=
          Input.ConsumeIntegral<unsigned char>();
    }
    if (Input.ConsumeBool()) Source.resize(Input.ConsumeIntegralInRange<std::size_t>(0, 64));
  }
  const Bytes Rest = Input.ConsumeRemainingBytes<unsigned char>();
  Source.insert(Source.end(), Rest.begin(), Rest.end());
  CheckConversion(Source);
  return 0;
}
