#include "ui/filter/filter_dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "engine/file_time.h"
#include "ui/filter/caption_check_box.h"

namespace {

QDate ToQDate(const pff::WallClock& clock) { return QDate(clock.Year, clock.Month, clock.Day); }

}  // namespace

FilterDialog::FilterDialog(const QStringList& filterListItems, pff::DateStyle timeDate, const QDate& today,
                           QWidget* parent)
    : QDialog(parent), timeDate_(timeDate), today_(today) {
  setObjectName("filterDialog");
  setWindowTitle("Set Advanced Filter");
  BuildLayout();
  BuildCalendar();
  OrderTabStops();
  LoadInitialState(filterListItems);
  ConnectHandlers();
  SizeToFitScreen();
}

// The controls go with the QWidget part, after this part is gone; focus
// moving among them then must not reach the calendar handler.
FilterDialog::~FilterDialog() { disconnect(focusWatch_); }

void FilterDialog::BuildLayout() {
  auto* leftColumn = new QVBoxLayout;
  leftColumn->addWidget(dateFrame_ = BuildDateFrame());
  leftColumn->addWidget(nameFrame_ = BuildNameFrame());
  leftColumn->addWidget(sizeFrame_ = BuildSizeFrame());
  auto* columns = new QHBoxLayout;
  columns->addLayout(leftColumn);
  columns->addWidget(typeFrame_ = BuildTypeFrame());

  cancelButton_ = new QPushButton("Cancel");
  cancelButton_->setObjectName("cancelButton");
  okButton_ = new QPushButton("OK");
  okButton_->setObjectName("okButton");
  // Return anywhere presses OK and Escape presses Cancel, as in any dialog;
  // a focused button still takes Return for itself.
  cancelButton_->setAutoDefault(false);
  okButton_->setAutoDefault(false);
  okButton_->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancelButton_);
  buttons->addWidget(okButton_);

  auto* dialog = new QVBoxLayout(this);
  dialog->addLayout(columns);
  dialog->addLayout(buttons);

  // The check boxes sit on the dialog over the blanks that open each caption.
  dateEnabled_ = new CaptionCheckBox(dateFrame_, this);
  dateEnabled_->setObjectName("dateEnabled");
  nameEnabled_ = new CaptionCheckBox(nameFrame_, this);
  nameEnabled_->setObjectName("nameEnabled");
  sizeEnabled_ = new CaptionCheckBox(sizeFrame_, this);
  sizeEnabled_->setObjectName("sizeEnabled");
  typeEnabled_ = new CaptionCheckBox(typeFrame_, this);
  typeEnabled_->setObjectName("typeEnabled");
}

void FilterDialog::BuildCalendar() {
  // Not part of the layout: it opens over the controls below the date boxes.
  calendar_ = new QCalendarWidget(this);
  calendar_->setObjectName("calendar");
  // Only days whose bounds fit a stored time can be picked (a To date also needs the next day).
  QDate first = ToQDate(pff::WallClockFromFileTime(std::numeric_limits<int32_t>::min())).addDays(1);
  QDate last = ToQDate(pff::WallClockFromFileTime(std::numeric_limits<int32_t>::max())).addDays(-1);
  calendar_->setDateRange(first, last);
  calendar_->setSelectedDate(today_);
  calendar_->hide();
}

void FilterDialog::OrderTabStops() {
  // Down the left column (date, name, size), then the type list on the right,
  // then the buttons: the order the eye reads the dialog in.
  using Stops = QList<QWidget*>;
  const Stops date{dateEnabled_, dateRows_->button(0), fromDate_, toDate_, dateRows_->button(1),
                   months_,      dateRows_->button(2), days_};
  const Stops name{nameEnabled_, nameContains_};
  const Stops size{sizeEnabled_, sizeModes_->button(0), sizeModes_->button(1), sizeModes_->button(2),
                   sizeKb_,      toleranceKb_};
  const Stops type{typeEnabled_, typeModes_->button(0), typeModes_->button(1), types_};
  const Stops order = date + name + size + type + Stops{cancelButton_, okButton_};
  for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
  // The frames start disabled, so the first check box is where the keyboard begins.
  dateEnabled_->setFocus();
}

void FilterDialog::SizeToFitScreen() {
  auto needed = [this] {
    SpaceForFont();
    return layout()->sizeHint();
  };
  QSize size = needed();
  QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
  // Room for a title bar and the window's frame.
  const QSize room = screen ? screen->availableGeometry().size() - QSize(16, 48) : size;
  auto fits = [&room](const QSize& wanted) {
    return wanted.width() <= room.width() && wanted.height() <= room.height();
  };
  // A small or strongly scaled screen: a smaller font, until the whole dialog fits.
  QFont smaller = font();
  for (int step = 0; step < 12 && !fits(size) && QFontMetrics(smaller).height() > 9; ++step) {
    if (smaller.pointSizeF() > 0)
      smaller.setPointSizeF(smaller.pointSizeF() * 0.94);
    else
      smaller.setPixelSize(std::max(1, static_cast<int>(smaller.pixelSize() * 0.94)));
    setFont(smaller);
    size = needed();
  }
  setFixedSize(size);
}

