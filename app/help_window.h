// The help window: the help file's contents, keyword index and search beside the page view,
// like the platform help viewer that the game opens on its contents-and-search view.
#pragma once

#include <QWidget>
#include <vector>

#include "app/help_search.h"

class QHelpEngine;
class QHelpIndexWidget;
class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;

namespace pyra {

class HelpWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char* HelpFile = "pyra3.qch";
  static constexpr const char* CollectionFile = "pyra3.qhc";

  // Reads the help from `folder`, the program folder. A missing or damaged file leaves the
  // window with a notice in its page area and nothing else.
  explicit HelpWindow(const QString& folder);
  ~HelpWindow() override;

  // Shows the window, the first time centred with the start page and the contents.
  void ShowIndex();
  bool Loaded() const { return engine_ != nullptr; }

  // The pages that contain `query`, listed under the search field.
  void Search(const QString& query);
  void Open(const QUrl& url);

  QTabWidget* Tabs() const { return tabs_; }
  QTextBrowser* Browser() const { return browser_; }
  QHelpIndexWidget* Index() const;
  QLineEdit* IndexField() const { return indexField_; }
  QLineEdit* SearchField() const { return searchField_; }
  QListWidget* SearchResults() const { return results_; }

 private:
  bool Load(const QString& folder);
  void BuildViews();
  void ShowProblem(const QString& text);

  QHelpEngine* engine_ = nullptr;
  QUrl startPage_;
  std::vector<HelpPage> pages_;
  QTabWidget* tabs_ = nullptr;
  QTextBrowser* browser_ = nullptr;
  QLineEdit* indexField_ = nullptr;
  QLineEdit* searchField_ = nullptr;
  QListWidget* results_ = nullptr;
  QString problem_;  // the notice shown instead of the help
  QString lastQuery_;
  bool placed_ = false;
};

}  // namespace pyra
