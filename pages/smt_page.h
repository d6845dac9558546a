// The SMT page: the station's SMT objects and its connection policy.
// This release shows a notice in its place; the class keeps the page's name
// and constructor so that the sheet is built as it will be.
#pragma once

#include "pages/later_release_page.h"

namespace quivera {

class AdapterList;

class CSMTPage : public LaterReleasePage {
  Q_OBJECT

 public:
  explicit CSMTPage(AdapterList& /*adapters*/, QWidget* parent = nullptr)
      : LaterReleasePage(QStringLiteral("SMT"), parent) {}
};

}  // namespace quivera
