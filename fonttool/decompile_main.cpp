// Command line: decompiles one compiled shape font into shape source text, or
// prints the source of one code ("-c font.shx 41").
#include <cstdio>
#include <cstring>
#include <string>

#include "fonttool/shp_writer.h"

int main(int argc, char** argv) {
  std::string message;
  bool ok;
  if (argc == 4 && std::strcmp(argv[1], "-c") == 0) {
    ok = fontlathe::DecodeCodeView(argv[2], argv[3], message);
  } else if (argc == 3) {
    ok = fontlathe::DecompileFontFile(argv[1], argv[2], message);
    std::printf("\n");
  } else {
    std::fprintf(stderr, "usage: %s font.shx out.shp\n       %s -c font.shx hexcode\n", argv[0],
                 argv[0]);
    return 2;
  }
  std::printf("%s\n", message.c_str());
  return ok ? 0 : 1;
}
