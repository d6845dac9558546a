// The MAC Counters page: twelve 64-bit MAC event counters of the current
// adapter, each shown relative to a baseline that clearing counters resets.
// Its captions are SNMP object names or plain labels, as "SNMPLabels" says.
#pragma once

#include <array>
#include <string>

#include "pages/page_captions.h"
#include "pages/property_page.h"
#include "present/counter64.h"

class QLabel;

namespace quivera {

class AdapterList;

class CMACCountPage : public PropertyPage {
  Q_OBJECT

 public:
  static constexpr int kRows = 12;

  explicit CMACCountPage(AdapterList& adapters, QWidget* parent = nullptr);

  // Reads the twelve counters. A counter that cannot be read counts as 0 for
  // this refresh (so with a non-zero baseline its difference wraps around).
  // With 'show' the captions follow a changed "SNMPLabels" and the fields
  // show the new texts; without, only the texts kept for printing change.
  void Refresh(int reload, int show) override;
  // Prints the captions (by "SNMPLabels" now) and the stored texts.
  void Print(PrintSurface& surface, int part) override;
  // Makes each counter's current value its baseline (a row whose read fails
  // keeps its old one) and refreshes in full: every row then shows 0. No
  // request other than the reads goes to the adapter.
  void ClearCounters() override;

  // The controls, for tests; nullptr outside 0..kRows-1.
  QLabel* captionLabel(int row) const;
  QLabel* counterField(int row) const;

 private:
  AdapterList& adapters_;
  std::array<Counter64, kRows> baselines_{};
  std::array<std::string, kRows> texts_;
  CaptionSwitch captions_switch_;

  std::array<QLabel*, kRows> captions_{};
  std::array<QLabel*, kRows> fields_{};
};

}  // namespace quivera
