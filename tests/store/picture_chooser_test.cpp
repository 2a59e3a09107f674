// The picture chooser's rules: the file pattern, OK and Default with their messages and
// stored keys, and what the next start-up makes of those keys.
#include "options/picture_chooser.h"

#include <gtest/gtest.h>

#include "fake_windows.h"
#include "game_fakes.h"

namespace pyra {
namespace {

using Strings = std::vector<std::string>;

TEST(PictureChooser, ListsPictureFilesWhateverTheirCase) {
  const std::pair<const char*, bool> cases[] = {
      {"a.bmp", true},      {"SHEET.BMP", true}, {"x.Wmf", true}, {".bmp", true},
      {"a.bmp.txt", false}, {"a.png", false},    {"bmp", false},  {"a_bmp", false},
  };
  for (const auto& [name, listed] : cases) {
    EXPECT_EQ(MatchesPattern(name, "*.bmp;*.wmf"), listed) << name;
  }
  EXPECT_EQ(PatternLabel(), "画像(*.bmp;*.wmf)");
  EXPECT_EQ(ChooserTitle(true) + ChooserTitle(false), "背景の変更駒の変更");
}

struct ChooserRig {
  testing::GameRig rig;
  test::LoggingStore store;
  test::FakeWindows windows;
  PictureChooser chooser{rig.game, store, windows};
  ChooserRig() {
    windows.pictures = {{"/pics/bg.bmp", {40, 30}},
                        {"/sheets/s.bmp", {192, 64}},
                        {"/sheets/wide.bmp", {193, 64}},
                        {"/sheets/tall.bmp", {192, 65}}};
    rig.state.PieceQueue = {1, 2, 3};
  }
};

// OK installs a file, Default (no file) the built-in picture.
TEST(PictureChooser, OkAndDefaultInstallAPictureOrSayWhyNot) {
  const char* noFolder = "Pyra3:ディレクトリが変更できません。";
  const char* noPicture = "Pyra3:このファイルはPyra3では扱えません。";
  const char* wrongSize = "Pyra3:駒ファイルのサイズが違います。";
  struct Case {
    bool background;
    const char *folder, *file, *box;
    Strings done;  // what happened to the pictures, then the keys written
  };
  const Case cases[] = {
      {true, "/pics", "bg.bmp", "", {"Pyra3/FullPath=/pics", "Pyra3/FileName=bg.bmp"}},
      {true, "/nowhere", "bg.bmp", noFolder, {}},
      {true, "/pics", "notes.bmp", noPicture, {}},
      {false,
       "/sheets",
       "s.bmp",
       "",
       {"user sheet", "Pyra3/KomaPath=/sheets", "Pyra3/KomaName=s.bmp"}},
      {false, "/sheets", "wide.bmp", wrongSize, {}},
      {false, "/sheets", "tall.bmp", wrongSize, {}},
      {false, "/sheets", "gone.bmp", noPicture, {}},
      {true,
       "/pics",
       nullptr,
       "",
       {"built-in background", "Pyra3/FullPath=/pics", "Pyra3/FileName="}},
      {false, "/pics", nullptr, "", {"built-in sheet", "Pyra3/KomaPath=/pics", "Pyra3/KomaName="}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file ? c.file : "Default");
    ChooserRig r;
    const bool installed = *c.box == 0;
    if (c.file) {
      EXPECT_EQ(r.chooser.Command1_Click(c.background, c.folder, c.file), installed);
    } else {
      r.chooser.Command3_Click(c.background, c.folder);
    }
    Strings boxes;
    for (const auto& box : r.rig.dialogs.boxes) boxes.push_back(box.title + ":" + box.text);
    EXPECT_EQ(boxes, installed ? Strings{} : Strings{c.box});
    Strings done = r.windows.Logged("user");
    for (const std::string& b : r.windows.Logged("built-in")) done.push_back(b);
    done.insert(done.end(), r.store.writes.begin(), r.store.writes.end());
    EXPECT_EQ(done, c.done);
    // The busy pointer comes back, also after a failure.
    EXPECT_EQ(r.windows.Logged("busy").size(), c.file ? 1u : 0u);
    EXPECT_EQ(r.windows.Logged("idle").size(), c.file ? 1u : 0u);
    // A new background is made ready and shown; a new sheet is shown on the board and in
    // the NEXT window.
    EXPECT_EQ(r.rig.screen.prepareBackground, installed && c.background ? 1 : 0);
    EXPECT_EQ(r.rig.screen.reveals, installed ? 1 : 0);
    const bool nextDrawn = r.rig.screen.nextPieces == r.rig.state.PieceQueue;
    EXPECT_EQ(nextDrawn, installed && !c.background);
    if (c.file) continue;
    // An empty file key: the next start-up loads no file and uses the built-in picture.
    test::ProgramRun next(r.store);
    next.session.LoadSettings();
    EXPECT_TRUE(next.windows.Logged("load").empty());
  }
}

TEST(PictureChooser, AnUnreadablePlaceOffersRetry) {
  ChooserRig r;
  r.rig.dialogs.answers = {MsgAnswer::Retry, MsgAnswer::Cancel};
  EXPECT_TRUE(r.chooser.RetryPlace("USB (/media/usb)"));
  EXPECT_FALSE(r.chooser.RetryPlace("USB (/media/usb)"));  // Cancel
  ASSERT_EQ(r.rig.dialogs.boxes.size(), 2u);
  const testing::BoxRecord& box = r.rig.dialogs.boxes[0];
  EXPECT_EQ(box.title + ":" + box.text,
            "ファイルを開く:ドライブUSB (/media/usb)からファイルを開けません。\n\n"
            "ドライブにフロッピーディスクが正しく挿入されているか、\n"
            "フロッピーディスクがフォーマットされているか確認して下さい。");
  EXPECT_EQ(box.buttons, MsgButtons::RetryCancel);
  EXPECT_EQ(box.icon, MsgIcon::Exclamation);
}

}  // namespace
}  // namespace pyra
