// Command line: decompiles one compiled shape font into shape source text, or
// prints the source of one code ("-c font.shx 41"). The result goes to
// standard output with status 0; when the font cannot be read or the source
// cannot be written, the reason goes to standard error with status 1; a command line that cannot be run gives the usage
// on standard error and status 2.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fonttool/program_output.h"
#include "fonttool/shp_writer.h"

namespace {

using fontlathe::kFailed;
using fontlathe::kSucceeded;

const char kProgram[] = "fontlathe_decompile";
const char kVersion[] = "(fontlathe) 2.02";

const char kUsage[] =
    "usage: fontlathe_decompile [--] FONT.shx OUT.shp\n"
    "       fontlathe_decompile -c [--] FONT.shx HEXCODE\n"
    "       fontlathe_decompile --help | --version\n"
    "Decompiles a compiled shape font into shape source (OUT.shp is replaced\n"
    "only once it is complete), or with -c prints the source of the character\n"
    "HEXCODE (hexadecimal, 0 to ffff).\n";

int UsageError(const std::string& what) { return fontlathe::UsageError(kProgram, kUsage, what); }

}  // namespace

int main(int argc, char** argv) {
  bool code_view = false;
  std::vector<const char*> operands;
  bool options = true;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (!options || arg[0] != '-' || arg[1] == '\0') {
      operands.push_back(arg);
    } else if (std::strcmp(arg, "--") == 0) {
      options = false;
    } else if (std::strcmp(arg, "-c") == 0) {
      code_view = true;
    } else if (int status = 0; qm_program_standard_option(arg, kProgram, kUsage, &status, kVersion)) {
      return status;
    } else {
      return UsageError(qm_program_unknown_option(arg));
    }
  }
  const char* second = code_view ? "code" : "output file";
  if (operands.empty()) return UsageError("missing the font file and the " + std::string(second));
  if (operands.size() == 1) return UsageError("missing the " + std::string(second));
  if (operands.size() > 2)
    return UsageError(std::string("too many arguments: '") + operands[2] + "'");
  if (operands[0][0] == '\0') return UsageError("the font file name is empty");

  std::string message;
  bool ok;
  if (code_view) {
    uint32_t code = 0;
    if (!fontlathe::ParseShapeCode(operands[1], &code)) {
      return UsageError(std::string("invalid code '") + operands[1] + "' (hexadecimal, 0 to ffff)");
    }
    ok = fontlathe::DecodeCodeView(operands[0], operands[1], message);
  } else {
    if (operands[1][0] == '\0') return UsageError("the output file name is empty");
    ok = fontlathe::DecompileFontFile(operands[0], operands[1], message);
  }
  return fontlathe::Finish(kProgram, ok, message, code_view ? "" : "\n");  // "\n" ends the progress marks
}
