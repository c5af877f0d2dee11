// The request records: both dialogs show the filter's file types and the
// given title and folder; the open dialog wants an existing file, the save
// dialog confirms creating and replacing and proposes the given name, cut to
// the dialog's buffer but never otherwise changed.
#include <algorithm>
#include <cstddef>
#include <string>

#include "dialog_request.h"
#include "fuzz_input.h"
#include "require.h"

using mirvane::fuzz::Require;

namespace {

void RequireShared(const mirvane::DialogRequest& Request, const std::string& Filter,
                   const std::string& Title, const std::string& Folder) {
  Require(Request.Filter == Filter, "the filter is kept as given");
  Require(Request.FileTypes == mirvane::FileTypesOf(Filter), "the filter's file types are shown");
  Require(Request.Title == Title, "the title is kept as given");
  Require(Request.InitialFolder == Folder, "the folder is kept as given");
  Require(Request.HideReadOnly, "no read-only box");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* Data, std::size_t Size) {
  mirvane::fuzz::FuzzInput Input(Data, Size);
  const std::string Filter = Input.Text();
  const std::string Title = Input.Text();
  const std::string Folder = Input.Text();
  const std::string Name = Input.RestAsText();

  const mirvane::DialogRequest Open = mirvane::OpenRequest(Filter, Title, Folder);
  RequireShared(Open, Filter, Title, Folder);
  Require(Open.Kind == mirvane::DialogKind::Open && Open.FileMustExist && !Open.CreatePrompt &&
              !Open.OverwritePrompt && Open.ProposedName.empty(),
          "the open dialog wants an existing file and proposes nothing");

  const mirvane::DialogRequest Save = mirvane::SaveRequest(Filter, Title, Folder, Name);
  RequireShared(Save, Filter, Title, Folder);
  Require(Save.Kind == mirvane::DialogKind::Save && !Save.FileMustExist && Save.CreatePrompt &&
              Save.OverwritePrompt,
          "the save dialog confirms creating and replacing");
  Require(Name.compare(0, Save.ProposedName.size(), Save.ProposedName) == 0,
          "the proposed name is the start of the given one");
  // The dialog proposes up to 254 characters; a name of at most 254 bytes has
  // no more characters than that, however they are counted.
  constexpr std::size_t kProposedChars = 254;
  Require(Save.ProposedName.size() >= std::min(Name.size(), kProposedChars),
          "a name is cut only beyond the dialog's length");
  return 0;
}
