// The Flash page: the adapter's flash memory as text lines in a fixed-pitch
// list (the driver parameter block, the serial-number block or one of the
// four error-log entries), with radio groups for the object, the entry, the
// data format, the byte order and the grouping. It prints the five flash
// sheets of the print job.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "pages/flash_page_logic.h"
#include "pages/property_page.h"

class QGroupBox;
class QListWidget;
class QRadioButton;

namespace quivera {

class AdapterList;

class CFlashPage2 : public PropertyPage {
  Q_OBJECT

 public:
  explicit CFlashPage2(AdapterList& adapters, QWidget* parent = nullptr);
  ~CFlashPage2() override;

  // The list follows only the page's own buttons, not the view's timer. When
  // the current adapter is not the one the list was filled from, the
  // firmware revision is read again and the list refilled, so the page never
  // shows one adapter's flash under another's title.
  void Refresh(int reload, int show) override;
  // Prints flash sheet 'part' (6 .. 10, see FlashSheetLines); nothing for
  // any other part.
  void Print(PrintSurface& surface, int part) override;
  // Nothing to clear.
  void ClearCounters() override;

  // The options the buttons show now.
  FlashOptions Options() const;
  // The firmware revision text of the "Firmware Revision = " line.
  const std::string& FirmwareRevision() const { return revision_.text(); }

  // The controls, for tests; nullptr outside the ranges.
  QListWidget* lineList() const { return list_; }
  QRadioButton* objectButton(int i) const;    // Driver Private, Serial Number, Error Log
  QRadioButton* entryButton(int i) const;     // 0 .. 3
  QRadioButton* formatButton(int i) const;    // Hex, Ascii
  QRadioButton* orderButton(int i) const;     // Big Endian, Little Endian
  QRadioButton* sizeButton(int i) const;      // Byte, Word, Long
  QGroupBox* group(FlashOptionGroup which) const;

 private:
  void OnOptionClicked(FlashOptionGroup group);
  void ShowGroups();
  void FillList();

  AdapterList& adapters_;
  FirmwareRevisionCache revision_;
  // The adapter (its index in the list) the list was last filled from.
  int filled_for_ = -1;
  std::unique_ptr<TextLines> lines_;

  QListWidget* list_ = nullptr;
  std::array<QGroupBox*, 5> groups_{};
  std::array<QRadioButton*, 3> object_buttons_{};
  std::array<QRadioButton*, 4> entry_buttons_{};
  std::array<QRadioButton*, 2> format_buttons_{};
  std::array<QRadioButton*, 2> order_buttons_{};
  std::array<QRadioButton*, 3> size_buttons_{};
};

}  // namespace quivera
