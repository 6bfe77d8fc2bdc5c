#include "golden.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/png_writer.h"
#include "test_png_reader.h"

namespace tumu::testing {

namespace {

std::string GoldenPath(const std::string& name) {
  return std::string(TUMU_SOURCE_DIR) + "/tests/golden/" + name + ".png";
}

}  // namespace

std::uint32_t FrameCrc(const Surface565& frame) {
  std::uint32_t crc = 0xFFFFFFFFu;
  auto add = [&crc](std::uint8_t byte) {
    crc ^= byte;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  };
  for (int y = 0; y < frame.height(); ++y) {
    const std::uint16_t* row = frame.row(y);
    for (int x = 0; x < frame.width(); ++x) {
      add(static_cast<std::uint8_t>(row[x] & 0xFF));
      add(static_cast<std::uint8_t>(row[x] >> 8));
    }
  }
  return ~crc;
}

Surface565 ReadPng(const std::string& path) {
  RgbImage image;
  std::string error;
  if (!ReadPngForTest(path, &image, &error)) return {};
  Surface565 frame(image.width, image.height);
  for (int y = 0; y < frame.height(); ++y) {
    for (int x = 0; x < frame.width(); ++x) {
      const RgbImage::Pixel p = image.at(x, y);
      frame.set_pixel(x, y, static_cast<std::uint16_t>(((p.red >> 3) << 11) | ((p.green >> 2) << 5) |
                                                        (p.blue >> 3)));
    }
  }
  return frame;
}

void ExpectPixels(const Surface565& frame, const std::vector<Probe>& probes,
                  const std::string& label) {
  for (const Probe& p : probes) {
    if (frame.empty() || p.x < 0 || p.y < 0 || p.x >= frame.width() || p.y >= frame.height()) {
      ADD_FAILURE() << label << " pixel (" << p.x << ", " << p.y << "): outside the frame";
    } else if (frame.pixel(p.x, p.y) != p.colour) {
      ADD_FAILURE() << label << " pixel (" << p.x << ", " << p.y << "): 0x" << std::hex
                    << frame.pixel(p.x, p.y) << ", expected 0x" << p.colour;
    }
  }
}

void ExpectFrame(const Surface565& frame, const std::string& name, std::uint32_t expected_crc) {
  ASSERT_FALSE(frame.empty()) << name << ": no frame";
  const std::uint32_t crc = FrameCrc(frame);
  std::string error;
  if (const char* update = std::getenv("TUMU_UPDATE_GOLDEN"); update && *update == '1') {
    ASSERT_TRUE(WritePng(GoldenPath(name), frame, &error)) << error;
    std::printf("golden %s: 0x%08X\n", name.c_str(), crc);
    return;
  }
  if (crc == expected_crc) return;
  const std::string actual = name + "-actual.png";
  WritePng(actual, frame, &error);
  std::string where = "no golden PNG to compare with";
  const Surface565 golden = ReadPng(GoldenPath(name));
  if (!golden.empty() && golden.width() == frame.width() && golden.height() == frame.height()) {
    where = "the same pixels as " + GoldenPath(name);
    for (int y = 0; y < frame.height() && where.rfind("the same", 0) == 0; ++y) {
      for (int x = 0; x < frame.width(); ++x) {
        if (golden.pixel(x, y) != frame.pixel(x, y)) {
          char text[160];
          std::snprintf(text, sizeof(text), "first difference at (%d, %d): golden 0x%04X, actual 0x%04X", x,
                        y, golden.pixel(x, y), frame.pixel(x, y));
          where = text;
          break;
        }
      }
    }
  }
  ADD_FAILURE() << name << ": frame CRC 0x" << std::hex << crc << ", expected 0x" << expected_crc
                << std::dec << "; " << where << "; wrote " << std::filesystem::absolute(actual);
}

}  // namespace tumu::testing
