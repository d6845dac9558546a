// A page whose management area this release does not show yet. It takes its
// place in the sheet under its own class name, says plainly that its content
// arrives in a later release, and answers the page protocol without reading,
// printing or clearing anything.
#pragma once

#include <QString>

#include "pages/property_page.h"

class QLabel;

namespace quivera {

class LaterReleasePage : public PropertyPage {
  Q_OBJECT

 public:
  // 'title' names the page ("SMT", "Port 0") in its notice.
  explicit LaterReleasePage(const QString& title, QWidget* parent = nullptr);

  void Refresh(int reload, int show) override;
  void Print(PrintSurface& surface, int part) override;
  void ClearCounters() override;

  QLabel* notice() const { return notice_; }

 private:
  QLabel* notice_ = nullptr;
};

}  // namespace quivera
