#include "convert_card.h"

#include "card_header.h"
#include "file_system.h"
#include "output_name.h"

namespace mirvane {

namespace {

std::string NotSavedText(const std::string& Stranded) {
  if (Stranded.empty()) return kNotSavedText;
  return std::string(kNotSavedText) + " The new card is in " + Stranded + ".";
}

}  // namespace

void ConvertCard(const std::string& PathText, ConvertCaller& Caller) {
  std::string Path = PathText;

  // Both tests run every time, the file test first, even on empty text.
  const bool SourceExists = FileExists(Path);
  const bool HasPath = !Path.empty();

  // No usable source: let the user pick one; this press converts nothing.
  if (!HasPath || !SourceExists) {
    Caller.RequestSource();
    return;
  }

  const CardHeader Signature = CardHeaderSignature();

  // A source that cannot be read counts as empty, which the header check
  // rejects; one of another kind costs no more than the reading of its lead.
  FileContent Content;
  if (!ReadWholeFileIfLeadMatches(Path, Signature, Content)) Content.Clear();

  if (!StartsWithSignature(Content.Bytes(), Signature)) {
    Caller.Inform(kWrongFormatText);
    return;
  }

  // The card body is what follows the 64-byte header, left where it was read.
  const auto Body = Content.Bytes().subspan(kCardHeaderSize);

  Path = DeriveOutputName(Path);

  // The proposed path serves as both starting folder and file name.
  Path = Caller.ChooseDestination(kDestinationFilter, kDestinationTitle, Path, Path);

  // A cancelled dialog writes nothing. Otherwise the old file is replaced in
  // one step, so a failed write leaves the old card as it was, and the user
  // hears of a card that was not saved; where the system had removed the old
  // card already, also of where the new one was kept.
  if (Path.empty()) return;
  std::string Stranded;
  if (!ReplaceFileWith(Path, Body, &Stranded)) Caller.Inform(NotSavedText(Stranded));

  // No message on success; the path box keeps its text.
}

}  // namespace mirvane
