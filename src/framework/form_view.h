#pragma once

#include <cstdint>

#include "framework/window.h"

namespace nuv::fw {

// A form laid out by a dialog template, living as a child window of a host
// window (the host's page gives its first pane the id AFX_IDW_PANE_FIRST).
class FormView : public Window {
 public:
  explicit FormView(uint32_t template_id) : template_id_(template_id) {}
  ~FormView() override;

  static const RuntimeClass kClass;
  const RuntimeClass& GetRuntimeClass() const override;

  // Creates the form as a child of `parent` with the given style (WS_CHILD is
  // implied) and rectangle, its controls from the template, then
  // OnInitialUpdate; with WS_VISIBLE it is shown last. False when the
  // template is not found, the parent does not exist or the form exists.
  bool Create(uint32_t style, const Rect& rect, Window* parent, uint32_t id);
  uint32_t template_id() const { return template_id_; }

  // Escape and Return, as a dialog handles them.
  bool PreTranslateMessage(const Msg& msg) override;

 protected:
  // Fills the controls (UpdateData(false)).
  virtual void OnInitialUpdate();

 private:
  uint32_t template_id_;
};

}  // namespace nuv::fw
