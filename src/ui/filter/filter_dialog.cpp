#include "ui/filter/filter_dialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QValidator>
#include <algorithm>
#include <limits>

#include "engine/file_time.h"

namespace {

// A box's character limit for typing only: texts set by the handlers (a size
// stepped from 999999 to 1000000) are kept whole, whereas QLineEdit::setMaxLength
// would cut them.
class TypedLengthValidator : public QValidator {
 public:
  TypedLengthValidator(int maxLength, QObject* parent) : QValidator(parent), maxLength_(maxLength) {}
  State validate(QString& input, int&) const override {
    return input.size() <= maxLength_ ? Acceptable : Invalid;
  }

 private:
  int maxLength_;
};

QDate ToQDate(const pff::WallClock& clock) { return QDate(clock.Year, clock.Month, clock.Day); }

QLineEdit* MakeBox(QWidget* parent, const char* name, const QString& text) {
  auto* box = new QLineEdit(text, parent);
  box->setObjectName(name);
  return box;
}

QScrollBar* MakeSpinner(QWidget* parent, const char* name, int minimum, int maximum, int value) {
  // A vertical scroll bar keeps the spinner's direction: the upper arrow moves
  // towards the minimum.
  auto* spinner = new QScrollBar(Qt::Vertical, parent);
  spinner->setObjectName(name);
  spinner->setRange(minimum, maximum);
  spinner->setSingleStep(1);
  spinner->setPageStep(1);
  spinner->setValue(value);
  return spinner;
}

// The layout was drawn for an 8-point system font 13 pixels high. Today's
// fonts are taller and wider, so the whole dialog grows until the tightest
// captions fit: (caption, its width in twips, room taken by a box or indicator).
double LayoutScale(const QFontMetrics& metrics) {
  struct Fit {
    const char* text;
    int twips;
    int indicator;
  };
  const Fit tightest[] = {
      {"during the previous", 1695, 24}, {"Isolate File Types", 1455, 24},
      {"Exclude File Types", 1455, 24},  {"Show File(s) Modified", 1575, 4},
      {"Is At Least", 1095, 24},         {"Show File(s) If Name Contains text:", 2655, 4}};
  double scale = std::max(1.0, metrics.height() / 13.0);
  for (const Fit& fit : tightest)
    scale = std::max(scale, (metrics.horizontalAdvance(fit.text) + fit.indicator) / (fit.twips / 15.0));
  return scale;
}

}  // namespace

FilterDialog::FilterDialog(const QStringList& filterListItems, pff::DateStyle timeDate, const QDate& today,
                           QWidget* parent)
    : QDialog(parent), timeDate_(timeDate), today_(today) {
  setObjectName("frmFilter");
  setWindowTitle("Set Advanced Filter");
  pixelsPerTwip_ = FittingScale() / 15.0;
  BuildControls();
  LoadInitialState(filterListItems);
  ConnectHandlers();
}

// The controls go with the QWidget part, after this part is gone; focus
// moving among them then must not reach the calendar handler.
FilterDialog::~FilterDialog() { disconnect(focusWatch_); }

double FilterDialog::FittingScale() {
  // The dialog's design size in pixels at scale 1.
  constexpr double kWidth = 7005 / 15.0, kHeight = 4920 / 15.0;
  // Room for a title bar and the window's frame.
  constexpr int kFrameWidth = 16, kFrameHeight = 48;
  QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
  double scale = LayoutScale(QFontMetrics(font()));
  if (!screen) return scale;
  const QRect room = screen->availableGeometry();
  const double fit = std::min((room.width() - kFrameWidth) / kWidth, (room.height() - kFrameHeight) / kHeight);
  // A small or strongly scaled screen: a smaller font, until the whole dialog fits.
  QFont smaller = font();
  for (int step = 0; scale > fit && step < 12 && QFontMetrics(smaller).height() > 9; ++step) {
    if (smaller.pointSizeF() > 0)
      smaller.setPointSizeF(smaller.pointSizeF() * 0.94);
    else
      smaller.setPixelSize(std::max(1, static_cast<int>(smaller.pixelSize() * 0.94)));
    scale = LayoutScale(QFontMetrics(smaller));
  }
  if (smaller != font()) setFont(smaller);
  return std::min(scale, std::max(fit, 0.5));
}

