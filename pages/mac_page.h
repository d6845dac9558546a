// The MAC page: the MAC objects of the current adapter. Its local addresses
// and multicast address list (with protocol names), its neighbours, path and
// ring states, the ring purger and the full-duplex state. Nothing on it is
// settable; the ring purge errors count from a baseline that clearing
// counters moves.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "pages/mac_page_logic.h"
#include "pages/page_captions.h"
#include "pages/page_support.h"
#include "pages/property_page.h"
#include "present/label_pairs.h"
#include "present/multicast_names.h"

class QLabel;
class QListWidget;

namespace quivera {

class AdapterList;

class CMACPage : public PropertyPage {
  Q_OBJECT

 public:
  static constexpr int kCaptions = 13;  // one per MacLabel

  explicit CMACPage(AdapterList& adapters, QWidget* parent = nullptr);

  // Reads every value. An item that cannot be read keeps its previous text
  // on screen and in print, unless that text was another adapter's (after a
  // switch): it is then empty. The multicast list box is filled again only when
  // the adapter's list or one of the two address preferences changed, so the
  // operator's selection and scroll position survive every other refresh.
  // 'reload' does not matter (nothing here is editable); 'show' = 0 updates
  // only the texts kept for printing.
  void Refresh(int reload, int show) override;
  // Prints the stored texts, the multicast entries in adapter order.
  void Print(PrintSurface& surface, int part) override;
  // Moves the ring purge errors baseline by the count its field shows, then
  // refreshes in full: the field then counts from this moment.
  void ClearCounters() override;

  // The controls, for tests.
  QLabel* captionLabel(MacLabel label) const;
  QLabel* valueField(MacLabel label) const;
  QLabel* currentAddressField() const { return current_field_; }
  QLabel* permanentAddressField() const { return permanent_field_; }
  QListWidget* multicastList() const { return multicast_box_; }

 private:
  // Empties every value (text, field and list) of the adapter shown before.
  void ForgetAdapter();
  // Reads the multicast list and makes its texts again when it changed.
  void RefreshMulticastList(int show, const AddressPreferences& preferences);

  AdapterList& adapters_;
  MulticastNames names_;

  // Texts of the last refresh, printed.
  std::string current_text_;
  std::string permanent_text_;
  std::array<std::string, kCaptions> texts_;  // by MacLabel
  MulticastListCopy multicast_;
  std::vector<std::string> multicast_texts_;  // adapter order
  uint32_t purge_errors_baseline_ = 0;
  int64_t purge_errors_shown_ = 0;
  CaptionSwitch captions_switch_;
  ShownAdapter shown_adapter_;

  std::array<QLabel*, kCaptions> captions_{};
  std::array<QLabel*, kCaptions> fields_{};
  QLabel* current_field_ = nullptr;
  QLabel* permanent_field_ = nullptr;
  QListWidget* multicast_box_ = nullptr;
};

}  // namespace quivera
