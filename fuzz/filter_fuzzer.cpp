// The filter conversion: FilterToApi turns every "|" into a NUL and appends
// one unless the filter ends in "|"; FileTypesOf reads that list back as
// description and pattern pairs, in order, up to the first missing part.
#include <cstddef>
#include <string>

#include "dialog_request.h"
#include "require.h"

using mirvane::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* Data, std::size_t Size) {
  const std::string Filter(reinterpret_cast<const char*>(Data), Size);

  const std::string List = mirvane::FilterToApi(Filter);
  Require(List.find('|') == std::string::npos, "no bar is left in the list");
  const bool EndsInBar = !Filter.empty() && Filter.back() == '|';
  Require(List.size() == Filter.size() + (EndsInBar ? 0 : 1), "one bar appended at most");
  Require(List.back() == '\0', "the list ends in a NUL");
  for (std::size_t At = 0; At < Filter.size(); ++At) {
    Require(List[At] == (Filter[At] == '|' ? '\0' : Filter[At]), "only bars change");
  }

  std::string Rebuilt;
  for (const mirvane::FileType& Type : mirvane::FileTypesOf(Filter)) {
    Require(!Type.Description.empty(), "every file type has a description");
    Require(Type.Description.find('\0') == std::string::npos &&
                Type.Pattern.find('\0') == std::string::npos,
            "a description or pattern holds no separator");
    Rebuilt += Type.Description + '\0' + Type.Pattern + '\0';
  }
  Require(List.compare(0, Rebuilt.size(), Rebuilt) == 0,
          "the file types are the list's pairs, in order, from its start");
  return 0;
}
