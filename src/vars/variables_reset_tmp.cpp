#include "platform/png_writer.h"
namespace tumu {
bool WritePng(const std::string&, const Surface565&, std::string* error) {
  *error = "no png yet";
  return false;
}
}  // namespace tumu
