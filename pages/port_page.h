// The Port page of one port (0 or 1) of the current adapter: the port's state
// and types, its link error monitor against baselines the user can reset,
// the link error rate cutoff and alarm with Set / Cancel / Default, and the
// port's LED, which blinks on a timer of the page's own.
#pragma once

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "pages/page_captions.h"
#include "pages/page_support.h"
#include "pages/page_sets.h"
#include "pages/port_page_logic.h"
#include "pages/property_page.h"
#include "present/counter64.h"
#include "present/label_pairs.h"

class QLabel;
class QPushButton;
class QSlider;

namespace quivera {

class AdapterList;
class UiServices;

class CPORTPage : public PropertyPage {
  Q_OBJECT

 public:
  // One caption and one field per caption pair of the port (PortLabel).
  static constexpr size_t kValues = 13;

  // Starts a timer of 'period_ms' on 'page' and returns its identifier, or 0
  // when no timer could be had (as QObject::startTimer does).
  using LedTimerStarter = std::function<int(QObject& page, int period_ms)>;

  // 'port' (0 or 1) is the instance of every per-port item the page reads or
  // sets. Messages go through 'ui' (not owned; it must outlive the page), or
  // through message boxes of the page's own when null. 'start_timer' replaces
  // QObject::startTimer for the LED timer. When the timer cannot be had the
  // page says "Could Not Allocate LED Timer." and goes on without it (the LED
  // then changes only when the page is activated).
  CPORTPage(AdapterList& adapters, int port, QWidget* parent = nullptr, UiServices* ui = nullptr,
            LedTimerStarter start_timer = {});
  ~CPORTPage() override;

  int port() const { return port_; }

  // Reads the port's values. 'reload' also re-reads the LER cutoff and alarm
  // (and, with 'show', moves the sliders to them). 'show' = 1 writes the
  // controls; otherwise only the texts kept for printing change. A 32-bit
  // value whose read fails keeps its previous text (none after a switch from
  // another adapter); a counter whose read fails counts as 0. A full
  // reload with 'show' drops a slider edit: "&Set" and "&Cancel" grey. The
  // three buttons follow the set guard (page_sets.h).
  void Refresh(int reload, int show) override;
  // Prints the page's sheet from the stored texts, captions by "SNMPLabels".
  void Print(PrintSurface& surface, int part) override;
  // Makes the LEM counts, LEM rejects and LCT failures read now the
  // baselines (a failed read keeps its old one), then refreshes in full.
  void ClearCounters() override;

  // What becoming the visible page does: captions set again, a full refresh,
  // one LED update, "&Set" and "&Cancel" greyed.
  void Activate();
  // One step of the LED: the phase inverts, and the picture and the colour
  // name follow the LED state last read.
  void UpdateLed();

  // For tests and the window.
  QLabel* captionLabel(PortLabel value) const;
  QLabel* valueField(PortLabel value) const;
  QSlider* cutoffSlider() const { return cutoff_slider_; }
  QSlider* alarmSlider() const { return alarm_slider_; }
  QPushButton* setButton() const { return set_button_; }
  QPushButton* cancelButton() const { return cancel_button_; }
  QPushButton* defaultButton() const { return default_button_; }
  QLabel* ledPicture() const { return led_picture_; }
  LedColour ledColour() const { return led_colour_; }
  const std::string& ledColourText() const { return led_colour_text_; }
  // 0 when the page runs without its LED timer.
  int ledTimerId() const { return led_timer_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private slots:
  void OnSliderMoved();
  void OnSet();
  void OnCancel();
  void OnDefault();

 private:
  // Reads the LER cutoff or alarm; with 'show' into its field and slider.
  void LoadLerValue(PortLabel value, int show);
  void ShowLerValue(PortLabel value, int number);
  // Sends one LER value; true when the adapter took it.
  bool SetLerValue(PortLabel value, int number);
  // Sends both LER values, tells the operator when the adapter refused one,
  // and shows what the adapter holds.
  void SetLerValues(int cutoff, int alarm);
  void ShowText(PortLabel value, int show);
  SetButtons Buttons() const;
  // "fddimibPORTLerCutoff.port0=7": one LER write as the change record
  // names it.
  std::string LerChange(PortLabel value, int number) const;

  AdapterList& adapters_;
  const int port_;
  std::unique_ptr<UiServices> own_ui_;
  UiServices& ui_;  // after own_ui_, which it may refer to

  std::array<std::string, kValues> texts_;
  std::array<Counter64, 3> baselines_{};  // LEM counts, LEM rejects, LCT failures
  uint32_t led_state_ = 0;
  LedBlinker blinker_;
  LedColour led_colour_ = LedColour::Grey;
  std::string led_colour_text_;
  int led_timer_ = 0;
  CaptionSwitch captions_switch_;
  ShownAdapter shown_adapter_;

  std::array<QLabel*, kValues> captions_{};
  std::array<QLabel*, kValues> fields_{};
  QSlider* cutoff_slider_ = nullptr;
  QSlider* alarm_slider_ = nullptr;
  QPushButton* set_button_ = nullptr;
  QPushButton* cancel_button_ = nullptr;
  QPushButton* default_button_ = nullptr;
  QLabel* led_picture_ = nullptr;
};

}  // namespace quivera
