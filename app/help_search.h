// Full-text search of the help pages. Qt Help's own index splits words at spaces, which a
// Japanese text does not have, so a page is found by substrings of its plain text instead.
#pragma once

#include <QString>
#include <QUrl>
#include <vector>

namespace pyra {

struct HelpPage {
  QUrl url;
  QString title;
  QString text;  // plain text, title included
};

struct HelpHit {
  QUrl url;
  QString title;
  QString snippet;  // the text around the first match
};

// The pages that contain every word of `query` (words split at blanks, full-width ones too),
// compared without regard to letter case or to full- and half-width forms. Pages whose title
// holds a word come first, then the pages with more matches; equal pages keep their order.
std::vector<HelpHit> SearchHelp(const std::vector<HelpPage>& pages, const QString& query);

}  // namespace pyra
