#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "image/block_table.h"
#include "sample_preset.h"
#include "support/command_runner.h"
#include "support/messages.h"
#include "toolcfg/tool_config.h"
#include "workbook/automation_registry.h"
#include "workbook/dispatch.h"
#include "workbook/exchange.h"
#include "workbook/standin_application.h"
#include "workbook/variant.h"

namespace nuv::workbook::testing {

// A block record with id, name and its own data; size = data size.
inline image::BlockRecord MakeRecord(std::uint8_t id, std::string_view name,
                                     std::vector<std::uint8_t> data) {
  return samples::OwnBlockRecord(id, name, std::move(data));
}

inline std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<std::uint8_t> out;
  for (int v : values)
    out.push_back(static_cast<std::uint8_t>(v));
  return out;
}

inline std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const std::filesystem::path& path, std::string_view text) {
  std::ofstream out(path, std::ios::binary);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

// Model pieces, built by hand.
inline toolcfg::ConfigItem Item(std::string name, std::int32_t type, std::int32_t offset,
                                std::int32_t length, std::int32_t min = 0, std::int32_t max = 0) {
  toolcfg::ConfigItem item;
  item.name = std::move(name);
  item.type = type;
  item.bit_offset = offset;
  item.bit_length = length;
  item.min = min;
  item.max = max;
  return item;
}

inline toolcfg::ConfigBlock Block(std::string name, std::uint8_t id, std::int32_t start,
                                  std::uint8_t em, std::vector<toolcfg::ConfigItem> items) {
  toolcfg::ConfigBlock block;
  block.name = std::move(name);
  block.block_id = id;
  block.start_offset = start;
  block.em = em;
  block.items = std::move(items);
  return block;
}

// Sets PATH for the life of the object, so a test decides which lzma_alone
// (if any) the runner finds.
class ScopedPath {
 public:
  explicit ScopedPath(const std::string& path) {
    if (const char* old = std::getenv("PATH"))
      old_ = old;
    ::setenv("PATH", path.c_str(), 1);
  }
  ~ScopedPath() { ::setenv("PATH", old_.c_str(), 1); }
  ScopedPath(const ScopedPath&) = delete;
  ScopedPath& operator=(const ScopedPath&) = delete;

 private:
  std::string old_;
};

// Writes an executable shell script.
inline void WriteScript(const std::filesystem::path& path, std::string_view text) {
  WriteFile(path, text);
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

// A ValueArray given row by row; missing trailing cells are empty.
inline ValueArray Sheet(std::initializer_list<std::initializer_list<Variant>> rows) {
  std::uint32_t columns = 0;
  for (const auto& row : rows)
    columns = std::max<std::uint32_t>(columns, static_cast<std::uint32_t>(row.size()));
  ValueArray values(static_cast<std::uint32_t>(rows.size()), columns);
  std::uint32_t r = 0;
  for (const auto& row : rows) {
    ++r;
    std::uint32_t c = 0;
    for (const Variant& v : row)
      values.At(r, ++c) = v;
  }
  return values;
}

inline Variant T(std::string_view utf8) {
  return Variant::Text(utf8);
}
inline Variant N(double number) {
  return Variant::R8(number);
}

// One automation call seen by the recording server: member, kind and its
// arguments as text, joined by "," (texts as they are, numbers in decimal,
// "-" for an omitted argument).
struct Call {
  DispId member;
  InvokeKind kind;
  std::string args;
  bool operator==(const Call&) const = default;
};

inline std::string ArgumentText(const Variant& arg) {
  if (arg.IsMissing())
    return "-";
  if (arg.type() == VT_BSTR)
    return arg.AsUtf8();
  if (arg.type() == VT_BOOL)
    return arg.AsBool() ? "true" : "false";
  if (arg.IsNumber()) {
    const double number = arg.AsDouble();
    return number == static_cast<double>(static_cast<long long>(number))
               ? std::to_string(static_cast<long long>(number))
               : std::to_string(number);
  }
  return "?";
}

// Stands between the tool and the stand-in spreadsheet application and
// notes every call, so a test sees the steps of an export or import in
// order. Objects handed out are wrapped the same way.
class RecordingDispatch final : public Dispatch {
 public:
  RecordingDispatch(DispatchRef inner, std::shared_ptr<std::vector<Call>> log)
      : inner_(std::move(inner)), log_(std::move(log)) {}
  Variant Invoke(DispId member, InvokeKind kind, std::span<const Variant> args) override {
    std::string text;
    for (const Variant& arg : args) {
      if (&arg != args.data())
        text += ',';
      text += ArgumentText(arg);
    }
    log_->push_back({member, kind, text});
    Variant result = inner_->Invoke(member, kind, args);
    if (result.type() == VT_DISPATCH)
      return Variant::Object(std::make_shared<RecordingDispatch>(result.AsObject(), log_));
    return result;
  }

 private:
  DispatchRef inner_;
  std::shared_ptr<std::vector<Call>> log_;
};

// A fresh folder per test, made the current directory (the workbook goes
// there) and the lzma work folder; the stand-in never opens a viewer.
class ExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::path(::testing::TempDir()) /
              (std::string("nuv_exchange_") + info->test_suite_name() + "_" + info->name() + "_" +
               std::to_string(::getpid()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_ / "work");
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_);
    ::setenv("NUV_SPREADSHEET_APP", "", 1);
    RegisterStandInSpreadsheet();
  }
  void TearDown() override {
    RegisterStandInSpreadsheet();
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(folder_);
  }

  std::filesystem::path Path(const std::string& name) const { return folder_ / name; }
  const std::filesystem::path& folder() const { return folder_; }

  WorkbookExchange Exchange() {
    return WorkbookExchange{model_, table_, runner_, messages_, folder_ / "work"};
  }

  // Every later start of "Excel.Application" is recorded into calls().
  void RecordCalls() {
    auto log = calls_;
    RegisterAutomationServer(std::string(kExcelProgId), [log] {
      return std::make_shared<RecordingDispatch>(CreateStandInApplication(), log);
    });
  }
  const std::vector<Call>& calls() const { return *calls_; }

  toolcfg::ToolConfig model_;
  image::BlockTable table_;
  CommandRunner runner_;
  RecordedMessages messages_;

 private:
  std::filesystem::path folder_;
  std::filesystem::path previous_;
  std::shared_ptr<std::vector<Call>> calls_ = std::make_shared<std::vector<Call>>();
};

}  // namespace nuv::workbook::testing
