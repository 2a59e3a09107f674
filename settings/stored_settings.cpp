#include "settings/stored_settings.h"

#include <array>

namespace pyra {

namespace {

using K = SettingKind;
using S = Setting;

constexpr std::array<StoredSetting, SettingCount> Table = {{
    {S::MainWidth, "Width", K::Twips, 0, 0, 0, "main window outer width"},
    {S::MainLeft, "Left", K::Twips, 0, 0, 0, "main window left edge"},
    {S::MainHeight, "Height", K::Twips, 0, 0, 0, "main window outer height"},
    {S::MainTop, "Top", K::Twips, 0, 0, 0, "main window top edge"},
    {S::NextTop, "NextTop", K::Twips, 0, 0, 0, "NEXT window top"},
    {S::NextLeft, "NextLeft", K::Twips, 0, 0, 0, "NEXT window left"},
    {S::ScoreATop, "PointTop", K::Twips, 0, 0, 0, "score box A top"},
    {S::ScoreALeft, "PointLeft", K::Twips, 0, 0, 0, "score box A left"},
    {S::ScoreBTop, "Point2Top", K::Twips, 0, 0, 0, "score box B top"},
    {S::ScoreBLeft, "Point2Left", K::Twips, 0, 0, 0, "score box B left"},
    {S::MessageTop, "MesTop", K::Twips, 0, 0, 0, "message window top"},
    {S::MessageLeft, "MesLeft", K::Twips, 0, 0, 0, "message window left"},
    {S::SeriesFormat, "FormOfGame", K::Number, 0, 0, 10, "the series format's number"},
    {S::StretchBackground, "BitmapStretch", K::Number, 1, 0, 1, "stretch the background"},
    {S::PlayerA, "PlayerA", K::Number, 0, 0, 1, "side A: 0 a person, 1 the computer"},
    {S::PlayerB, "PlayerB", K::Number, 1, 0, 1, "side B: 0 a person, 1 the computer"},
    {S::Level, "Level", K::Number, 0, 0, 0, "0 automatic; anything else the strongest"},
    {S::SoundEffects, "SoundEffect", K::Number, 1, 1, 1, "sound effects: only 1 is on"},
    {S::Music, "Music", K::Number, 1, 1, 1, "music: only 1 is on"},
    {S::OpeningDemo, "OpeningDemo", K::Number, 1, 1, 1, "demo at start-up: only 1 is on"},
    {S::NameA, "PlayerNameA", K::Text, 0, 0, 0, "side A's name, read while a person plays it"},
    {S::NameB, "PlayerNameB", K::Text, 0, 0, 0, "side B's name, read while a person plays it"},
    {S::BackgroundFolder, "FullPath", K::Text, 0, 0, 0, "the background picture's folder"},
    {S::BackgroundFile, "FileName", K::Text, 0, 0, 0, "the background picture; empty: built in"},
    {S::SheetFolder, "KomaPath", K::Text, 0, 0, 0, "the piece sheet's folder"},
    {S::SheetFile, "KomaName", K::Text, 0, 0, 0, "the piece sheet; empty: built in"},
}};

// The table's rows stand in the enumeration's order.
constexpr bool InOrder() {
  for (int i = 0; i < SettingCount; ++i) {
    if (static_cast<int>(Table[i].setting) != i) return false;
  }
  return true;
}
static_assert(InOrder(), "a row out of place in the stored settings' table");

}  // namespace

const StoredSetting& Stored(Setting setting) { return Table[static_cast<int>(setting)]; }

bool Taken(Setting setting, int16_t value) {
  const StoredSetting& row = Stored(setting);
  return value >= row.low && value <= row.high;
}

}  // namespace pyra
