// The Path page: the ring timers of the current adapter's MAC (requested,
// negotiated, maximum and valid-transmission times) and the three PATH timer
// bounds the station uses in the claim process. The bounds are set with
// sliders in whole milliseconds that keep
// TVX lower bound <= Max T-Req <= T-Max lower bound while they are dragged,
// and are written to the adapter together in one request.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "pages/page_captions.h"
#include "pages/page_sets.h"
#include "pages/page_support.h"
#include "pages/property_page.h"
#include "present/label_pairs.h"
#include "present/path_timers.h"

class QLabel;
class QPushButton;
class QSlider;

namespace quivera {

class AdapterList;
class UiServices;

class CPathPage : public PropertyPage {
  Q_OBJECT

 public:
  // 'ui' (may be null: the page then opens its own message boxes) tells the
  // operator of a refused set; it must outlive the page.
  explicit CPathPage(AdapterList& adapters, QWidget* parent = nullptr, UiServices* ui = nullptr);
  ~CPathPage() override;

  // 'reload' = 1 reads the three bounds and puts them on the sliders (an
  // unsaved slider edit is dropped, "&Set" and "&Cancel" grey); every
  // refresh reads the four MAC timers. A read that fails keeps what was there
  // (nothing, after a switch from another adapter).
  void Refresh(int reload, int show) override;
  // Prints the seven rows in one box.
  void Print(PrintSurface& surface, int part) override;
  // Nothing on this page counts.
  void ClearCounters() override {}

  // The slider positions, in milliseconds.
  PathBounds sliderBounds() const;

  // The controls, for tests.
  QSlider* tmaxSlider() const { return sliders_[0]; }
  QSlider* treqSlider() const { return sliders_[1]; }
  QSlider* tvxSlider() const { return sliders_[2]; }
  QLabel* boundField(int row) const;  // 0 T-Max, 1 Max T-Req, 2 TVX
  QLabel* timerField(int row) const;  // 0 T-Req, 1 T-Neg, 2 T-Max, 3 TVX
  QLabel* captionLabel(PathLabel label) const;
  QPushButton* setButton() const { return set_button_; }
  QPushButton* cancelButton() const { return cancel_button_; }
  QPushButton* defaultButton() const { return default_button_; }

 private slots:
  void OnSliderMoved();
  void OnSet();
  void OnCancel();
  void OnDefault();

 private:
  // Reads the three bounds; each one read is stored and, with 'show', put in
  // its field and on its slider.
  void LoadBounds(int show);
  // Puts 'bounds' on the sliders and in the fields, and records them as the
  // positions the next slider movement starts from.
  void ShowBounds(const PathBounds& bounds);
  // Puts 'bounds' on the sliders (each held in its range) and records where
  // they stand.
  void PutOnSliders(const PathBounds& bounds);
  void DisableSetAndCancel();
  SetButtons Buttons() const;
  // True (after recording the refusal and greying the buttons) when the
  // guard forbids writing 'bounds'.
  bool RefusedByGuard(const PathBounds& bounds);
  // The three bounds of one PathTimers write as the change record names them.
  static std::string BoundsChange(const PathBounds& bounds);
  // The bounds last read, "165/8/2ms"; empty before the first read.
  std::string StoredBounds() const;
  // Writes 'bounds' in one PathTimers request; a refusal is told. Then
  // refreshes in full, so the page shows what the adapter holds.
  void WriteBounds(const PathBounds& bounds);

  AdapterList& adapters_;
  std::unique_ptr<UiServices> own_ui_;
  UiServices& ui_;

  // Texts of the last refresh, printed: the bounds as bare millisecond
  // numbers, the MAC timers with their unit.
  std::array<std::string, 3> bound_texts_;
  std::array<std::string, 4> timer_texts_;
  // The positions where the previous slider movement ended.
  PathBounds recorded_{};
  CaptionSwitch captions_switch_;
  ShownAdapter shown_adapter_;

  std::array<QSlider*, 3> sliders_{};
  std::array<QLabel*, 3> bound_fields_{};
  std::array<QLabel*, 4> timer_fields_{};
  std::array<QLabel*, 7> captions_{};
  QPushButton* set_button_ = nullptr;
  QPushButton* cancel_button_ = nullptr;
  QPushButton* default_button_ = nullptr;
};

}  // namespace quivera
