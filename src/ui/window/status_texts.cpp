#include "ui/window/status_texts.h"

#include <QLabel>
#include <QStatusBar>
#include <QToolButton>

#include "listing/format_value.h"

QString Grouped(int64_t number) { return QString::fromStdString(pff::GroupDigits(number)); }

QString FileCount(int64_t n) { return Grouped(n) + (n == 1 ? " file" : " files"); }

QString HumanSize(int64_t bytes) { return QString::fromStdString(pff::FormatByteSize(bytes)); }

StatusPanel::StatusPanel(QStatusBar* bar)
    : QObject(bar),
      bar_(bar),
      counts_(new QLabel(bar)),
      selection_(new QLabel(bar)),
      filter_(new QLabel(bar)),
      clearFilter_(new QToolButton(bar)) {
  counts_->setObjectName("statusCounts");
  selection_->setObjectName("statusSelection");
  filter_->setObjectName("statusFilter");
  clearFilter_->setObjectName("statusClearFilter");
  clearFilter_->setText("Show All");
  clearFilter_->setToolTip("Clear the filter and list every entry");
  clearFilter_->setAutoRaise(true);
  bar_->addPermanentWidget(filter_);
  bar_->addPermanentWidget(clearFilter_);
  bar_->addPermanentWidget(selection_);
  bar_->addPermanentWidget(counts_);
  ShowFilter(QString());
  connect(clearFilter_, &QToolButton::clicked, this, &StatusPanel::clearFilterClicked);
}

void StatusPanel::ShowCounts(bool loaded, int64_t listed, int64_t total) {
  counts_->setText(loaded ? Grouped(listed) + " of " + Grouped(total) + " entries listed" : QString());
}

void StatusPanel::ShowSelection(int64_t rows, int64_t bytes) {
  selection_->setText(rows > 0 ? Grouped(rows) + " selected (" + HumanSize(bytes) + ")" : QString());
}

void StatusPanel::ShowFilter(const QString& text) {
  filter_->setText(text.isEmpty() ? QString() : "Filter: " + text);
  filter_->setVisible(!text.isEmpty());
  clearFilter_->setVisible(!text.isEmpty());
}

void StatusPanel::ShowResult(const QString& text) { bar_->showMessage(text); }

QString StatusPanel::Result() const { return bar_->currentMessage(); }
QString StatusPanel::Counts() const { return counts_->text(); }
QString StatusPanel::Selection() const { return selection_->text(); }
QString StatusPanel::Filter() const { return filter_->text(); }
