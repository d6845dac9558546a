// The Flash page: serial number, driver parameters and error log from the flash.
// This release shows a notice in its place; the class keeps the page's name
// and constructor so that the sheet is built as it will be.
#pragma once

#include "pages/later_release_page.h"

namespace quivera {

class AdapterList;

class CFlashPage2 : public LaterReleasePage {
  Q_OBJECT

 public:
  explicit CFlashPage2(AdapterList& /*adapters*/, QWidget* parent = nullptr)
      : LaterReleasePage(QStringLiteral("Flash"), parent) {}
};

}  // namespace quivera
