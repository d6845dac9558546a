// The Path page: the negotiated MAC timers and the path timer bounds.
// This release shows a notice in its place; the class keeps the page's name
// and constructor so that the sheet is built as it will be.
#pragma once

#include "pages/later_release_page.h"

namespace quivera {

class AdapterList;

class CPathPage : public LaterReleasePage {
  Q_OBJECT

 public:
  explicit CPathPage(AdapterList& /*adapters*/, QWidget* parent = nullptr)
      : LaterReleasePage(QStringLiteral("Path"), parent) {}
};

}  // namespace quivera
