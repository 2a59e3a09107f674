#include "app/help_search.h"

#include <QStringList>
#include <algorithm>

namespace pyra {

namespace {

// Half-width katakana, full-width letters and letter case all compare equal.
QString Folded(const QString& text) {
  return text.normalized(QString::NormalizationForm_KC).toCaseFolded();
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
  const QStringList words = Folded(query).simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
  if (words.isEmpty()) return {};
  struct Ranked {
    HelpHit hit;
    bool inTitle;
    int matches;
  };
  std::vector<Ranked> ranked;
  for (const HelpPage& page : pages) {
    const QString text = Folded(page.text);
    const QString title = Folded(page.title);
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
    ranked.push_back({{page.url, page.title, SnippetAround(text, first, words.first().size())},
                      inTitle,
                      matches});
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
