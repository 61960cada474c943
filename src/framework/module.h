#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/dialog_template.h"
#include "framework/resource_script.h"
#include "framework/resource_texts.h"
#include "framework/runtime_class.h"

namespace nuv::fw {

// A library's contribution to the framework: its dialog templates and its
// runtime classes. A module joins the process-wide registry when it is
// constructed and leaves it when destroyed, so a plug-in declares one static
// Module: it joins when the library is loaded and leaves when unloaded.
//
//   extern const nuv::fw::ResourceTexts nuv_plugin_resources;  // generated
//   static nuv::fw::Module module("nuv", &nuv_plugin_resources,
//                                 {&NuvDialog::kClass, &NuvSubDialog::kClass});
class Module {
 public:
  // The resource texts are read at once; a script that cannot be read
  // leaves the module without templates and its error() says why.
  Module(std::string_view name, const ResourceTexts* resources,
         std::initializer_list<const RuntimeClass*> classes);
  ~Module();
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  const std::string& name() const { return name_; }
  const std::string& error() const { return script_.error; }
  const DialogTemplate* FindTemplate(uint32_t id) const { return script_.Find(id); }
  const RuntimeClass* FindClass(std::string_view class_name) const;

 private:
  std::string name_;
  ResourceScript script_;
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
