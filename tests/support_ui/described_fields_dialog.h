#pragma once

#include <vector>

#include "framework/runtime_class.h"
#include "legacy/script_model.h"
#include "tip_owner.h"

namespace nuv::test {

// A described field block's dialog as the field edit dialog lays it out:
// four fields to a line, a label (30000 + i) and an edit (31000 + i) per
// field, each edit registered with the dialog's tip with the field's
// description, backslash-n read as a line break. It takes the field edit
// dialog's class name, so that nuv-drive calls it "field".
class DescribedFieldsDialog : public TipOwner {
 public:
  static constexpr uint32_t kFirstLabel = 30000;
  static constexpr uint32_t kFirstInput = 31000;

  static const fw::RuntimeClass kClass;
  const fw::RuntimeClass& GetRuntimeClass() const override;

  // Makes the window, 800 x 600 at the screen's origin and owned by
  // `owner` (when given), with its controls and tips.
  bool Open(const std::vector<legacy::ScriptField>& fields, fw::Window* owner = nullptr);
};

legacy::ScriptField DescribedField(std::string name, std::string description);

}  // namespace nuv::test
