#pragma once

#include <cstdint>

#include "framework/window.h"

namespace nuv::fw {

// A modeless dialog made from a template of a joined module. Its client
// area is placed at the screen's origin. The C++ object belongs to whoever
// made it; Adopt hands it to a window when nobody else keeps it.
class Dialog : public Window {
 public:
  explicit Dialog(uint32_t template_id = 0) : template_id_(template_id) {}
  ~Dialog() override;

  static const RuntimeClass kClass;
  const RuntimeClass& GetRuntimeClass() const override;
  static const MessageMap& ClassMessageMap();
  const MessageMap& GetMessageMap() const override;

  // Creates the dialog from the template: the window (a pop-up owned by
  // `parent`, or a child of it when the template says WS_CHILD), its
  // controls, then OnInitDialog; a template with WS_VISIBLE is shown last.
  // False when the template is not found or the window exists already.
  bool Create(uint32_t template_id, Window* parent);
  bool Create(Window* parent) { return Create(template_id_, parent); }
  uint32_t template_id() const { return template_id_; }

  // Ends the dialog: a modeless dialog is hidden, not destroyed; the result
  // is kept.
  void EndDialog(int result);
  int result() const { return result_; }

  // Escape and Return, as a dialog handles them.
  bool PreTranslateMessage(const Msg& msg) override;

 protected:
  // Fills the controls (UpdateData(false)).
  virtual bool OnInitDialog();
  // The framework's OK: takes the values (UpdateData(true)) and, when they
  // are good, ends the dialog with IDOK.
  virtual void OnOK();
  // The framework's cancel (id 2 and Escape): ends the dialog with IDCANCEL.
  virtual void OnCancel();

 private:
  uint32_t template_id_;
  int result_ = 0;
};

}  // namespace nuv::fw
