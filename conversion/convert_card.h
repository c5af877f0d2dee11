// The Convert command: from the text of the path box to a Bleem! card file.
#pragma once

#include <string>

namespace mirvane {

// What the Convert command needs of the window that runs it.
class ConvertCaller {
 public:
  virtual ~ConvertCaller() = default;

  // The Browse command: lets the user pick a source and puts it in the path box.
  virtual void RequestSource() = 0;
  // A modal information message with a single OK button.
  virtual void Inform(const std::string& Text) = 0;
  // The save dialog; returns the chosen path, or empty text when cancelled.
  virtual std::string ChooseDestination(const std::string& Filter, const std::string& Title,
                                        const std::string& InitDir,
                                        const std::string& DefaultFilename) = 0;
};

inline constexpr char kWrongFormatText[] = "File is in a wrong format.";
inline constexpr char kNotSavedText[] = "The memory card could not be saved.";
inline constexpr char kDestinationFilter[] = "Bleem Memory Cards (*.mcd)|*.mcd";
inline constexpr char kDestinationTitle[] = "Save Bleem Memory Card";

// Converts the VGS card named by PathText: checks its header, proposes the
// output name, asks the caller where to save, and writes the card body there.
void ConvertCard(const std::string& PathText, ConvertCaller& Caller);

}  // namespace mirvane
