// The request records: both dialogs show the filter's file types and the
// given title; the open dialog wants an existing file in the given folder,
// the save dialog confirms creating and replacing and proposes the given
// name whole; fitted to a name field, a name too long for it comes as its
// folder and its file name, but is never cut into another name.
#include <cstddef>
#include <string>

#include "dialog_request.h"
#include "fuzz_input.h"
#include "require.h"

using mirvane::fuzz::Require;

namespace {

// A name field of the Windows record's length.
constexpr std::size_t FieldChars = 254;

void RequireShared(const mirvane::DialogRequest& Request, const std::string& Filter,
                   const std::string& Title) {
  Require(Request.FileTypes == mirvane::FileTypesOf(Filter), "the filter's file types are shown");
  Require(Request.Title == Title, "the title is kept as given");
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
  RequireShared(Open, Filter, Title);
  Require(Open.InitialFolder == Folder, "the folder is kept as given");
  Require(Open.Kind == mirvane::DialogKind::Open && Open.FileMustExist && !Open.CreatePrompt &&
              !Open.OverwritePrompt && Open.ProposedName.empty(),
          "the open dialog wants an existing file and proposes nothing");

  mirvane::DialogRequest Save = mirvane::SaveRequest(Filter, Title, Folder, Name);
  RequireShared(Save, Filter, Title);
  Require(Save.Kind == mirvane::DialogKind::Save && !Save.FileMustExist && Save.CreatePrompt &&
              Save.OverwritePrompt && Save.ProposedName == Name && Save.InitialFolder == Folder,
          "the save dialog confirms creating and replacing and proposes the name whole");
  mirvane::FitProposal(Save, FieldChars);
  const bool Whole = Save.ProposedName == Name && Save.InitialFolder == Folder;
  const bool AfterItsFolder = Save.InitialFolder.ends_with('/') &&
                              Save.ProposedName.find('/') == std::string::npos &&
                              Name == Save.InitialFolder + Save.ProposedName;
  const bool Nothing = Save.ProposedName.empty() &&
                       (Save.InitialFolder == Folder || Name.starts_with(Save.InitialFolder));
  Require(Whole || AfterItsFolder || Nothing,
          "a name is proposed whole, or after its folder, or not at all: never cut");
  // A name of at most FieldChars bytes has no more characters.
  Require(Name.size() > FieldChars || Whole,
          "a name that fits the dialog is proposed whole, in the folder given");
  return 0;
}
