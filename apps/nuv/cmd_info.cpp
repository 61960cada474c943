// nuv info IMAGE [--experts] [--internal] [--json]: what Pre-Parse shows for
// an image, the header values and the block grid, for scripts and batch work.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "command.h"
#include "image/flash_image.h"
#include "image/grid_row.h"
#include "image/pre_parse.h"
#include "text_output.h"

namespace nuv::cli {
namespace {

Outcome Info(const Arguments& args, Messages& messages);

const Command kInfo = {
    .name = "info",
    .usage = "IMAGE [--experts] [--internal] [--json]",
    .summary =
        "pre-parses a flash image and prints its kind, header values (SDRAM Size, Flash\n"
        "      Size, Block Number, Software Version), script path and block table as the\n"
        "      form shows them; exit 1 when the image is refused",
    .modifies = "nothing",
    .operands = {"IMAGE"},
    .options = {{"--experts", "", "as if \"Experts Only\" were checked"},
                {"--internal", "", "in internal mode"},
                {"--json", "", "prints one JSON object"}},
    .run = &Info};

CommandRegistration register_info(kInfo);

const char* KindText(image::ImageKind kind) {
  return kind == image::ImageKind::NewFormat ? "new format" : "legacy";
}

void PrintText(const image::FlashImage& flash, const image::PreParseOutcome& outcome) {
  std::printf("Kind: %s\n", KindText(outcome.kind));
  std::printf("SDRAM Size: %d\n", static_cast<int32_t>(flash.sdram_size));
  std::printf("Flash Size: %u\n", flash.flash_size);
  std::printf("Block Number: %u\n", flash.block_number);
  std::printf("Software Version: %s\n", Printable(flash.software_version).c_str());
  std::printf("Script Path: %s\n", Printable(flash.script_path).c_str());
  std::printf("Open Script File: %s\n", outcome.show_script_row ? "shown" : "hidden");
  std::printf("Export Configs: %s\n", outcome.show_export_section ? "shown" : "hidden");
  if (outcome.kind == image::ImageKind::Legacy)
    std::printf("DMH Offset: 0x%X\nConfig Length: %u\n", flash.dmh_offset, flash.config_length);
  std::printf("\n%-2s  %-8s  %-8s  %-8s  %-8s  %s\n", "ID", "Size", "CRC", "Name", "Version",
              "Time");
  for (const image::GridRow& row : outcome.rows) {
    const image::GridCellTexts cells = image::FormatGridRow(row);
    std::printf("%-2s  %-8s  %-8s  %-8s  %-8s  %s\n", cells[image::kColumnId].c_str(),
                cells[image::kColumnSize].c_str(), cells[image::kColumnCrc].c_str(),
                Printable(cells[image::kColumnName]).c_str(), cells[image::kColumnVersion].c_str(),
                Printable(cells[image::kColumnTime]).c_str());
  }
}

void PrintJson(const image::FlashImage& flash, const image::PreParseOutcome& outcome) {
  std::string out = "{\"kind\":" + JsonString(KindText(outcome.kind));
  out += ",\"sdram_size\":" + std::to_string(static_cast<int32_t>(flash.sdram_size));
  out += ",\"flash_size\":" + std::to_string(flash.flash_size);
  out += ",\"block_number\":" + std::to_string(flash.block_number);
  out += ",\"software_version\":" + JsonString(flash.software_version);
  out += std::string(",\"expert\":") + (flash.expert ? "true" : "false");
  out += ",\"script_path\":" + JsonString(flash.script_path);
  out += std::string(",\"script_row\":") + (outcome.show_script_row ? "true" : "false");
  out += std::string(",\"export_section\":") + (outcome.show_export_section ? "true" : "false");
  if (outcome.kind == image::ImageKind::Legacy) {
    out += ",\"dmh_offset\":" + std::to_string(flash.dmh_offset);
    out += ",\"config_length\":" + std::to_string(flash.config_length);
  }
  out += ",\"blocks\":[";
  for (size_t r = 0; r < outcome.rows.size(); ++r) {
    const image::GridRow& row = outcome.rows[r];
    out += r == 0 ? "{" : ",{";
    out += "\"id\":" + std::to_string(row.block_id);
    out += ",\"size\":" + std::to_string(row.size);
    out += ",\"crc\":" + std::to_string(row.crc);
    out += ",\"name\":" + JsonString(row.name);
    out += ",\"version\":" + std::to_string(row.version);
    out += ",\"time\":" + JsonString(row.time) + "}";
  }
  out += "]}\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
}

Outcome Info(const Arguments& args, Messages& messages) {
  image::FlashImage flash;
  const image::PreParseOutcome outcome = image::PreParse(
      flash, {args.operands[0], args.Has("--experts"), args.Has("--internal")}, messages);
  if (outcome.result != image::PreParseResult::kParsed)
    return Outcome::Failed();
  if (args.Has("--json"))
    PrintJson(flash, outcome);
  else
    PrintText(flash, outcome);
  return Outcome::Done();
}

}  // namespace
}  // namespace nuv::cli
