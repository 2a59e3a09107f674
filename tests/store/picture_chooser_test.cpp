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
      {"a.bmp.txt", false}, {"a.png", false},    {"bmp", false},  {"a.bm", false},
      {"a_bmp", false},     {"", false},
  };
  for (const auto& [name, listed] : cases) {
    EXPECT_EQ(MatchesPattern(name, "*.bmp;*.wmf"), listed) << name;
  }
  EXPECT_TRUE(MatchesPattern("ab1.x", "a?1.*"));
  EXPECT_EQ(PatternLabel(), "画像(*.bmp;*.wmf)");
  EXPECT_EQ(ChooserTitle(true), "背景の変更");
  EXPECT_EQ(ChooserTitle(false), "駒の変更");
  EXPECT_EQ(JoinPath("/", "a.bmp"), "/a.bmp");
  EXPECT_EQ(JoinPath("/pics", "a.bmp"), "/pics/a.bmp");
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
  Strings Boxes() const {
    Strings texts;
    for (const auto& box : rig.dialogs.boxes) {
      EXPECT_EQ(box.title, "Pyra3");
      texts.push_back(box.text);
    }
    return texts;
  }
};

TEST(PictureChooser, OkInstallsAPictureOrSaysWhyNot) {
  struct Case {
    bool background;
    const char *folder, *file;
    bool installed;
    std::string box;
    Strings done;  // what happened to the pictures
    Strings written;
  };
  const Case cases[] = {
      {true, "/pics", "bg.bmp", true, "", {}, {"Pyra3/FullPath=/pics", "Pyra3/FileName=bg.bmp"}},
      {true, "/nowhere", "bg.bmp", false, "ディレクトリが変更できません。", {}, {}},
      {true, "/pics", "notes.bmp", false, "このファイルはPyra3では扱えません。", {}, {}},
      {false,
       "/sheets",
       "s.bmp",
       true,
       "",
       {"user sheet"},
       {"Pyra3/KomaPath=/sheets", "Pyra3/KomaName=s.bmp"}},
      {false, "/sheets", "wide.bmp", false, "駒ファイルのサイズが違います。", {}, {}},
      {false, "/sheets", "tall.bmp", false, "駒ファイルのサイズが違います。", {}, {}},
      {false, "/sheets", "gone.bmp", false, "このファイルはPyra3では扱えません。", {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ChooserRig r;
    EXPECT_EQ(r.chooser.Command1_Click(c.background, c.folder, c.file), c.installed);
    EXPECT_EQ(r.Boxes(), c.box.empty() ? Strings{} : Strings{c.box});
    EXPECT_EQ(r.windows.Logged("user"), c.done);
    EXPECT_EQ(r.store.writes, c.written);
    // The busy pointer comes back, also after a failure.
    EXPECT_EQ(r.windows.Logged("busy").size(), 1u);
    EXPECT_EQ(r.windows.Logged("idle").size(), 1u);
    // A new background is made ready and shown; a new sheet is shown on the board and in
    // the NEXT window.
    EXPECT_EQ(r.rig.screen.prepareBackground, c.installed && c.background ? 1 : 0);
    EXPECT_EQ(r.rig.screen.reveals, c.installed ? 1 : 0);
    const bool nextDrawn = r.rig.screen.nextPieces == r.rig.state.PieceQueue;
    EXPECT_EQ(nextDrawn, c.installed && !c.background);
  }
}

TEST(PictureChooser, DefaultBringsBackTheBuiltInPictureNowAndAtTheNextStart) {
  for (bool background : {true, false}) {
    SCOPED_TRACE(background ? "background" : "sheet");
    ChooserRig r;
    ASSERT_TRUE(background ? r.chooser.Command1_Click(true, "/pics", "bg.bmp")
                           : r.chooser.Command1_Click(false, "/sheets", "s.bmp"));
    // The next start-up loads the chosen file.
    {
      test::ProgramRun next(r.store);
      next.windows.pictures = r.windows.pictures;
      next.session.LoadSettings();
      EXPECT_EQ(next.windows.Logged(background ? "load background" : "load sheet"),
                Strings{background ? "load background /pics/bg.bmp" : "load sheet /sheets/s.bmp"});
    }
    r.store.writes.clear();
    r.chooser.Command3_Click(background, "/home/user");
    EXPECT_EQ(r.windows.Logged("built-in"),
              Strings{background ? "built-in background" : "built-in sheet"});
    const Strings keys = background ? Strings{"Pyra3/FullPath=/home/user", "Pyra3/FileName="}
                                    : Strings{"Pyra3/KomaPath=/home/user", "Pyra3/KomaName="};
    EXPECT_EQ(r.store.writes, keys);
    EXPECT_EQ(r.rig.screen.reveals, 2);
    EXPECT_EQ(r.rig.screen.prepareBackground, background ? 2 : 0);
    EXPECT_TRUE(r.Boxes().empty());
    // An empty file key: the next start-up loads no file and uses the built-in picture.
    test::ProgramRun next(r.store);
    next.windows.pictures = r.windows.pictures;
    next.session.LoadSettings();
    EXPECT_TRUE(next.windows.Logged("load").empty());
    EXPECT_EQ(next.windows.Logged("built-in"), (Strings{"built-in background", "built-in sheet"}));
  }
}

TEST(PictureChooser, AnUnreadablePlaceOffersRetry) {
  for (MsgAnswer answer : {MsgAnswer::Retry, MsgAnswer::Cancel}) {
    ChooserRig r;
    r.rig.dialogs.answers = {answer};
    EXPECT_EQ(r.chooser.RetryPlace("USB (/media/usb)"), answer == MsgAnswer::Retry);
    ASSERT_EQ(r.rig.dialogs.boxes.size(), 1u);
    const testing::BoxRecord& box = r.rig.dialogs.boxes[0];
    EXPECT_EQ(box.text,
              "ドライブUSB (/media/usb)からファイルを開けません。\n\n"
              "ドライブにフロッピーディスクが正しく挿入されているか、\n"
              "フロッピーディスクがフォーマットされているか確認して下さい。");
    EXPECT_EQ(box.title, "ファイルを開く");
    EXPECT_EQ(box.buttons, MsgButtons::RetryCancel);
    EXPECT_EQ(box.icon, MsgIcon::Exclamation);
  }
}

}  // namespace
}  // namespace pyra
