// The Port page of one port (0 or 1): type, state, link error monitor values
// and the port's indicator.
// This release shows a notice in its place; the class keeps the page's name
// and constructor so that the sheet is built as it will be.
#pragma once

#include "pages/later_release_page.h"

namespace quivera {

class AdapterList;

class CPORTPage : public LaterReleasePage {
  Q_OBJECT

 public:
  CPORTPage(AdapterList& /*adapters*/, int port, QWidget* parent = nullptr)
      : LaterReleasePage(QStringLiteral("Port %1").arg(port), parent), port_(port) {}

  // The port this page shows (0 or 1).
  int port() const { return port_; }

 private:
  int port_;
};

}  // namespace quivera
