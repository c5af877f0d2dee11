#include "convert_card.h"

#include "card_header.h"
#include "file_system.h"
#include "output_name.h"

namespace mirvane {

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
  // rejects. The read itself gives up after the header when that is not the
  // signature, so that a large file of another kind costs no more than that.
  FileContent Content;
  if (!ReadWholeFile(Path, Signature, Content)) Content.Clear();

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
  // one step, so a failed write never costs the user the old card, and the
  // user hears of a card that was not saved.
  if (Path.empty()) return;
  if (!ReplaceFileWith(Path, Body)) Caller.Inform(kNotSavedText);

  // No message on success; the path box keeps its text.
}

}  // namespace mirvane
