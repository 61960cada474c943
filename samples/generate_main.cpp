// nuv-samples FOLDER: writes every sample file into FOLDER.
#include <cstdio>
#include <string>

#include "sample_set.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: nuv-samples FOLDER\n");
    return 1;
  }
  std::string error;
  if (!nuv::samples::WriteAll(argv[1], error)) {
    std::fprintf(stderr, "nuv-samples: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