void FilterDialog::Place(QWidget* widget, int left, int top, int width, int height) const {
  auto px = [this](int twips) { return static_cast<int>(twips * pixelsPerTwip_ + 0.5); };
  widget->setGeometry(px(left), px(top), px(width), px(height));
}

void FilterDialog::BuildControls() {
  setFixedSize(static_cast<int>(7005 * pixelsPerTwip_ + 0.5), static_cast<int>(4920 * pixelsPerTwip_ + 0.5));
  BuildDateFrame();
  BuildNameAndTypeFrames();
  BuildSizeFrame();

  // The check boxes sit on the dialog over the blanks that open each frame
  // caption; where the style draws that caption decides where they go.
  auto makeCheck = [this](const char* name, QGroupBox* frame) {
    auto* box = new QCheckBox(this);
    box->setObjectName(name);
    QStyleOptionGroupBox option;
    option.initFrom(frame);
    option.text = frame->title();
    option.subControls = QStyle::SC_GroupBoxLabel;
    const QRect label =
        style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame);
    const QSize size = box->sizeHint();
    box->setGeometry(frame->x() + label.x(), frame->y() + label.center().y() - size.height() / 2,
                     size.width(), size.height());
    box->raise();
    return box;
  };
  chkTimeEnabled_ = makeCheck("chkTimeEnabled", Frame1_);
  chkContEnabled_ = makeCheck("chkContEnabled", Frame2_);
  chkSizeEnabled_ = makeCheck("chkSizeEnabled", Frame4_);
  chkTypeEnabled_ = makeCheck("chkTypeEnabled", Frame3_);

  DateView_ = new QCalendarWidget(this);
  DateView_->setObjectName("DateView");
  const QSize hint = DateView_->sizeHint();
  Place(DateView_, 960, 960, 2700, 2370);
  DateView_->resize(std::max(DateView_->width(), hint.width()), std::max(DateView_->height(), hint.height()));
  // Only days whose bounds fit a stored time can be picked (a To date also needs the next day).
  QDate first = ToQDate(pff::WallClockFromFileTime(std::numeric_limits<int32_t>::min())).addDays(1);
  QDate last = ToQDate(pff::WallClockFromFileTime(std::numeric_limits<int32_t>::max())).addDays(-1);
  DateView_->setDateRange(first, last);
  DateView_->setSelectedDate(today_);
  DateView_->hide();

  cmdCancel_ = new QPushButton("Cancel", this);
  cmdCancel_->setObjectName("cmdCancel");
  Place(cmdCancel_, 4800, 4440, 975, 375);
  cmdOK_ = new QPushButton("OK", this);
  cmdOK_->setObjectName("cmdOK");
  Place(cmdOK_, 5880, 4440, 975, 375);
  // Return anywhere presses OK and Escape presses Cancel, as in any dialog;
  // a focused button still takes Return for itself.
  cmdCancel_->setAutoDefault(false);
  cmdOK_->setAutoDefault(false);
  cmdOK_->setDefault(true);
  OrderTabStops();
}

