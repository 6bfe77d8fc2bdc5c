#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("tumu %s\n", TUMU_VERSION);
    return 0;
  }
  std::fprintf(stderr, "tumu: the player is not built yet\n");
  return 1;
}
