// Runs a fuzz target over every file of a seed folder (or the files given), so that the ordinary
// sanitizer build checks the targets on their seeds without libFuzzer.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

int RunFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return 1;
  }
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path arg(argv[i]);
    if (std::filesystem::is_directory(arg)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(arg)) {
        if (!entry.is_regular_file()) continue;
        if (RunFile(entry.path()) != 0) return 1;
        ++count;
      }
    } else {
      if (RunFile(arg) != 0) return 1;
      ++count;
    }
  }
  // An empty input is always worth a run too.
  LLVMFuzzerTestOneInput(nullptr, 0);
  std::printf("%d inputs\n", count);
  return count > 0 ? 0 : 1;
}
