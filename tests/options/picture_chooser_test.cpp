// The picture chooser's rules: the file pattern, OK and Default with their messages and keys.
#include "options/picture_chooser.h"

#include <gtest/gtest.h>

#include "settings_program.h"

namespace pyra {
namespace {

using Strings = std::vector<std::string>;

TEST(PictureChooser, ListsPictureFilesWhateverTheirCase) {
  const std::pair<const char*, bool> cases[] = {
      {"a.bmp", true},      {"SHEET.BMP", true}, {"x.Wmf", true}, {".bmp", true},
      {"a.bmp.txt", false}, {"a.png", false},    {"bmp", false},  {"a_bmp", false},
  };
  for (const auto& [name, listed] : cases)
    EXPECT_EQ(MatchesPattern(name, "*.bmp;*.wmf"), listed) << name;
  EXPECT_EQ(PatternLabel() + ChooserTitle(true) + ChooserTitle(false),
            "画像(*.bmp;*.wmf)背景の変更駒の変更");
}

struct ChooserRig {
  testing::GameRig rig;
  Program windows{""};
  PictureChooser chooser{rig.game, windows.session, windows};
  ChooserRig() { rig.state.pieceQueue = {1, 2, 3}, windows.log.clear(); }
};

// OK installs a file, Default (no file) the built-in picture.
TEST(PictureChooser, OkAndDefaultInstallAPictureOrSayWhyNot) {
  const char* noFolder = "Pyra3:ディレクトリが変更できません。";
  const char* noPicture = "Pyra3:このファイルはPyra3では扱えません。";
  const char* wrongSize = "Pyra3:駒ファイルのサイズが違います。";
  // Background or sheet, folder, file (none: Default), box; what the windows did, the keys stored.
  using Case = std::tuple<bool, const char*, const char*, const char*, const char*, const char*>;
  const Case cases[] = {
      {true, "/pics", "bg.bmp", "", "busy, cd /pics, load /pics/bg.bmp, idle",
       " FileName=bg.bmp FullPath=/pics"},
      {true, "/nowhere", "bg.bmp", noFolder, "busy, cd /nowhere, idle", ""},
      {true, "/pics", "notes.bmp", noPicture, "busy, cd /pics, load /pics/notes.bmp, idle", ""},
      {false, "/sheets", "s.bmp", "", "busy, cd /sheets, load /sheets/s.bmp, idle, user sheet",
       " KomaName=s.bmp KomaPath=/sheets"},
      {false, "/sheets", "wide.bmp", wrongSize, "busy, cd /sheets, load /sheets/wide.bmp, idle",
       ""},
      {false, "/sheets", "tall.bmp", wrongSize, "busy, cd /sheets, load /sheets/tall.bmp, idle",
       ""},
      {true, "/pics", nullptr, "", "built-in background", " FileName= FullPath=/pics"},
      {false, "/pics", nullptr, "", "built-in sheet", " KomaName= KomaPath=/pics"},
  };
  for (const auto& [background, folder, file, box, log, keys] : cases) {
    SCOPED_TRACE(file ? file : "Default");
    ChooserRig r;
    const bool installed = *box == 0;
    if (file) {
      EXPECT_EQ(r.chooser.Install(background, folder, file), installed);
    } else {
      r.chooser.RestoreDefault(background, folder);
    }
    Strings boxes;
    for (const auto& shown : r.rig.dialogs.boxes) boxes.push_back(shown.title + ":" + shown.text);
    EXPECT_EQ(boxes, installed ? Strings{} : Strings{box});
    EXPECT_EQ(r.windows.log + " |" + Saved(r.windows.store), log + std::string(" |") + keys);
    // A new background is made ready and shown; a new sheet, on the board and in the NEXT window.
    const bool nextDrawn = r.rig.screen.nextPieces == r.rig.state.pieceQueue;
    EXPECT_EQ(
        std::tuple(r.rig.screen.prepareBackground, r.rig.screen.reveals, nextDrawn),
        std::tuple(installed && background ? 1 : 0, installed ? 1 : 0, installed && !background));
  }
}

TEST(PictureChooser, AnUnreadablePlaceOffersRetry) {
  ChooserRig r;
  r.rig.dialogs.answers = {MsgAnswer::Retry, MsgAnswer::Cancel};
  EXPECT_TRUE(r.chooser.RetryPlace("USB (/media/usb)"));
  EXPECT_FALSE(r.chooser.RetryPlace("USB (/media/usb)"));  // Cancel
  ASSERT_EQ(r.rig.dialogs.boxes.size(), 2u);
  const testing::BoxRecord& box = r.rig.dialogs.boxes[0];
  EXPECT_EQ(std::tuple(box.title + ":" + box.text, box.buttons, box.icon),
            std::tuple("ファイルを開く:ドライブUSB (/media/usb)からファイルを開けません。\n\n"
                       "ドライブにフロッピーディスクが正しく挿入されているか、\n"
                       "フロッピーディスクがフォーマットされているか確認して下さい。",
                       MsgButtons::RetryCancel, MsgIcon::Exclamation));
}

}  // namespace
}  // namespace pyra
