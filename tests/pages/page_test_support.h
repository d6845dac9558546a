// Small helpers the page tests share: clicking a check box or radio button
// where it reacts, and reading a recorded printout.
#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <string>
#include <vector>

#include "present/recording_surface.h"

namespace quivera {

// Clicks a check box on its indicator: a wide box reacts only to clicks on
// its indicator and text, which need not cover its middle.
inline void ClickIndicator(QAbstractButton* button) {
  QStyleOptionButton option;
  option.initFrom(button);
  option.text = button->text();
  const QRect indicator =
      button->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, button);
  QTest::mouseClick(button, Qt::LeftButton, {}, indicator.center());
}

// The texts written at x, top to bottom, in the order they were written.
inline std::vector<std::string> TextsAtX(const RecordingSurface& surface, int x) {
  std::vector<std::string> texts;
  for (const PrintCall& call : surface.Texts()) {
    if (call.x == x) texts.push_back(call.text);
  }
  return texts;
}

}  // namespace quivera
