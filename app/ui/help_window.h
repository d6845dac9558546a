// The help window: the program's help pages (shipped inside the program) in a
// browser, with a contents list and a search over every page.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;

namespace quivera {

// One help page: its resource file and title, in contents order.
struct HelpTopic {
  const char* file;  // e.g. "general_page.html"
  const char* title;
};

class CHelpWindow : public QWidget {
  Q_OBJECT

 public:
  explicit CHelpWindow(QWidget* parent = nullptr);

  // The topics in contents order.
  static QList<HelpTopic> Topics();

  // "&Contents": the contents page and list.
  void ShowContents();
  // "&Search...": the search tab with 'key' in its field (empty: every topic
  // listed) and the focus on the field.
  void ShowSearch(const QString& key);
  // "How to Use Help".
  void ShowUsingHelp();
  // Opens topic 'file'; false when there is no such page.
  bool ShowTopic(const QString& file);

  // The files of the topics whose text holds every word of 'key' (case does
  // not matter), in contents order; every topic for an empty key.
  QStringList Search(const QString& key) const;

  // The file name of the page shown ("" before any).
  QString CurrentTopic() const;
  QTextBrowser* Browser() const { return browser_; }

 private:
  void BringUp();
  void RunSearch();
  void OpenListed(QListWidget* list, int row);

  QTabWidget* side_ = nullptr;
  QListWidget* contents_ = nullptr;
  QLineEdit* search_field_ = nullptr;
  QListWidget* results_ = nullptr;
  QTextBrowser* browser_ = nullptr;
  QList<QPair<QString, QString>> plain_texts_;  // file, lower-cased page text
};

}  // namespace quivera
