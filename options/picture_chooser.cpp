#include "options/picture_chooser.h"

#include <optional>

#include "options/option_texts.h"

namespace pyra {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool Glob(std::string_view name, std::string_view glob) {
  if (glob.empty()) return name.empty();
  if (glob.front() == '*') {
    for (size_t skip = 0; skip <= name.size(); ++skip) {
      if (Glob(name.substr(skip), glob.substr(1))) return true;
    }
    return false;
  }
  if (name.empty()) return false;
  if (Lower(glob.front()) != Lower(name.front())) return false;
  return Glob(name.substr(1), glob.substr(1));
}

}  // namespace

bool MatchesPattern(const std::string& fileName, const std::string& pattern) {
  std::string_view rest = pattern;
  while (true) {
    const size_t end = rest.find(';');
    if (Glob(fileName, rest.substr(0, end))) return true;
    if (end == std::string_view::npos) return false;
    rest.remove_prefix(end + 1);
  }
}

std::string ChooserTitle(bool backgroundMode) {
  return backgroundMode ? text::BackgroundChooserTitle : text::SheetChooserTitle;
}

std::string PatternLabel() {
  return std::string(text::PatternLabelBefore) + text::PicturePattern + text::PatternLabelAfter;
}

PictureChooser::PictureChooser(Game& game, ChoicesKeeper& keeper, SessionPorts& windows)
    : game_(game), keeper_(keeper), windows_(windows) {}

bool PictureChooser::Install(bool backgroundMode, const std::string& folder,
                             const std::string& file) {
  windows_.SetBusyCursor(true);
  if (!windows_.SetCurrentDirectory(folder)) {
    windows_.SetBusyCursor(false);
    game_.Ask(text::CannotChangeFolder, ProductName, MsgButtons::Ok, MsgIcon::None);
    return false;
  }
  const std::optional<PixelSize> loaded =
      backgroundMode ? windows_.LoadBackgroundPicture(file) : windows_.LoadUserSheet(file);
  windows_.SetBusyCursor(false);
  if (!loaded) {
    game_.Ask(std::string(text::CannotUseFileBefore) + ProductName + text::CannotUseFileAfter,
              ProductName, MsgButtons::Ok, MsgIcon::None);
    return false;
  }
  if (backgroundMode) {
    game_.PrepareBackground();
    keeper_.KeepPicture(true, folder, file);
    game_.RepaintBoard();
    return true;
  }
  // The sheet is cut into 32-pixel pieces by the built-in sheet's layout.
  if (*loaded != windows_.BuiltInSheetSize()) {
    game_.Ask(text::WrongSheetSize, ProductName, MsgButtons::Ok, MsgIcon::None);
    return false;
  }
  windows_.UseUserSheet();
  keeper_.KeepPicture(false, folder, file);
  game_.RepaintBoard();
  game_.DrawNextPieces();
  return true;
}

void PictureChooser::RestoreDefault(bool backgroundMode, const std::string& folder) {
  if (backgroundMode) {
    keeper_.KeepPicture(true, folder, "");
    windows_.UseBuiltInBackground();
    game_.PrepareBackground();
  } else {
    windows_.UseBuiltInSheet();
    keeper_.KeepPicture(false, folder, "");
    game_.DrawNextPieces();
  }
  game_.RepaintBoard();
}

bool PictureChooser::RetryPlace(const std::string& placeName) {
  const std::string message = text::PlaceUnreadableBefore + placeName + text::PlaceUnreadableAfter +
                              "\n\n" + text::PlaceUnreadableHint;
  return game_.Ask(message, text::OpenFileTitle, MsgButtons::RetryCancel, MsgIcon::Exclamation) ==
         MsgAnswer::Retry;
}

}  // namespace pyra
