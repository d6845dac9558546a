// The about box.
#include "app/ui/about_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QVBoxLayout>

#include "app/ui/indicator_icons.h"

namespace quivera {

namespace {

constexpr char kLegalNotice[] =
    "Copyright (C) Marbeck. All rights reserved.\n"
    "This program is licensed for use with Marbeck FDDI adapters.\n"
    "It is protected by copyright law: copying or distributing it,\n"
    "or any part of it, without permission is prohibited.";

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About QUIVERA/FDDI"));
  setModal(true);

  auto* icon = new QLabel;
  icon->setPixmap(IndicatorPixmap(Indicator::Application, 32));
  icon->setAlignment(Qt::AlignTop | Qt::AlignLeft);

  auto* version = new QLabel(QStringLiteral("QUIVERA/FDDI Version 1.1"));
  auto* notice = new QLabel(QString::fromLatin1(kLegalNotice));
  notice->setObjectName(QStringLiteral("legalNotice"));

  auto* build_caption = new QLabel(QStringLiteral("Build"));
  build_ = new QLineEdit;
  build_->setReadOnly(true);
  build_->setFrame(false);
  build_->setMaximumWidth(60);
  build_->setObjectName(QStringLiteral("buildNumber"));
  build_caption->setBuddy(build_);

  auto* build_row = new QHBoxLayout;
  build_row->addWidget(build_caption);
  build_row->addWidget(build_);
  build_row->addStretch(1);

  auto* text = new QVBoxLayout;
  text->addWidget(version);
  text->addSpacing(6);
  text->addWidget(notice);
  text->addSpacing(6);
  text->addLayout(build_row);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* top = new QHBoxLayout;
  top->addWidget(icon);
  top->addSpacing(12);
  top->addLayout(text, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString CAboutDlg::BuildText() const { return build_->text(); }

void CAboutDlg::showEvent(QShowEvent* event) {
  build_->setText(QString::number(kBuildNumber));
  QDialog::showEvent(event);
}

}  // namespace quivera
