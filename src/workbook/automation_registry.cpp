#include "workbook/automation_registry.h"

#include <map>
#include <mutex>

#include "workbook/standin_application.h"
#include "workbook/system_spreadsheet.h"

namespace nuv::workbook {
namespace {

struct Registry {
  std::mutex mutex;
  std::map<std::string, ServerFactory, std::less<>> servers;
  ServerQuestion question;
  Registry() { servers.emplace(std::string(kExcelProgId), SystemSpreadsheetFactory()); }
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

void RegisterAutomationServer(std::string prog_id, ServerFactory factory) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  registry.servers[std::move(prog_id)] = std::move(factory);
}

void UnregisterAutomationServer(std::string_view prog_id) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  if (auto it = registry.servers.find(prog_id); it != registry.servers.end())
    registry.servers.erase(it);
}

DispatchRef CreateAutomationObject(std::string_view prog_id) {
  ServerFactory factory;
  {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    auto it = registry.servers.find(prog_id);
    if (it == registry.servers.end())
      return nullptr;
    factory = it->second;
  }
  return factory ? factory() : nullptr;
}

void RegisterStandInSpreadsheet() {
  RegisterAutomationServer(std::string(kExcelProgId), &CreateStandInApplication);
}

void SetServerQuestion(ServerQuestion ask) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  registry.question = std::move(ask);
}

bool AskServerQuestion(std::string_view text) {
  ServerQuestion ask;
  {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    ask = registry.question;
  }
  return ask && ask(text);
}

}  // namespace nuv::workbook
