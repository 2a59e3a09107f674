#include "app/help_search.h"

#include <QStringList>
#include <algorithm>

namespace pyra {

namespace {

// Text in the form that is compared: half-width katakana, full-width letters and letter case
// all fold to one form. Each folded character remembers where it came from, so that a match is
// shown in the page's own words.
struct Folded {
  QString text;
  std::vector<qsizetype> origin;  // per folded character, plus one for the end
};

Folded Fold(const QString& original) {
  Folded folded;
  for (qsizetype i = 0; i < original.size();) {
    const qsizetype length = original.at(i).isHighSurrogate() && i + 1 < original.size() ? 2 : 1;
    const QString part =
        original.mid(i, length).normalized(QString::NormalizationForm_KD).toCaseFolded();
    folded.text += part;
    folded.origin.insert(folded.origin.end(), static_cast<size_t>(part.size()), i);
    i += length;
  }
  folded.origin.push_back(original.size());
  return folded;
}

int CountOf(const QString& text, const QString& word) {
  int count = 0;
  for (qsizetype at = text.indexOf(word); at >= 0; at = text.indexOf(word, at + word.size())) {
    ++count;
  }
  return count;
}

QString SnippetAround(const QString& text, qsizetype at, qsizetype length) {
  constexpr qsizetype Before = 12;
  constexpr qsizetype After = 28;
  const qsizetype start = std::max<qsizetype>(0, at - Before);
  const qsizetype end = std::min(text.size(), at + length + After);
  QString snippet = text.mid(start, end - start).simplified();
  if (start > 0) snippet.prepend(QStringLiteral("…"));
  if (end < text.size()) snippet.append(QStringLiteral("…"));
  return snippet;
}

}  // namespace

std::vector<HelpHit> SearchHelp(const std::vector<HelpPage>& pages, const QString& query) {
  const QStringList words =
      Fold(query).text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
  if (words.isEmpty()) return {};
  struct Ranked {
    HelpHit hit;
    bool inTitle;
    int matches;
  };
  std::vector<Ranked> ranked;
  for (const HelpPage& page : pages) {
    const Folded folded = Fold(page.text);
    const QString& text = folded.text;
    const QString title = Fold(page.title).text;
    int matches = 0;
    bool inTitle = false;
    bool all = true;
    for (const QString& word : words) {
      const int count = CountOf(text, word);
      all = all && count > 0;
      matches += count;
      inTitle = inTitle || title.contains(word);
    }
    if (!all) continue;
    const qsizetype first = text.indexOf(words.first());
    const qsizetype from = folded.origin[static_cast<size_t>(first)];
    const qsizetype to = folded.origin[static_cast<size_t>(first + words.first().size())];
    ranked.push_back(
        {{page.url, page.title, SnippetAround(page.text, from, to - from)}, inTitle, matches});
  }
  std::stable_sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
    if (a.inTitle != b.inTitle) return a.inTitle;
    return a.matches > b.matches;
  });
  std::vector<HelpHit> hits;
  for (Ranked& r : ranked) hits.push_back(std::move(r.hit));
  return hits;
}

}  // namespace pyra