void FilterDialog::OrderTabStops() {
  // Down the left column (date, name, size), then the type list on the right,
  // then the buttons: the order the eye reads the dialog in.
  const QList<QWidget*> order{chkTimeEnabled_, Option1_[0], txtFromDate_, txtToDate_, Option1_[1],
                              txtMonths_,      Option1_[2], txtDays_,     chkContEnabled_, txtCont_,
                              chkSizeEnabled_, Option3_[0], Option3_[1], Option3_[2], txtSize_,
                              txtTolerance_,   chkTypeEnabled_, Option2_[0], Option2_[1], List1_,
                              cmdCancel_,      cmdOK_};
  for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void FilterDialog::BuildDateFrame() {
  Frame1_ = new QGroupBox("      Date Filter", this);
  Frame1_->setObjectName("Frame1");
  Place(Frame1_, 120, 120, 3495, 1575);

  auto* label1 = new QLabel("Show File(s) Modified", Frame1_);
  label1->setObjectName("Label1");
  Place(label1, 240, 240, 1575, 255);

  Option1Group_ = new QButtonGroup(this);
  const char* captions[] = {"between", "during the previous", "during the previous"};
  const int tops[] = {480, 840, 1200};
  const int widths[] = {975, 1695, 1695};
  for (int i = 0; i < 3; ++i) {
    Option1_[i] = new QRadioButton(captions[i], Frame1_);
    Option1_[i]->setObjectName(QString("Option1(%1)").arg(i));
    Place(Option1_[i], 240, tops[i], widths[i], 255);
    Option1Group_->addButton(Option1_[i], i);
  }

  txtFromDate_ = MakeBox(Frame1_, "txtFromDate", QString());
  Place(txtFromDate_, 1200, 480, 855, 285);
  auto* label4 = new QLabel("and", Frame1_);
  label4->setObjectName("Label4");
  Place(label4, 2160, 480, 375, 255);
  txtToDate_ = MakeBox(Frame1_, "txtToDate", QString());
  Place(txtToDate_, 2520, 480, 855, 285);
  // The dates are chosen on the calendar; a typed date would show a range the filter does not use.
  for (QLineEdit* box : {txtFromDate_, txtToDate_}) {
    box->setReadOnly(true);
    box->installEventFilter(this);
  }

  txtMonths_ = MakeBox(Frame1_, "txtMonths", "1");
  txtMonths_->setMaxLength(3);
  Place(txtMonths_, 1920, 840, 495, 285);
  scrMonths_ = MakeSpinner(Frame1_, "scrMonths", 1, 999, 1);
  Place(scrMonths_, 2420, 840, 255, 285);
  auto* label2 = new QLabel("month(s)", Frame1_);
  label2->setObjectName("Label2");
  Place(label2, 2760, 840, 615, 255);

  txtDays_ = MakeBox(Frame1_, "txtDays", "1");
  txtDays_->setMaxLength(3);
  Place(txtDays_, 1920, 1200, 495, 285);
  scrDays_ = MakeSpinner(Frame1_, "scrDays", 1, 999, 1);
  Place(scrDays_, 2420, 1200, 255, 285);
  auto* label3 = new QLabel("day(s)", Frame1_);
  label3->setObjectName("Label3");
  Place(label3, 2760, 1200, 495, 255);
}

void FilterDialog::BuildSizeFrame() {
  Frame4_ = new QGroupBox("      File Size Filter", this);
  Frame4_->setObjectName("Frame4");
  Place(Frame4_, 120, 2760, 3495, 1575);

  Option3Group_ = new QButtonGroup(this);
  const char* captions[] = {"Is At Least", "Is About", "Is At Most"};
  for (int i = 0; i < 3; ++i) {
    Option3_[i] = new QRadioButton(captions[i], Frame4_);
    Option3_[i]->setObjectName(QString("Option3(%1)").arg(i));
    Place(Option3_[i], 120 + 1080 * i, 240, 1095, 375);
    Option3Group_->addButton(Option3_[i], i);
  }

  auto makeLabel = [this](const char* name, const char* text, int l, int t, int w, bool right) {
    auto* label = new QLabel(text, Frame4_);
    label->setObjectName(name);
    if (right) label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Place(label, l, t, w, 255);
  };
  makeLabel("Label6", "Size:", 120, 755, 1215, true);
  txtSize_ = MakeBox(Frame4_, "txtSize", "100");
  txtSize_->setValidator(new TypedLengthValidator(6, txtSize_));
  Place(txtSize_, 1440, 720, 1185, 285);
  scrSize_ = MakeSpinner(Frame4_, "scrSize", -1, 1, 0);
  Place(scrSize_, 2640, 720, 255, 285);
  makeLabel("Label5", "KB", 3000, 765, 255, false);

  makeLabel("Label9", "Tolerance:", 120, 1110, 1215, true);
  txtTolerance_ = MakeBox(Frame4_, "txtTolerance", "0");
  txtTolerance_->setValidator(new TypedLengthValidator(6, txtTolerance_));
  Place(txtTolerance_, 1440, 1080, 1185, 285);
  scrTolerance_ = MakeSpinner(Frame4_, "scrTolerance", -1, 1, 0);
  Place(scrTolerance_, 2640, 1080, 255, 285);
  makeLabel("Label7", "KB", 3000, 1125, 255, false);
}

void FilterDialog::BuildNameAndTypeFrames() {
  Frame2_ = new QGroupBox("      Name Text Filter", this);
  Frame2_->setObjectName("Frame2");
  Place(Frame2_, 120, 1800, 3495, 855);
  auto* label8 = new QLabel("Show File(s) If Name Contains text:", Frame2_);
  label8->setObjectName("Label8");
  Place(label8, 240, 240, 2655, 255);
  txtCont_ = MakeBox(Frame2_, "txtCont", QString());
  // An entry name holds 16 characters.
  txtCont_->setMaxLength(16);
  Place(txtCont_, 120, 480, 3255, 285);

  Frame3_ = new QGroupBox("      File Type Filter", this);
  Frame3_->setObjectName("Frame3");
  Place(Frame3_, 3720, 120, 3135, 4215);
  Option2Group_ = new QButtonGroup(this);
  const char* captions[] = {"Isolate File Types", "Exclude File Types"};
  for (int i = 0; i < 2; ++i) {
    Option2_[i] = new QRadioButton(captions[i], Frame3_);
    Option2_[i]->setObjectName(QString("Option2(%1)").arg(i));
    Place(Option2_[i], 120 + 1440 * i, 240, 1455, 375);
    Option2Group_->addButton(Option2_[i], i);
  }
  List1_ = new QListWidget(Frame3_);
  List1_->setObjectName("List1");
  List1_->setSelectionMode(QAbstractItemView::MultiSelection);
  Place(List1_, 120, 720, 2895, 3435);
}

void FilterDialog::LoadInitialState(const QStringList& filterListItems) {
  pickingFromDate_ = true;
  pff::InitilizeFilter(dialogFilter_);
  if (timeDate_ != pff::DateStyle::Other) {
    txtFromDate_->setText(FormatDate(today_.addDays(-10)));
    txtToDate_->setText(FormatDate(today_));
  }
  for (QGroupBox* frame : {Frame1_, Frame2_, Frame3_, Frame4_}) frame->setEnabled(false);
  // Item 0 is " Show All", which is no type.
  for (int i = 1; i < filterListItems.size(); ++i) List1_->addItem(filterListItems[i]);
}

void FilterDialog::ConnectHandlers() {
  connect(chkTimeEnabled_, &QCheckBox::toggled, this, [this] { chkTimeEnabled_Click(); });
  connect(chkSizeEnabled_, &QCheckBox::toggled, this, [this] { chkSizeEnabled_Click(); });
  connect(chkContEnabled_, &QCheckBox::toggled, this, [this] { chkContEnabled_Click(); });
  connect(chkTypeEnabled_, &QCheckBox::toggled, this, [this] { chkTypeEnabled_Click(); });

  // An option's handler runs when it becomes selected, by a click or from code.
  connect(Option1Group_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
    if (on) Option1_Click(id);
  });
  connect(Option2Group_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
    if (on) Option2_Click(id);
  });
  connect(Option3Group_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
    if (on) Option3_Click(id);
  });

  connect(txtDays_, &QLineEdit::textChanged, this, [this] { txtDays_Change(); });
  connect(txtMonths_, &QLineEdit::textChanged, this, [this] { txtMonths_Change(); });
  connect(txtSize_, &QLineEdit::textChanged, this, [this] { txtSize_Change(); });
  connect(txtTolerance_, &QLineEdit::textChanged, this, [this] { txtTolerance_Change(); });
  connect(txtCont_, &QLineEdit::textChanged, this, [this] { txtCont_Change(); });
  connect(scrDays_, &QScrollBar::valueChanged, this, [this] { scrDays_Change(); });
  connect(scrMonths_, &QScrollBar::valueChanged, this, [this] { scrMonths_Change(); });
  connect(scrSize_, &QScrollBar::valueChanged, this, [this] { scrSize_Change(); });
  connect(scrTolerance_, &QScrollBar::valueChanged, this, [this] { scrTolerance_Change(); });
  connect(List1_, &QListWidget::itemSelectionChanged, this, [this] { List1_Click(); });

  connect(DateView_, &QCalendarWidget::clicked, this, [this](QDate date) { DateView_DateClick(date); });
  connect(DateView_, &QCalendarWidget::activated, this, [this](QDate date) { DateView_DateClick(date); });
  // The calendar closes when the focus moves to another control of the dialog.
  focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (DateView_->isVisible() && now && isAncestorOf(now) && now != DateView_ &&
        !DateView_->isAncestorOf(now))
      HideDateView();
  });

  connect(cmdOK_, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
  connect(cmdCancel_, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

bool FilterDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (watched == txtFromDate_) txtFromDate_Click();
    if (watched == txtToDate_) txtToDate_Click();
  }
  return QDialog::eventFilter(watched, event);
}
