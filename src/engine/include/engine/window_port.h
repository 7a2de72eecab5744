#pragma once
// What the engine needs from whoever shows it: the Qt window, the pff tool
// or a test. Texts are UTF-8.

#include <string>

namespace pff {

class WindowPort {
 public:
  virtual ~WindowPort() = default;

  /// "Error in <routine>" + line break + description; the caller carries on.
  virtual void ReportError(const std::string& routine, const std::string& description) = 0;
  /// Something the user must know that is no error, e.g. "PATH: an interrupted
  /// change was undone" when an archive is opened.
  virtual void Notify(const std::string& text) = 0;
  /// A Yes/No question (the replace question); true means Yes.
  virtual bool AskYesNo(const std::string& title, const std::string& text) = 0;
  /// An archive was loaded as archive `index`: add its tree node and close item.
  virtual void ArchiveLoaded(int index, const std::string& fileName) = 0;
  /// Rebuild the tree and the close menu from the table.
  virtual void RefreshFileList() = 0;
  /// Rebuild the quick type list (after every open attempt).
  virtual void RefreshFilterList() = 0;
  /// Rebuild the grid.
  virtual void RefreshList() = 0;
};

/// A port that shows nothing and answers No; for callers that need none.
class SilentPort : public WindowPort {
 public:
  void ReportError(const std::string&, const std::string&) override {}
  void Notify(const std::string&) override {}
  bool AskYesNo(const std::string&, const std::string&) override { return false; }
  void ArchiveLoaded(int, const std::string&) override {}
  void RefreshFileList() override {}
  void RefreshFilterList() override {}
  void RefreshList() override {}
};

}  // namespace pff
