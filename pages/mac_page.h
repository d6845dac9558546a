// The MAC page: MAC objects, addresses, ring purger, full duplex and multicast list.
// This release shows a notice in its place; the class keeps the page's name
// and constructor so that the sheet is built as it will be.
#pragma once

#include "pages/later_release_page.h"

namespace quivera {

class AdapterList;

class CMACPage : public LaterReleasePage {
  Q_OBJECT

 public:
  explicit CMACPage(AdapterList& /*adapters*/, QWidget* parent = nullptr)
      : LaterReleasePage(QStringLiteral("MAC"), parent) {}
};

}  // namespace quivera
