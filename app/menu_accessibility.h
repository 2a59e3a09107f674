// Menu titles and items as a screen reader meets them: named by the caption as it is drawn,
// found where they are drawn, on whichever line of the wrapping menu bar holds them.
#pragma once

#include <QString>

namespace pyra {

// A caption as drawn: access-key markers gone ("ｹﾞｰﾑ(&G&ｷ)" shows "ｹﾞｰﾑ(Gｷ)"), "&&" one "&",
// and a shortcut after a tab left out.
QString ShownCaption(const QString& caption);

// From then on, every action shown in a menu bar or a menu has such an entry.
void InstallMenuAccessibility();

}  // namespace pyra
