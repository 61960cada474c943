#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "framework/window.h"

namespace nuv::fw {

// A drop-down combo box or drop-down list: items in the order added, and the
// selected one, whose text is the box's text. Selecting from the program
// does not notify the parent; a user's pick does (CBN_SELCHANGE).
class ComboBox : public Window {
 public:
  static constexpr int kError = -1;  // CB_ERR

  static const RuntimeClass kClass;
  const RuntimeClass& GetRuntimeClass() const override;

  // Appends an item; returns its index.
  int AddString(std::string_view text);
  // Removes every item; nothing is selected.
  void ResetContent();
  int GetCount() const { return static_cast<int>(items_.size()); }
  // The selected index, or kError when none is.
  int GetCurSel() const { return selection_; }
  // Selects an item; an index out of range clears the selection and returns
  // kError.
  int SetCurSel(int index);
  // The item's text; empty when the index is out of range.
  std::string GetLBText(int index) const;
  const std::vector<std::string>& items() const { return items_; }

 private:
  std::vector<std::string> items_;
  int selection_ = kError;
};

}  // namespace nuv::fw
