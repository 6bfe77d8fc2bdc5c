// Golden frames: a whole 640x480 frame checked by the CRC32 of its 5-6-5 pixels. On a mismatch
// the test writes NAME-actual.png into the build folder and names the first pixel that differs
// from tests/golden/NAME.png (kept beside the tests so that a person can look at each frame).
//
// TUMU_UPDATE_GOLDEN=1 writes the golden PNGs anew and prints the CRCs to put into the tests.
#pragma once

#include <cstdint>
#include <vector>
#include <string>

#include "platform/surface565.h"

namespace tumu::testing {

std::uint32_t FrameCrc(const Surface565& frame);

// Checks the frame against its CRC; adds a test failure with what to look at when it differs.
void ExpectFrame(const Surface565& frame, const std::string& name, std::uint32_t expected_crc);

// One pixel a test expects in a frame.
struct Probe {
  int x;
  int y;
  std::uint16_t colour;
};

// Checks every probe; a failure names the probe, the colour found and the label.
void ExpectPixels(const Surface565& frame, const std::vector<Probe>& probes,
                  const std::string& label = "");

// Reads a PNG written by WritePng back into a 5-6-5 surface (empty when it cannot be read).
Surface565 ReadPng(const std::string& path);

}  // namespace tumu::testing
