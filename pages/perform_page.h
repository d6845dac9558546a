// The Performance page: three live gauges of how busy the ring and the
// adapter are (fiber utilisation, port utilisation and frames per interval),
// computed by the current adapter from its performance samples. It has no
// settable values, prints nothing and has no counters to clear.
#pragma once

#include <array>
#include <cstdint>

#include "pages/page_support.h"
#include "pages/property_page.h"

class QLabel;
class QProgressBar;

namespace quivera {

class AdapterList;

class CPerformPage : public PropertyPage {
  Q_OBJECT

 public:
  enum Gauge { kFiberGauge, kPortGauge, kFrameGauge, kGauges };

  explicit CPerformPage(AdapterList& adapters, QWidget* parent = nullptr);

  // Fetches the three values and moves the gauges; both flags are ignored
  // (the page always updates its controls). A value that is not available
  // leaves its gauge and text as they were.
  void Refresh(int reload, int show) override;
  // The Performance page is never printed: nothing is drawn.
  void Print(PrintSurface& surface, int part) override;
  // Nothing to clear.
  void ClearCounters() override;

  // The largest frame count seen since the page was made (starts at 1).
  uint32_t largestFrameCount() const { return largest_frames_; }

  // The controls, for tests; nullptr outside the ranges.
  QProgressBar* gaugeBar(int gauge) const;
  QLabel* valueText(int gauge) const;
  // Scale labels under a gauge: 0 left, 1 middle, 2 right.
  QLabel* scaleLabel(int gauge, int position) const;

 private:
  AdapterList& adapters_;
  uint32_t largest_frames_ = 1;
  ShownAdapter shown_adapter_;

  std::array<QProgressBar*, kGauges> bars_{};
  std::array<QLabel*, kGauges> values_{};
  std::array<std::array<QLabel*, 3>, kGauges> scales_{};
};

}  // namespace quivera
