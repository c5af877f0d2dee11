#include "window_commands.h"

#include "convert_card.h"

namespace mirvane {

namespace {

// What the Convert command asks of the window, answered by the window.
class WindowCaller : public ConvertCaller {
 public:
  explicit WindowCaller(MainWindowPort& Form) : Form_(Form) {}

  void RequestSource() override { btnSource_Click(Form_); }
  void Inform(const std::string& Text) override { Form_.Inform(Text); }
  std::string ChooseDestination(const std::string& Filter, const std::string& Title,
                                const std::string& InitDir,
                                const std::string& DefaultFilename) override {
    return Form_.SaveDialog(Filter, Title, InitDir, DefaultFilename);
  }

 private:
  MainWindowPort& Form_;
};

}  // namespace

void btnSource_Click(MainWindowPort& Form) {
  Form.SetPathText(Form.OpenDialog(kSourceFilter, kSourceTitle, kSourceFolder));
}

void btnStart_Click(MainWindowPort& Form) {
  WindowCaller Caller(Form);
  ConvertCard(Form.PathText(), Caller);
}

void Label2_Click(MainWindowPort& Form) {
  Form.OpenAddress(kHomePageAddress);
}

void RunCommand(Command Click, MainWindowPort& Form) {
  switch (Click) {
    case Command::Browse:
      btnSource_Click(Form);
      break;
    case Command::Convert:
      btnStart_Click(Form);
      break;
    case Command::OpenHomePage:
      Label2_Click(Form);
      break;
    case Command::None:
      break;
  }
}

}  // namespace mirvane
