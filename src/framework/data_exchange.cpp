#include "framework/data_exchange.h"

#include <charconv>
#include <string>

#include "framework/application.h"
#include "framework/window.h"

namespace nuv::fw {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && blank(text.back()))
    text.remove_suffix(1);
  return text;
}

template <class T>
bool ParseWhole(std::string_view text, T& value) {
  text = TrimBlanks(text);
  const bool plus = !text.empty() && text.front() == '+';
  if (plus)
    text.remove_prefix(1);
  if (text.empty() || (plus && (text.front() < '0' || text.front() > '9')))
    return false;
  T parsed{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed, 10);
  if (error != std::errc() || end != text.data() + text.size())
    return false;
  value = parsed;
  return true;
}

template <class T>
void ExchangeNumber(DataExchange& dx, uint32_t id, T& value, std::string_view complaint) {
  if (dx.failed())
    return;
  Window* control = dx.window().GetDlgItem(id);
  if (control == nullptr)
    return;
  if (!dx.saving()) {
    control->SetWindowText(std::to_string(value));
    return;
  }
  if (!ParseDecimal(control->GetWindowText(), value))
    dx.Fail(complaint);
}

}  // namespace

void DataExchange::Fail(std::string_view message) {
  if (failed_)
    return;
  failed_ = true;
  if (Application* app = Application::Current())
    app->MessageBox(message);
}

bool ParseDecimal(std::string_view text, int32_t& value) {
  return ParseWhole(text, value);
}

bool ParseDecimal(std::string_view text, uint32_t& value) {
  // from_chars takes no '-' for unsigned types, so a negative number fails.
  return ParseWhole(text, value);
}

void DDX_Text(DataExchange& dx, uint32_t id, std::string& value) {
  if (dx.failed())
    return;
  Window* control = dx.window().GetDlgItem(id);
  if (control == nullptr)
    return;
  if (dx.saving())
    value = control->GetWindowText();
  else
    control->SetWindowText(value);
}

void DDX_Text(DataExchange& dx, uint32_t id, int32_t& value) {
  ExchangeNumber(dx, id, value, "Please enter an integer.");
}

void DDX_Text(DataExchange& dx, uint32_t id, uint32_t& value) {
  ExchangeNumber(dx, id, value, "Please enter a positive integer.");
}

}  // namespace nuv::fw
