#include "framework/module.h"

#include <algorithm>

#include "framework/window.h"

namespace nuv::fw {

std::unique_ptr<Window> RuntimeClass::CreateObject() const {
  return factory != nullptr ? factory() : nullptr;
}

Module::Module(std::string_view name, DialogTemplates templates,
               std::initializer_list<const RuntimeClass*> classes)
    : name_(name), templates_(templates), classes_(classes) {
  std::erase(classes_, nullptr);
  ModuleRegistry::List().push_back(this);
}

Module::~Module() {
  std::erase(ModuleRegistry::List(), this);
}

const DialogTemplate* Module::FindTemplate(uint32_t id) const {
  for (const DialogTemplate& dialog_template : templates_) {
    if (dialog_template.id == id)
      return &dialog_template;
  }
  return nullptr;
}

const RuntimeClass* Module::FindClass(std::string_view class_name) const {
  for (const RuntimeClass* runtime_class : classes_) {
    if (runtime_class->class_name == class_name)
      return runtime_class;
  }
  return nullptr;
}

std::vector<const Module*>& ModuleRegistry::List() {
  // Made on first use, so it exists before any module of any library joins,
  // and goes after the last one has left.
  static std::vector<const Module*> modules;
  return modules;
}

const DialogTemplate* ModuleRegistry::FindTemplate(uint32_t id) {
  for (const Module* module : List()) {
    if (const DialogTemplate* found = module->FindTemplate(id))
      return found;
  }
  return nullptr;
}

const RuntimeClass* ModuleRegistry::FindClass(std::string_view class_name) {
  for (const Module* module : List()) {
    if (const RuntimeClass* found = module->FindClass(class_name))
      return found;
  }
  return nullptr;
}

std::unique_ptr<Window> ModuleRegistry::CreateObject(std::string_view class_name) {
  const RuntimeClass* found = FindClass(class_name);
  return found != nullptr ? found->CreateObject() : nullptr;
}

std::vector<const Module*> ModuleRegistry::Modules() {
  return List();
}

}  // namespace nuv::fw
