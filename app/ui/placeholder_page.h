// A page for a management area whose own page is not in this build yet: it
// says so on screen and prints the area's title frame.
#pragma once

#include "pages/property_page.h"

namespace quivera {

class AdapterList;

class CPlaceholderPage : public PropertyPage {
  Q_OBJECT

 public:
  CPlaceholderPage(AdapterList& adapters, int sheet_index, QWidget* parent = nullptr);

  void Refresh(int reload, int show) override;
  void Print(PrintSurface& surface, int part) override;
  void ClearCounters() override {}

 private:
  int sheet_index_;
};

}  // namespace quivera
