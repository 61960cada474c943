#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "../workbook/workbook_test_support.h"
#include "exchange/exchange.h"
#include "image/block_table.h"
#include "sample_preset.h"
#include "support/command_runner.h"
#include "support/messages.h"
#include "test_processes.h"
#include "toolcfg/tool_config.h"
#include "workbook/automation_registry.h"
#include "workbook/dispatch.h"
#include "workbook/standin_application.h"
#include "workbook/variant.h"

namespace nuv::exchange::testing {

using namespace workbook;
using namespace workbook::testing;

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

// The names the tool runs lzma and gzip by here.
#ifdef _WIN32
inline constexpr char kLzmaProgram[] = "lzma.exe", kGzipProgram[] = "gzip.exe";
#else
inline constexpr char kLzmaProgram[] = "lzma_alone", kGzipProgram[] = "gzip";
#endif

// Model pieces, built by hand.
inline toolcfg::ConfigItem Item(std::string name, std::int32_t type, std::int32_t offset,
                                std::int32_t length, std::int32_t min = 0, std::int32_t max = 0) {
  toolcfg::ConfigItem item;
  item.name = std::move(name);
  item.type = toolcfg::ItemType{type};
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

// Sheet cells row by row from A1; missing trailing cells are empty.
using Rows = std::vector<std::vector<Variant>>;

inline ValueArray Sheet(const Rows& rows) {
  std::uint32_t columns = 0;
  for (const auto& row : rows)
    columns = std::max<std::uint32_t>(columns, static_cast<std::uint32_t>(row.size()));
  ValueArray values(static_cast<std::uint32_t>(rows.size()), columns);
  for (std::uint32_t r = 0; r < rows.size(); ++r)
    for (std::uint32_t c = 0; c < rows[r].size(); ++c)
      values.Set(r + 1, c + 1, rows[r][c]);
  return values;
}

// The data of the k-th block of a table.
inline std::vector<std::uint8_t> BlockBytes(const image::BlockTable& table, std::size_t k) {
  const auto bytes = table.records.at(k).data.bytes();
  return {bytes.begin(), bytes.end()};
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
// there) and the lzma work folder; the stand-in never opens a viewer. Its
// name holds a backslash, which is an ordinary character of a name here.
class ExchangeTest : public WorkbookTest {
 protected:
  ExchangeTest() : WorkbookTest("nuv\\exchange") {}

  void SetUp() override {
    WorkbookTest::SetUp();
    std::filesystem::create_directories(Path("work"));
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(folder());
    RegisterStandInSpreadsheet();
  }
  void TearDown() override {
    RegisterStandInSpreadsheet();
    std::filesystem::current_path(previous_);
  }

  WorkbookExchange Exchange() {
    return WorkbookExchange{model_, table_, runner_, messages_, Path("work")};
  }

  // Every later start of "Excel.Application" is recorded into calls().
  void RecordCalls() {
    auto log = calls_;
    RegisterAutomationServer(std::string(kExcelProgId), [log] {
      return std::make_shared<RecordingDispatch>(CreateStandInApplication(), log);
    });
  }
  const std::vector<Call>& calls() const { return *calls_; }
  bool Called(DispId member) const {
    return std::any_of(calls_->begin(), calls_->end(),
                       [&](const Call& c) { return c.member == member; });
  }
  // The arguments of every call of `member`, in order.
  std::vector<std::string> Args(DispId member) const {
    std::vector<std::string> out;
    for (const Call& c : *calls_)
      if (c.member == member)
        out.push_back(c.args);
    return out;
  }

  toolcfg::ToolConfig model_;
  image::BlockTable table_;
  CommandRunner runner_;
  RecordedMessages messages_;

 private:
  std::filesystem::path previous_;
  std::shared_ptr<std::vector<Call>> calls_ = std::make_shared<std::vector<Call>>();
};

}  // namespace nuv::exchange::testing
