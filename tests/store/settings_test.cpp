// The start-up load, the exit saves, the player records and the ranking.
#include <gtest/gtest.h>

#include "settings_program.h"
#include "store/ranking.h"

namespace pyra {
namespace {

// A first run: 8 by 6 cells, centred with the NEXT window beside and the message window below.
constexpr auto First = "11865,5550,4080,3600 15945,5550 11865,9150 14310,9150 11865,9150 8x6";
constexpr auto FirstShown = "1001 10000000000 10 1111 Player A コンピュータ* ";
constexpr auto FirstLog = "built-in background, built-in sheet";

TEST(LoadSettings, WhatTheStoredValuesShow) {
  const struct {
    const char* stored;
    const char* place = First;
    const char* shown = FirstShown;
    const char* log = FirstLog;
    bool can = true;  // stretch and sound
  } cases[] = {
      {""},
      {"BitmapStretch=1;SoundEffect=1", First, "1001 10000000000 10 0011 Player A コンピュータ* ",
       FirstLog, false},
      // Unreadable or refused sizes keep the first-run size, so the board is whole cells.
      {"Width=abc;Height=40000"},
      {"Width=4545;Height=4079;Left=20.5;Top=11.5",
       "20,12,4545,4079 4565,12 20,4091 2465,4091 20,4091 8x7"},
      // Each edge and size pulled onto the screen on its own.
      {"Top=20000", "11865,0,4080,3600 15945,0 11865,3600 14310,3600 11865,3600 8x6"},
      {"Left=30000", "0,5550,4080,3600 4080,5550 0,9150 2445,9150 0,9150 8x6"},
      {"Width=30000;Left=0", "0,5550,28800,3600 27810,5550 0,9150 2445,9150 0,9150 59x6"},
      {"Height=20000;Top=0", "11865,0,4080,16200 15945,0 11865,15180 14310,15195 11865,14700 8x32"},
      {"Top=-500;Left=-32768", "0,0,4080,3600 4080,0 0,3600 2445,3600 0,3600 8x6"},
      {"Top=16200;Left=28800",
       "24720,12600,4080,3600 27810,12600 24720,15180 26355,15195 23910,14700 8x6"},
      {"NextTop=20000;NextLeft=30000;PointTop=-1;PointLeft=-32768;Point2Top=-5;Point2Left=7;"
       "MesTop=16000;MesLeft=28000",
       "11865,5550,4080,3600 27810,15270 0,0 7,0 23910,14700 8x6"},
      // A companion's value out of range leaves that window where it was.
      {"NextTop=40000;PointLeft=x;Point2Left=99999;MesLeft=99999",
       "11865,5550,4080,3600 0,0 0,9150 0,0 0,0 8x6"},
      {"NextLeft=40000;MesTop=-40000", "11865,5550,4080,3600 0,0 11865,9150 14310,9150 0,0 8x6"},
      {"FormOfGame=3;Level=1;BitmapStretch=0;SoundEffect=0;Music=0;OpeningDemo=2;PlayerA=1;"
       "PlayerB=0;PlayerNameA=Ann;PlayerNameB=Bob ",
       First, "0110 00010000000 01 0000 コンピュータ* Bob "},
      {"FormOfGame=10;Level=2;BitmapStretch=2;SoundEffect=2;Music=abc;OpeningDemo=40000;PlayerA=2;"
       "PlayerB=7",
       First, "0000 00000000001 01 0000 コンピュータ* コンピュータ* "},
      {"FormOfGame=11;Level=40000;BitmapStretch=40000;PlayerA=40000;PlayerB=-40000", First,
       "0000 00000000000 00 0111 コンピュータ* コンピュータ* "},
      {"FormOfGame=-1;Level=abc;PlayerNameA=   ;PlayerB=0", First,
       "1010 00000000000 10 1111 Player A Player B "},
      {"FormOfGame=40000;Level=  ;PlayerNameA=  アン  ", First,
       "1001 00000000000 10 1111   アン コンピュータ* "},
      {"#Ann=3/0/3;#Bob=3/0/3;PlayerB=0", First,
       "1010 10000000000 10 1111 Player A,Ann,Bob Player B,Ann,Bob ,Ann,Bob"},
      {"FullPath=/pics;FileName=bg.bmp;KomaPath=/sheets;KomaName=a.bmp", First, FirstShown,
       "cd /pics, busy, load /pics/bg.bmp, idle, label /pics/bg.bmp, cd /sheets, busy, "
       "load /sheets/a.bmp, idle, label /sheets/a.bmp, user sheet"},
      {"FullPath=/pics/;FileName=bg.bmp;KomaPath=/home/user", First, FirstShown,
       "cd /pics/, built-in background, built-in sheet"},
      {"FileName=b.wmf;KomaPath=/home/user/;KomaName=a.bmp", First, FirstShown,
       "busy, load /home/user/b.wmf, idle, label /home/user/b.wmf, cd /home/user/, built-in sheet"},
      // The sheet's folder defaults to the current one, which the background has changed.
      {"FullPath=/pics;FileName=gone.bmp;KomaName=gone.bmp", First, FirstShown,
       "cd /pics, busy, load /pics/gone.bmp, idle, built-in background, busy, load /pics/gone.bmp, "
       "idle, built-in sheet"},
      {"FullPath=/pics;KomaPath=/sheets;KomaName=small.bmp", First, FirstShown,
       "cd /pics, built-in background, cd /sheets, busy, load /sheets/small.bmp, idle, "
       "label /sheets/small.bmp, built-in sheet"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Program(c.stored, c.can).Shown(),
              std::string(c.place) + " | " + c.shown + " | " + c.log);
  }
}

// First-run places kept while unstored: main width, height, NEXT, score boxes, message window.
TEST(LoadSettings, FirstRunPlacesAreThoseWithNothingStored) {
  for (const auto& [stored, kept] : {std::pair{"", "111111"},
                                     {"Width=4545;NextTop=0;PointLeft=9;MesTop=1", "010010"},
                                     {"Height=1;NextLeft=0;Point2Top=5;MesLeft=3", "100100"}}) {
    const FirstRunLayout f = Program(stored).session.FirstRun();
    std::string shown;
    for (bool b : {f.width, f.height, f.next, f.scoreA, f.scoreB, f.message}) shown += "01"[b];
    EXPECT_EQ(shown, kept) << stored;
  }
}

TEST(SaveSettings, WindowsAndOptionsAsDigitStringsInOneTransaction) {
  Program p("");
  p.boxes[3].left = 1234.5, p.main.top = 1235.5;  // twips need not be whole: halves to even
  p.settings.series = SeriesFormat::FromNumber(9), p.settings.switches = {true, false, false, true};
  p.session.SaveWindowPositions();
  EXPECT_TRUE(p.store.values.empty()) << "the window places wait for the options";
  const auto save = [&p] {
    p.store.values.clear(), p.session.SaveWindowPositions();
    return p.session.SaveOptions() ? Saved(p.store) : "refused";
  };
  // The sound switches are stored as the player chose them, whatever this machine could play.
  EXPECT_EQ(
      save(),
      " BitmapStretch=1 FormOfGame=9 Height=3600 Left=11865 Level=0 MesLeft=1234 MesTop=9150 "
      "Music=1 NextLeft=15945 NextTop=5550 OpeningDemo=1 PlayerA=0 PlayerB=1 Point2Left=14310 "
      "Point2Top=9150 PointLeft=11865 PointTop=9150 SoundEffect=1 Top=1236 Width=4080");
  EXPECT_EQ(p.store.transactions, 1);
  // Minimised: no window position. Nothing chosen: no format counts as 0, no kind or level as 1.
  p.normal = false, p.settings = GameSettings{}, p.settings.switches = {false, true, true, false};
  EXPECT_EQ(save(),
            " BitmapStretch=0 FormOfGame=0 Level=1 Music=1 OpeningDemo=0 PlayerA=1 PlayerB=1 "
            "SoundEffect=1");
  // A window system that places windows itself (Wayland): only the main window's size.
  p.normal = true, p.place = false;
  EXPECT_EQ(save(),
            " BitmapStretch=0 FormOfGame=0 Height=3600 Level=1 Music=1 OpeningDemo=0 PlayerA=1 "
            "PlayerB=1 SoundEffect=1 Width=4080");
  testing::MemoryStore none;  // a refused start, which never loaded, writes nothing
  SettingsSession refused(p, none, p.state, p.settings, p.records);
  refused.SaveWindowPositions();
  EXPECT_TRUE(refused.SaveOptions());
  EXPECT_TRUE(none.values.empty()) << Saved(none);
  // A save the store refuses leaves one line naming the file and the reason.
  p.store.failWrites = true;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(p.session.SaveOptions());
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Pyra3: the settings could not be saved in /home/user/store: disk full\n");
}

TEST(SaveSettings, TheDialogsChoicesAreKeptAtOnceAndTheSoundAsThePlayerChoseIt) {
  Program p("SoundEffect=1;Music=0;PlayerNameA=Ann", false);  // no sound on this machine
  EXPECT_FALSE(p.settings.On(Switch::SoundEffects));
  p.settings.Set(Switch::Music, true), p.settings.names[0].text = "Bob";
  p.settings.level = Level::Strongest;
  p.session.KeepChoices({.names = {true, false}, .switches = {false, false, true, false}});
  EXPECT_EQ(Saved(p.store), " Level=1 Music=1 PlayerNameA=Bob SoundEffect=1");
  p.session.OpenMusic();  // a device that cannot play turns it off: not the player
  EXPECT_FALSE(p.settings.On(Switch::Music));
  p.session.KeepChoices({});
  p.session.SaveWindowPositions(), p.session.SaveOptions();
  EXPECT_EQ(p.store.values.at({"Pyra3", "Music"}) + p.store.values.at({"Pyra3", "SoundEffect"}),
            "11");
  p.session.KeepChoices({.switches = {false, true, false, false}});  // the player unchecked it
  EXPECT_EQ(p.store.values.at({"Pyra3", "SoundEffect"}), "0");
}

TEST(SaveSettings, AfterALoadThatCouldNotReadTheStoreOnlyThePlayersChangesAreWritten) {
  Program p("FormOfGame=3;OpeningDemo=0;Level=1;Width=6000");
  const auto before = p.store.values;
  p.store.failReads = true, p.session.LoadSettings(), p.store.failReads = false;
  EXPECT_FALSE(p.session.LoadedWholly());
  EXPECT_TRUE(p.settings.On(Switch::OpeningDemo)) << "the defaults stand in";
  p.session.SaveWindowPositions(), p.session.SaveOptions();
  EXPECT_EQ(p.store.values, before);
  p.settings.series = SeriesFormat::FromNumber(5);  // the player's choice in the dialog
  p.session.KeepChoices({});
  p.session.SaveWindowPositions(), p.session.SaveOptions();
  EXPECT_EQ(Saved(p.store), " FormOfGame=5 Level=1 OpeningDemo=0 Width=6000");
  // A list that could not be read is neither mended nor added to, a record not written over.
  Program r("#Ann=3/2/1;#Bob=1/0/1;PlayerNameA=Cid");
  r.store.failKey = "Games", r.records.LoadPlayerList(), r.store.failKey.clear();
  r.records.RecordResult(0);
  EXPECT_EQ(r.Stored({"Cid"}), "Ann,Bob, -/-/-");
  Program q("#Ann=3/2/1;PlayerNameA=Ann");
  q.store.failReads = true, q.records.RecordResult(0), q.store.failReads = false;
  EXPECT_EQ(q.Stored({"Ann"}), "Ann, 3/2/1");
  q.settings.names[0].text = "Cid", q.store.values[{"Pyra3", "Player01"}] = "Dan";
  q.store.failKey = "Player01", q.records.RecordResult(0), q.store.failKey.clear();
  EXPECT_EQ(q.Stored({"Cid"}), "Ann,Dan, -/-/-") << "a list key that could not be read";
}

TEST(LoadSettings, WaitsForALockedStoreShowingTheWindowAfterAMoment) {
  // Calls that find the store locked; milliseconds waited, whether the window was shown.
  const std::tuple<int, int, bool> cases[] = {
      {0, 0, false}, {6, 300, false}, {7, 350, true}, {1000, 5000, true}};
  for (const auto& [locked, waited, shown] : cases) {
    Program p("");
    p.store.locked = locked, p.log.clear(), p.session.LoadSettings();
    EXPECT_EQ(p.waited, waited) << locked;
    EXPECT_EQ(p.log.starts_with("shown, busy, idle, "), shown) << p.log;
  }
}

TEST(PlayerRecords, FirstWinOnAnEmptyStore) {
  EXPECT_EQ(ListKey(9) + ListKey(10), "Player09Player10");
  Program p("");
  p.records.ShowRanking(), p.records.RecordResult(0), p.records.ShowRanking();
  const testing::BoxRecord &none = p.dialogs.boxes.at(0), &ranking = p.dialogs.boxes.at(1);
  EXPECT_EQ(std::tie(none.text, none.title, none.buttons, none.icon),
            std::tuple("まだどのプレーヤーの記録も保存されていません。", "Pyra3", MsgButtons::Ok,
                       MsgIcon::Error));
  EXPECT_EQ(
      std::tie(ranking.text, ranking.title, ranking.buttons, ranking.icon),
      std::tuple("1位 Player A\n勝率1.000; 試合数1\n", "番付", MsgButtons::Ok, MsgIcon::None));
  EXPECT_EQ(Saved(p.store), " Games=1 Lost=0 Win=1 Player00=Player A");
  EXPECT_EQ(p.Boxes(), " Player A,Player A コンピュータ*,Player A ,Player A");
  std::string stored = "PlayerA=1";  // both sides the computer; a hundred names without records
  for (int i = 0; i < MaxPlayers; ++i) stored += ";#P" + std::to_string(i);
  Program computers(stored);
  for (int16_t result : {0, 1, -1}) computers.records.RecordResult(result);
  EXPECT_EQ(Saved(computers.store), " PlayerA=1");  // all of them leave the list; none is added
}

TEST(PlayerRecords, ResultsOfBothSides) {
  // Ann's record, B's name, the result; Ann's record then Bob's as stored, and their rates.
  const std::tuple<const char*, const char*, int16_t, const char*, std::array<int64_t, 2>> cases[] =
      {
          {"4/2/1", "Bob", 0, "5/3/1 3/1/2", {6000, 3333}},
          {"4/2/1", "Bob", 1, "5/2/2 3/2/1", {4000, 6666}},
          {"4/2/1", "Bob", -1, "5/2/1 3/1/1", {4000, 3333}},  // a draw: both rates fall
          {"4/2/1", "Ann", 0, "6/3/2 2/1/1", {5000, 5000}},   // one name on both sides: two games
          {"4/2/1", "Ann", -1, "6/2/1 2/1/1", {3333, 5000}},
          // Counts go on past 16 bits, and are kept below 10^14 so that a rate cannot overflow.
          {"99999999999/50000000000/x", "Bob", 1, "100000000000/50000000000/1 3/2/1", {5000, 6666}},
          {"1e20/1e20/1", "Bob", 0, "100000000000001/100000000000001/1 3/1/2", {10000, 3333}},
          {"-5/-7/-1", "Bob", 0, "1/1/0 3/1/2", {10000, 3333}},
      };
  for (const auto& [ann, b, result, stored, rates] : cases) {
    Program p(std::string("#Ann=") + ann +
              ";#Bob=2/1/1;PlayerB=0;PlayerNameA=Ann;PlayerNameB=" + b);
    p.settings.names[ChosenPlayer].text = "Cid";  // chosen for deleting, but playing no side
    p.records.RecordResult(result);
    EXPECT_EQ(p.Stored({"Ann", "Bob"}), std::string("Ann,Bob, ") + stored);
    for (int run = 0; run < 2; ++run, p.session.LoadSettings())  // the next run reads the same
      EXPECT_EQ((std::array{p.records.playerRate[0], p.records.playerRate[1]}), rates);
  }
}

TEST(PlayerRecords, ListKeysStayDenseAndAreNeverWrittenOver) {
  // Bob's and Dan's records were cleared; Ann is listed twice.
  Program c("#Ann=3/2/0;#Bob;#Cid=4/1/3;#Ann;#Dan;PlayerB=0;PlayerNameA=Bob;PlayerNameB=Cid");
  EXPECT_EQ(c.Boxes(), " Bob,Ann,Cid Cid,Ann,Cid ,Ann,Cid");
  EXPECT_EQ(c.Stored({}) + std::to_string(c.store.values.size()), "Ann,Cid,11");
  c.records.RecordResult(0);  // a later game starts a fresh record
  EXPECT_EQ(c.Stored({"Bob", "Cid"}), "Ann,Cid,Bob, 1/1/0 5/1/4");
  // When the list cannot be mended, no name is added to it or taken from it.
  Program p("#Ann=3/2/0;#Cid=4/1/3;PlayerB=0;PlayerNameA=Eve;PlayerNameB=Ann");
  p.store.values[{"Pyra3", "Player01"}] = "Bob", p.store.values[{"Pyra3", "Player02"}] = "Cid";
  p.store.failWrites = true, p.records.LoadPlayerList(), p.store.failWrites = false;
  p.records.RecordResult(0), p.settings.names[ChosenPlayer].text = "Cid";
  EXPECT_FALSE(p.records.DeletePlayer());
  EXPECT_EQ(p.Stored({"Ann", "Eve"}), "Ann,Bob,Cid, 4/2/1 -/-/-");
  // A hundred names fill the list.
  std::string players = "PlayerB=0;PlayerNameA=New98;PlayerNameB=New99";
  for (int i = 0; i < 98; ++i) players += ";#P" + std::to_string(i) + "=1/0/1";
  Program full(players);
  full.records.RecordResult(-1);
  full.settings.names[0].text = "Zed", full.settings.names[1].text = "P50";
  full.records.RecordResult(0);
  const std::string stored = full.Stored({"New99", "Zed", "P50"});
  EXPECT_EQ(stored.substr(stored.find("P97,")), "P97,New98,New99, 1/0/0 -/-/- 2/0/2");
}

TEST(PlayerRecords, DeletingAndClearing) {
  const struct {
    int index;
    const char *chosen, *b, *stored, *boxes = nullptr;  // no boxes: nothing is done
  } cases[] = {
      {0, "Ann", "Ann", "Bob,コンピュータ, -/-/-",
       " Player A,Bob,コンピュータ Player B,Bob,コンピュータ ,Bob,コンピュータ"},
      // The computer's box keeps its text even where a person has taken that name.
      {0, "コンピュータ ", nullptr, "Ann,Bob, -/-/-",
       " Ann,Ann,Bob コンピュータ*,Ann,Bob ,Ann,Bob"},
      // A cleared player stays listed, with no games.
      {1, "Bob", "Bob", "Ann,Bob,コンピュータ, 0/0/0",
       " Ann,Ann,Bob,コンピュータ Bob,Ann,Bob,コンピュータ ,Ann,Bob,コンピュータ"},
      {1, "ann", "Bob", "Ann,Bob,コンピュータ, -/-/-"},
  };
  for (const auto& c : cases) {
    Program p(std::string("#Ann=3/2/1;#Bob=2/1/1;#コンピュータ=1/0/1;PlayerNameA=Ann;PlayerB=") +
              (c.b != nullptr ? "0;PlayerNameB=" + std::string(c.b) : "1"));
    p.settings.names[ChosenPlayer].text = c.chosen;
    const bool done = c.index == 0 ? p.records.DeletePlayer() : p.records.ClearRecord();
    EXPECT_EQ(done, c.boxes != nullptr) << c.chosen;
    EXPECT_EQ(p.Stored({c.chosen}), c.stored);
    EXPECT_EQ(c.boxes != nullptr ? p.Boxes() : "", c.boxes != nullptr ? c.boxes : "");
  }
  // Out of the ranking until the next game starts a new record.
  Program p("#Ann=3/2/1;#Bob=2/1/1;PlayerNameA=Ann;PlayerB=0;PlayerNameB=Bob");
  p.settings.names[ChosenPlayer].text = "Bob", p.records.ClearRecord(), p.records.ShowRanking();
  EXPECT_EQ(p.dialogs.boxes.at(0).text, "1位 Ann\n勝率 .666; 試合数3\n");
  p.records.RecordResult(1);
  EXPECT_EQ(p.Stored({"Bob"}), "Ann,Bob, 1/1/0");
  p.settings.names[ChosenPlayer].text = "Ann", p.records.ClearRecord();
  p.settings.names[ChosenPlayer].text = "Bob", p.records.ClearRecord(), p.records.ShowRanking();
  EXPECT_EQ(p.dialogs.boxes.at(1).text, "まだどのプレーヤーの記録も保存されていません。");
}

TEST(Ranking, BestFiveByRateThenGamesThenLaterInTheList) {
  const std::vector<int64_t> rates{5000, 5000, 5000, 0, 5000, 6000}, games{10, 10, 20, 0, 4, 5};
  EXPECT_EQ(RankSlots(rates, games), (RankSlotArray{4, 0, 1, 2, 5}));
  // Rate texts, with a fourth digit where neighbours agree to three and the higher has fewer games.
  const std::pair<const char*, const char*> cases[] = {
      {"#P0=10/5/0;#P1=10/5/0;#P2=20/10/0;#P4=0/0/0;#P5=4/2/0;#P3=5/3/0",
       "1位 P3\n勝率 .600; 試合数5\n2位 P2\n勝率 .500; 試合数20\n3位 P1\n勝率 .500; 試合数10\n"
       "4位 P0\n勝率 .500; 試合数10\n5位 P5\n勝率 .500; 試合数4\n"},
      {"#X=1/1/0;#Y=2/1/1;#A=10000/3339/0;#B=20000/6670/0;#C=30000/9993/0",
       "1位 X\n勝率1.000; 試合数1\n2位 Y\n勝率 .500; 試合数2\n3位 A\n勝率 .333; 試合数10000\n"
       "4位 B\n勝率 .3335; 試合数20000\n5位 C\n勝率 .3331; 試合数30000\n"},
      {"#A=10/1/9;#B=10000/999/0;#C=100/1/99;#D=10000/99/0;#E=10000/9/0",
       "1位 A\n勝率 .100; 試合数10\n2位 B\n勝率 .099; 試合数10000\n3位 C\n勝率 .010; 試合数100\n"
       "4位 D\n勝率 .009; 試合数10000\n5位 E\n勝率 .000; 試合数10000\n"},
  };
  for (const auto& [players, text] : cases) {
    Program p(players);
    p.records.ShowRanking();
    EXPECT_EQ(p.dialogs.boxes.at(0).text, text);
  }
}

}  // namespace
}  // namespace pyra
