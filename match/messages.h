// Every text the game shows in its windows and message boxes, in one place.
#pragma once

namespace pyra::text {

inline constexpr const char* AlreadyRunning = "はすでに実行されています。";
inline constexpr const char* NoBitBlt = "現在の環境ではBitBltはサポートされません。";

inline constexpr const char* PauseCaption = "中断(&P&ｾ)";
inline constexpr const char* ResumeCaption = "再開(&R&ｽ)";
inline constexpr const char* PauseNotice =
    "ゲームを再開するには\nｹﾞｰﾑ(G)-再開(R)を\n選択してください。";
inline constexpr const char* DemoNotice = "現在デモ実行中です。\nスペースキーを押してください。";

inline constexpr const char* CountdownBefore = "あと";
inline constexpr const char* CountdownAfter = "秒です。";

inline constexpr const char* SeriesFormatNames[11] = {
    "一番勝負", "三番勝負", "五番勝負", "七番勝負", "九番勝負", "二戦先取",
    "四戦先取", "六戦先取", "八戦先取", "十戦先取", ""};
inline constexpr const char* UnlimitedName = "無制限";
inline constexpr const char* AnnouncementEnd = "です。";
inline constexpr const char* GoodLuck = "頑張りましょう。";

inline constexpr const char* Called = "コールド";
inline constexpr const char* Of = "の";
inline constexpr const char* Win = "勝ち";
inline constexpr const char* Wins = "勝";
inline constexpr const char* Losses = "敗";
inline constexpr const char* Draw = "引き分け";
inline constexpr const char* PressSpace = "スペースキーを押してください。";
inline constexpr const char* Games = "戦";
inline constexpr const char* Points = "得点:";
inline constexpr const char* DecidedButContinue = "の勝ちが決まりましたが";
inline constexpr const char* ContinueQuestion = "ゲームを続けますか？";
inline constexpr const char* PlayAgain = "もう一度プレーしますか？";
inline constexpr const char* NextGameBefore = "次は第";
inline constexpr const char* NextGameAfter = "試合です。";

inline constexpr const char* HelpUnavailable = "ヘルプを表示できません";
inline constexpr const char* HelpFileLabel = "ヘルプファイル";
inline constexpr const char* HelpFileMissing = "が見つかりません。";
inline constexpr const char* HelpFileDamaged = "は壊れているため読み込めません。";
inline constexpr const char* HelpNothingFound = "見つかりませんでした。";

inline constexpr const char* CannotPlayMusic = "現在の環境では音楽を鳴らすことはできません。";

// What a screen reader hears of the board: a cell's place and what lies there, by cell code.
inline constexpr const char* BoardName = "盤面";
inline constexpr const char* ColumnAfter = "列目";
inline constexpr const char* RowAfter = "行目";
inline constexpr const char* CellContents[6] = {"空き", "火", "油", "水", "トラック", "立入禁止"};

}  // namespace pyra::text
