#pragma once
// The filter in force and the controls that set it: the quick type list, the
// caption of its frame, the "Advanced Filter" dialog, and the filter's line in
// the status bar. A change is announced; the window relists.

#include <QObject>
#include <QString>
#include <QStringList>

#include "listing/filter.h"
#include "listing/format_value.h"

class QComboBox;
class QGroupBox;
class QWidget;
class StatusPanel;

class FilterControls : public QObject {
  Q_OBJECT

 public:
  /// list is the quick type list inside frame; status shows the filter in force.
  FilterControls(QComboBox* list, QGroupBox* frame, StatusPanel& status, QObject* parent = nullptr);

  const pff::FilterSettings& Filter() const { return filter_; }
  /// Fills the quick list: " Show All", then types; the type in force stays shown.
  void SetTypes(const QStringList& types);
  /// The quick list's chosen item goes in force (" Show All" clears the filter).
  void ApplyQuickChoice();
  /// Clears the filter, as " Show All" in the quick list does.
  void ShowAll();
  /// Nothing is open: no filter is left in force unseen for the next archive.
  void Reset();
  /// Opens the advanced dialog over parent; OK puts its filter in force.
  void OpenAdvanced(QWidget* parent, pff::DateStyle dateStyle);

 signals:
  /// The filter in force changed: the grid must be listed anew.
  void filterChanged();

 private:
  void SetCaption(const QString& caption);
  /// Quick list and status bar show the filter in force.
  void Sync();

  QComboBox* list_;
  QGroupBox* frame_;
  StatusPanel& status_;
  pff::FilterSettings filter_;
  QString quickType_;  // the type chosen in the quick list; empty when none is in force
};
