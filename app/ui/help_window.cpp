// The help window over the built-in help pages.
#include "app/ui/help_window.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/ui/indicator_icons.h"

namespace quivera {

namespace {

constexpr char kHelpRoot[] = "qrc:/help/";
constexpr char kContentsFile[] = "index.html";
constexpr char kUsingHelpFile[] = "using_help.html";

const HelpTopic kTopics[] = {
    {"index.html", "Contents"},
    {"overview.html", "About QUIVERA/FDDI"},
    {"general_page.html", "General page"},
    {"performance_page.html", "Performance page"},
    {"smt_page.html", "SMT page"},
    {"mac_page.html", "MAC page"},
    {"mac_counters_page.html", "MAC Counters page"},
    {"path_page.html", "Path page"},
    {"flash_page.html", "Flash page"},
    {"port_page.html", "Port pages"},
    {"file_menu.html", "File menu"},
    {"adapter_menu.html", "Adapter menu"},
    {"options_menu.html", "Options menu"},
    {"help_menu.html", "Help menu"},
    {"preferences.html", "Preferences dialog"},
    {"web_server.html", "Hypertext Server Configuration"},
    {"printing.html", "Printing"},
    {"settings_file.html", "Settings file"},
    {"messages.html", "Messages"},
    {"driver_upgrade.html", "Upgrading the driver"},
    {"using_help.html", "How to Use Help"},
};

QString ReadPage(const QString& file) {
  QFile page(QStringLiteral(":/help/") + file);
  if (!page.open(QIODevice::ReadOnly)) return QString();
  return QString::fromUtf8(page.readAll());
}

}  // namespace

QList<HelpTopic> CHelpWindow::Topics() {
  return QList<HelpTopic>(std::begin(kTopics), std::end(kTopics));
}

CHelpWindow::CHelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  InitUiResources();
  setWindowTitle(QStringLiteral("QUIVERA/FDDI Help"));
  setWindowIcon(IndicatorIcon(Indicator::Application));

  browser_ = new QTextBrowser;
  browser_->setOpenExternalLinks(false);
  browser_->setSearchPaths({QStringLiteral(":/help")});

  contents_ = new QListWidget;
  for (const HelpTopic& topic : kTopics) {
    auto* item = new QListWidgetItem(QString::fromLatin1(topic.title), contents_);
    item->setData(Qt::UserRole, QString::fromLatin1(topic.file));
  }

  search_field_ = new QLineEdit;
  search_field_->setPlaceholderText(QStringLiteral("Words to find"));
  search_field_->setClearButtonEnabled(true);
  results_ = new QListWidget;
  auto* search_page = new QWidget;
  auto* search_layout = new QVBoxLayout(search_page);
  search_layout->addWidget(new QLabel(QStringLiteral("&Type the words to find:")));
  search_layout->addWidget(search_field_);
  search_layout->addWidget(new QLabel(QStringLiteral("Topics found:")));
  search_layout->addWidget(results_, 1);
  static_cast<QLabel*>(search_layout->itemAt(0)->widget())->setBuddy(search_field_);

  side_ = new QTabWidget;
  side_->addTab(contents_, QStringLiteral("Contents"));
  side_->addTab(search_page, QStringLiteral("Search"));

  auto* back = new QToolButton;
  back->setText(QStringLiteral("< Back"));
  auto* forward = new QToolButton;
  forward->setText(QStringLiteral("Forward >"));
  auto* home = new QToolButton;
  home->setText(QStringLiteral("Contents"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(home);
  buttons->addWidget(back);
  buttons->addWidget(forward);
  buttons->addStretch(1);

  auto* splitter = new QSplitter;
  splitter->addWidget(side_);
  splitter->addWidget(browser_);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({200, 520});

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(splitter, 1);
  resize(760, 540);

  for (const HelpTopic& topic : kTopics) {
    const QString file = QString::fromLatin1(topic.file);
    QTextDocument document;
    document.setHtml(ReadPage(file));
    plain_texts_.append({file, document.toPlainText().toLower()});
  }

  connect(back, &QToolButton::clicked, browser_, &QTextBrowser::backward);
  connect(forward, &QToolButton::clicked, browser_, &QTextBrowser::forward);
  connect(home, &QToolButton::clicked, this, &CHelpWindow::ShowContents);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QToolButton::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward, &QToolButton::setEnabled);
  connect(search_field_, &QLineEdit::textChanged, this, &CHelpWindow::RunSearch);
  connect(contents_, &QListWidget::currentRowChanged, this,
          [this](int row) { OpenListed(contents_, row); });
  connect(results_, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { OpenListed(results_, results_->row(item)); });
  connect(results_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { OpenListed(results_, results_->row(item)); });
  back->setEnabled(false);
  forward->setEnabled(false);
}

void CHelpWindow::BringUp() {
  show();
  raise();
  activateWindow();
}

bool CHelpWindow::ShowTopic(const QString& file) {
  if (!QFile::exists(QStringLiteral(":/help/") + file)) return false;
  browser_->setSource(QUrl(QString::fromLatin1(kHelpRoot) + file));
  return true;
}

void CHelpWindow::ShowContents() {
  side_->setCurrentIndex(0);
  ShowTopic(QString::fromLatin1(kContentsFile));
  BringUp();
}

void CHelpWindow::ShowSearch(const QString& key) {
  side_->setCurrentIndex(1);
  search_field_->setText(key);
  RunSearch();
  BringUp();
  search_field_->setFocus();
}

void CHelpWindow::ShowUsingHelp() {
  ShowTopic(QString::fromLatin1(kUsingHelpFile));
  BringUp();
}

QStringList CHelpWindow::Search(const QString& key) const {
  const QStringList words = key.toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts);
  QStringList found;
  for (const auto& [file, text] : plain_texts_) {
    bool all = true;
    for (const QString& word : words) {
      if (!text.contains(word)) {
        all = false;
        break;
      }
    }
    if (all) found.append(file);
  }
  return found;
}

void CHelpWindow::RunSearch() {
  results_->clear();
  for (const QString& file : Search(search_field_->text())) {
    for (const HelpTopic& topic : kTopics) {
      if (file != QLatin1String(topic.file)) continue;
      auto* item = new QListWidgetItem(QString::fromLatin1(topic.title), results_);
      item->setData(Qt::UserRole, file);
    }
  }
}

void CHelpWindow::OpenListed(QListWidget* list, int row) {
  if (QListWidgetItem* item = list->item(row)) ShowTopic(item->data(Qt::UserRole).toString());
}

QString CHelpWindow::CurrentTopic() const {
  const QString path = browser_->source().path();
  return path.isEmpty() ? QString() : path.section(QLatin1Char('/'), -1);
}

}  // namespace quivera
