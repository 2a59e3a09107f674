// Every text the settings dialog and the picture chooser show, in one place.
#pragma once

namespace pyra::text {

// The settings dialog's OK.
inline constexpr const char* FormatChangedBefore = "ゲーム方式が";
inline constexpr const char* FormatChangedAfter = "に変更されました。";
inline constexpr const char* NameChanged = "プレーヤー名が変更されました。";
inline constexpr const char* CannotStretch = "現在の環境では背景の拡大・縮小はできません。";
inline constexpr const char* CannotPlayEffects = "現在の環境では効果音を鳴らすことはできません。";

// The picture chooser.
inline constexpr const char* BackgroundChooserTitle = "背景の変更";
inline constexpr const char* SheetChooserTitle = "駒の変更";
inline constexpr const char* PicturePattern = "*.bmp;*.wmf";
inline constexpr const char* PatternLabelBefore = "画像(";
inline constexpr const char* PatternLabelAfter = ")";
inline constexpr const char* CannotChangeFolder = "ディレクトリが変更できません。";
inline constexpr const char* CannotUseFileBefore = "このファイルは";
inline constexpr const char* CannotUseFileAfter = "では扱えません。";
inline constexpr const char* WrongSheetSize = "駒ファイルのサイズが違います。";
inline constexpr const char* OpenFileTitle = "ファイルを開く";
inline constexpr const char* PlaceUnreadableBefore = "ドライブ";
inline constexpr const char* PlaceUnreadableAfter = "からファイルを開けません。";
inline constexpr const char* PlaceUnreadableHint =
    "ドライブにフロッピーディスクが正しく挿入されているか、\n"
    "フロッピーディスクがフォーマットされているか確認して下さい。";
inline constexpr const char* PreviewUnavailable = "この画像は表示できません。";
inline constexpr const char* HomePlace = "ホーム";

}  // namespace pyra::text
