// What every property page offers the view besides being a tab: refresh,
// print and clear counters. Pages never keep an adapter: they ask the
// AdapterList for the current one on every read.
#pragma once

#include <QWidget>

namespace quivera {

class PrintSurface;

class PropertyPage : public QWidget {
  Q_OBJECT

 public:
  using QWidget::QWidget;

  // Re-reads the page's values from the current adapter. reload = 1 also
  // reloads the editable fields from the adapter; show = 1 updates the
  // controls, show = 0 only recomputes the texts kept for printing.
  virtual void Refresh(int reload, int show) = 0;
  // Draws one sheet of the page; 'part' is the sheet number for the Flash
  // page and 0 for the others.
  virtual void Print(PrintSurface& surface, int part) = 0;
  // The page's own clearing of its displayed counters.
  virtual void ClearCounters() = 0;
};

}  // namespace quivera