void FilterDialog::SpaceForFont() {
  // Gaps in proportion to the font, so that a smaller font shrinks the whole
  // dialog and not only its texts. Nested rows take their parent's spacing.
  const int line = fontMetrics().height();
  const int margin = std::max(3, line * 3 / 5);
  for (QWidget* owner :
       std::initializer_list<QWidget*>{this, dateFrame_, nameFrame_, sizeFrame_, typeFrame_}) {
    owner->layout()->setContentsMargins(margin, margin, margin, margin);
    owner->layout()->setSpacing(std::max(2, line * 2 / 5));
  }
  for (QScrollBar* spinner : {monthsSpinner_, daysSpinner_, sizeSpinner_, toleranceSpinner_})
    spinner->setFixedWidth(line * 4 / 3);
  for (QPushButton* button : {cancelButton_, okButton_}) button->setMinimumSize(line * 5, line * 2);
  // The layouts cache what their controls asked for in the previous font.
  for (QLayout* layout : findChildren<QLayout*>()) layout->invalidate();
  // The date and size frames are as tall as each other, the size frame's
  // options standing apart from its amounts.
  sizeFrame_->setMinimumHeight(dateFrame_->sizeHint().height());
}

void FilterDialog::LoadInitialState(const QStringList& filterListItems) {
  pickingFromDate_ = true;
  dialogFilter_ = pff::FilterSettings{};
  if (timeDate_ != pff::DateStyle::Other) {
    fromDate_->setText(FormatDate(today_.addDays(-10)));
    toDate_->setText(FormatDate(today_));
  }
  for (QGroupBox* frame : {dateFrame_, nameFrame_, sizeFrame_, typeFrame_}) frame->setEnabled(false);
  // Item 0 is " Show All", which is no type.
  for (int i = 1; i < filterListItems.size(); ++i) types_->addItem(filterListItems[i]);
}

void FilterDialog::ConnectHandlers() {
  connect(dateEnabled_, &QCheckBox::toggled, this, &FilterDialog::OnDateEnabledToggled);
  connect(nameEnabled_, &QCheckBox::toggled, this, &FilterDialog::OnNameEnabledToggled);
  connect(sizeEnabled_, &QCheckBox::toggled, this, &FilterDialog::OnSizeEnabledToggled);
  connect(typeEnabled_, &QCheckBox::toggled, this, &FilterDialog::OnTypeEnabledToggled);

  // An option's handler runs when it becomes selected, by a click or from code.
  connect(dateRows_, &QButtonGroup::idToggled, this, [this](int row, bool on) {
    if (on) OnDateRowChosen(row);
  });
  connect(sizeModes_, &QButtonGroup::idToggled, this, [this](int, bool on) {
    if (on) RecomputeSizeBounds();
  });
  connect(typeModes_, &QButtonGroup::idToggled, this, [this](int, bool on) {
    if (on) RebuildTypeCriterion();
  });

  connect(days_, &QLineEdit::textChanged, this, &FilterDialog::OnDaysEdited);
  connect(months_, &QLineEdit::textChanged, this, &FilterDialog::OnMonthsEdited);
  connect(daysSpinner_, &QScrollBar::valueChanged, this,
          [this](int value) { days_->setText(QString::number(value)); });
  connect(monthsSpinner_, &QScrollBar::valueChanged, this,
          [this](int value) { months_->setText(QString::number(value)); });
  connect(sizeKb_, &QLineEdit::textChanged, this, &FilterDialog::RecomputeSizeBounds);
  connect(toleranceKb_, &QLineEdit::textChanged, this, &FilterDialog::RecomputeSizeBounds);
  connect(sizeSpinner_, &QScrollBar::valueChanged, this, [this] { StepBox(sizeKb_, sizeSpinner_); });
  connect(toleranceSpinner_, &QScrollBar::valueChanged, this,
          [this] { StepBox(toleranceKb_, toleranceSpinner_); });
  connect(nameContains_, &QLineEdit::textChanged, this, &FilterDialog::OnNameTextEdited);
  connect(types_, &QListWidget::itemSelectionChanged, this, &FilterDialog::RebuildTypeCriterion);

  connect(calendar_, &QCalendarWidget::clicked, this, &FilterDialog::OnCalendarDatePicked);
  connect(calendar_, &QCalendarWidget::activated, this, &FilterDialog::OnCalendarDatePicked);
  // The calendar closes when the focus moves to another control of the dialog.
  focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (calendar_->isVisible() && now && isAncestorOf(now) && now != calendar_ &&
        !calendar_->isAncestorOf(now))
      HideCalendar();
  });

  connect(okButton_, &QPushButton::clicked, this, &FilterDialog::OnOkClicked);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

bool FilterDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (watched == fromDate_) ShowCalendar(true);
    if (watched == toDate_) ShowCalendar(false);
  }
  return QDialog::eventFilter(watched, event);
}
