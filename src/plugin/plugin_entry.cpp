#include "plugin/plugin_entry.h"

#include <memory>

#include "framework/constants.h"
#include "framework/window.h"
#include "framework/window_ref.h"
#include "plugin/nuv_dialog.h"
#include "support/window_messages.h"
#include "workbook/automation_registry.h"

namespace nuv::plugin {
namespace {

constexpr uint32_t kFormStyle = fw::WS_CHILD | fw::WS_VISIBLE | fw::WS_BORDER;

// The form while its window is being made: the dialogs and the form's own
// set-up may look for the single instance before the window exists.
NuvDialog* g_in_creation = nullptr;
// The form once made. It turns empty when the window goes, so nothing ever
// reaches a form that the page has deleted.
fw::WindowRef<NuvDialog> g_form;

// Names the form as the single instance while its window is being made,
// whichever way the making ends.
class InCreation {
 public:
  explicit InCreation(NuvDialog& form) { g_in_creation = &form; }
  ~InCreation() { g_in_creation = nullptr; }
  InCreation(const InCreation&) = delete;
  InCreation& operator=(const InCreation&) = delete;
};

}  // namespace

NuvDialog* TheForm() {
  return g_in_creation != nullptr ? g_in_creation : g_form.get();
}

InitResult InitPlugin(fw::Window* parent) {
  if (TheForm() != nullptr)
    return InitResult::kFormExists;
  // The spreadsheet application asks its own questions (a workbook file it
  // would replace) in the host's application box, as it would on the
  // user's desktop.
  workbook::SetServerQuestion(&AskApplication);
  auto form = std::make_unique<NuvDialog>();
  NuvDialog::CreateResult created = NuvDialog::CreateResult::kNoWindow;
  {
    const InCreation in_creation(*form);
    created = form->Create(kFormStyle, fw::Rect{0, 0, 0, 0}, parent, fw::AFX_IDW_PANE_FIRST);
  }
  if (created != NuvDialog::CreateResult::kCreated || parent == nullptr)
    return InitResult::kNoForm;
  g_form = fw::WindowRef<NuvDialog>(form.get());
  // A view goes with its window: the host's page keeps it until then.
  parent->Adopt(std::move(form));
  return InitResult::kFormExists;
}

}  // namespace nuv::plugin
