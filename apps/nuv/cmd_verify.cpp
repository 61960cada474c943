// nuv verify IMAGE [--script FILE] [--json]: every check an engineer wants
// before an image goes to the factory, one finding a line, and an exit code
// a script can rely on.
#include <cstdio>
#include <string>

#include "command.h"
#include "text_output.h"
#include "verify/verify.h"

namespace nuv::cli {
namespace {

Outcome Verify(const Arguments& args, Messages& messages);

const Command kVerify = {
    .name = "verify",
    .usage = "IMAGE [--script FILE] [--json]",
    .summary =
        "checks an image: block data inside the image and its CRC-32, overlaps, alignment,\n"
        "      bank headers; legacy: configuration area, tail entries, software version, and\n"
        "      the script (beside the image, or FILE) with every field inside its block; new\n"
        "      format: the toolcfg script unpacks and parses, the preset table unpacks;\n"
        "      one finding a line; exit 0 when no error was found, 1 when one was, 2 when\n"
        "      the image is refused or the arguments are wrong",
    .modifies = "nothing",
    .operands = {"IMAGE"},
    .options = {{"--script", "FILE", "checks this legacy script instead of the one beside IMAGE"},
                {"--json", "", "prints one JSON object"}},
    .found = "an error was found",
    .run = &Verify};

CommandRegistration register_verify(kVerify);

const char* SeverityText(verify::Severity severity) {
  return severity == verify::Severity::Error ? "error" : "warning";
}

std::string ValueText(const verify::FindingValue& value) {
  switch (value.kind) {
    case verify::FindingValue::Kind::Number:
      return value.hex ? verify::Hex(value.number) : std::to_string(value.number);
    case verify::FindingValue::Kind::Text:
      return Quoted(value.text);
    case verify::FindingValue::Kind::None:
      break;
  }
  return {};
}

std::string ValueJson(const verify::FindingValue& value) {
  switch (value.kind) {
    case verify::FindingValue::Kind::Number:
      return std::to_string(value.number);
    case verify::FindingValue::Kind::Text:
      return JsonString(value.text);
    case verify::FindingValue::Kind::None:
      break;
  }
  return "null";
}

// error crc block A4 "kernel": TEXT (expected E, found F)
std::string FindingLine(const verify::Finding& finding) {
  std::string line = std::string(SeverityText(finding.severity)) + " " + std::string(finding.check);
  if (finding.block) {
    char id[8];
    std::snprintf(id, sizeof id, "%02X", finding.block->id);
    line += " block " + std::string(id) + " \"" + Printable(finding.block->name) + "\"";
  }
  line += ": " + Printable(finding.text);
  const std::string expected = ValueText(finding.expected);
  const std::string found = ValueText(finding.found);
  if (!expected.empty() || !found.empty()) {
    line += " (";
    if (!expected.empty())
      line += "expected " + expected + (found.empty() ? "" : ", ");
    if (!found.empty())
      line += "found " + found;
    line += ")";
  }
  return line;
}

std::string FindingJson(const verify::Finding& finding) {
  std::string out = "{\"severity\":" + JsonString(SeverityText(finding.severity));
  out += ",\"check\":" + JsonString(finding.check) + ",\"block\":";
  out += finding.block ? "{\"id\":" + std::to_string(finding.block->id) +
                             ",\"name\":" + JsonString(finding.block->name) + "}"
                       : "null";
  out += ",\"expected\":" + ValueJson(finding.expected);
  out += ",\"found\":" + ValueJson(finding.found);
  return out + ",\"text\":" + JsonString(finding.text) + "}";
}

void PrintText(const std::string& image, const verify::VerifyOutcome& outcome) {
  size_t errors = 0;
  for (const verify::Finding& finding : outcome.findings) {
    std::printf("%s\n", FindingLine(finding).c_str());
    errors += finding.severity == verify::Severity::Error;
  }
  const size_t warnings = outcome.findings.size() - errors;
  std::printf("%s: %s, %zu error%s, %zu warning%s\n", Printable(image).c_str(),
              outcome.sound() ? "sound" : "not sound", errors, errors == 1 ? "" : "s", warnings,
              warnings == 1 ? "" : "s");
}

void PrintJson(const verify::VerifyOutcome& outcome) {
  std::string out = std::string("{\"sound\":") + (outcome.sound() ? "true" : "false");
  out += ",\"findings\":[";
  for (size_t i = 0; i < outcome.findings.size(); ++i)
    out.append(i ? "," : "").append(FindingJson(outcome.findings[i]));
  out += "]}\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
}

Outcome Verify(const Arguments& args, Messages& messages) {
  const verify::VerifyOutcome outcome =
      verify::VerifyImage({args.operands[0], args.Value("--script")}, messages);
  if (outcome.result != verify::VerifyResult::kChecked)
    return Outcome::Failed();
  if (args.Has("--json"))
    PrintJson(outcome);
  else
    PrintText(args.operands[0], outcome);
  return outcome.sound() ? Outcome::Done() : Outcome::Found();
}

}  // namespace
}  // namespace nuv::cli
