#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/dialog_template.h"
#include "framework/runtime_class.h"

namespace nuv::fw {

// A library's contribution to the framework: its dialog templates and its
// runtime classes. A module joins the process-wide registry when it is
// constructed and leaves it when destroyed, so a plug-in declares one static
// Module: it joins when the library is loaded and leaves when unloaded.
//
//   extern const nuv::fw::DialogTemplates nuv_plugin_templates;  // generated
//   static nuv::fw::Module module("nuv", nuv_plugin_templates,
//                                 {&NuvDialog::kClass, &NuvSubDialog::kClass});
class Module {
 public:
  // `templates` are constant tables that outlive the module.
  Module(std::string_view name, DialogTemplates templates,
         std::initializer_list<const RuntimeClass*> classes);
  ~Module();
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  const std::string& name() const { return name_; }
  const DialogTemplate* FindTemplate(uint32_t id) const;
  const RuntimeClass* FindClass(std::string_view class_name) const;

 private:
  std::string name_;
  DialogTemplates templates_;
  std::vector<const RuntimeClass*> classes_;
};

// The modules of the process, in the order they joined.
class ModuleRegistry {
 public:
  // The template with the id, from the first module that has one.
  static const DialogTemplate* FindTemplate(uint32_t id);
  static const RuntimeClass* FindClass(std::string_view class_name);
  // Makes an object of the named class; null when no module knows the name
  // or the class cannot be made.
  static std::unique_ptr<Window> CreateObject(std::string_view class_name);
  static std::vector<const Module*> Modules();

 private:
  friend class Module;
  static std::vector<const Module*>& List();
};

}  // namespace nuv::fw
