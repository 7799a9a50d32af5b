// The Windows host's PNG writer, checked on Linux by reading its files back with cairo (whose
// PNG reader checks every chunk's CRC and the zlib stream's block lengths and Adler-32).
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/errors.h"
#include "host/host_test_support.h"
#include "host/pictures/png_file.h"

using namespace orvane;
using hosttest::ScratchDir;

namespace {

// An image whose every pixel differs from its neighbours in all three components, so that a
// swapped channel, a shifted row or a lost byte shows.
Screenshot pattern(int width, int height) {
  Screenshot image;
  image.width = width;
  image.height = height;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t r = (x * 7 + y * 3) & 0xFF;
      const uint32_t g = (x * 13 + y * 29 + 85) & 0xFF;
      const uint32_t b = (x * 31 + y * 11 + 170) & 0xFF;
      image.pixels.push_back((r << 16) | (g << 8) | b);
    }
  }
  return image;
}

// Reads `path` with cairo and compares it with `image` pixel by pixel.
void expectReadsBack(const std::string& path, const Screenshot& image) {
  cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
  ASSERT_EQ(cairo_surface_status(s), CAIRO_STATUS_SUCCESS)
      << cairo_status_to_string(cairo_surface_status(s));
  EXPECT_EQ(cairo_image_surface_get_format(s), CAIRO_FORMAT_RGB24) << "not an opaque RGB image";
  ASSERT_EQ(cairo_image_surface_get_width(s), image.width);
  ASSERT_EQ(cairo_image_surface_get_height(s), image.height);
  const unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  int wrong = 0;
  for (int y = 0; y < image.height; ++y) {
    const uint32_t* row =
        reinterpret_cast<const uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
    for (int x = 0; x < image.width; ++x) {
      const uint32_t want = image.pixels[static_cast<size_t>(y) * image.width + x];
      const uint32_t got = row[x] & 0xFFFFFF;
      if (got != want && ++wrong <= 5) {
        ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << got << " instead of "
                      << want;
      }
    }
  }
  EXPECT_EQ(wrong, 0);
  cairo_surface_destroy(s);
}

std::string errorOf(const std::string& path, const Screenshot& image) {
  try {
    writePng(path, image);
  } catch (const HostError& e) {
    EXPECT_EQ(e.status(), kExitFailure);
    return e.what();
  }
  return "";
}

// Bytes of image data before compression: a filter byte and three bytes per pixel a row.
size_t scanlineBytes(int width, int height) {
  return static_cast<size_t>(height) * (1 + 3 * width);
}

// CRC-32 of PNG chunks, bit by bit.
uint32_t crc32Bitwise(const unsigned char* p, size_t n) {
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return ~c;
}

}  // namespace

TEST(PngFile, SmallAndOddSizesReadBackPixelForPixel) {
  ScratchDir dir;
  for (auto [w, h] : {std::pair{1, 1}, {1, 7}, {7, 1}, {3, 2}, {5, 5}, {101, 13}}) {
    SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
    const std::string path = dir.file("p" + std::to_string(w) + "x" + std::to_string(h) + ".png");
    Screenshot image = pattern(w, h);
    writePng(path, image);
    expectReadsBack(path, image);
  }
}

TEST(PngFile, ImageDataSpreadOverSeveralStoredBlocks) {
  ScratchDir dir;
  // 1456 x 15 fills one stored block exactly (65535 bytes), 1456 x 30 two; 301 x 200 needs
  // three blocks with the boundaries inside rows; 640 x 480 fills 19 blocks and part of one more.
  ASSERT_EQ(scanlineBytes(1456, 15), 65535u);
  for (auto [w, h] : {std::pair{1456, 15}, {1456, 30}, {301, 200}, {1456, 16}, {640, 480}}) {
    SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
    const std::string path = dir.file("big.png");
    Screenshot image = pattern(w, h);
    writePng(path, image);
    expectReadsBack(path, image);
  }
}

TEST(PngFile, FileIsSignatureHeaderDataEnd) {
  ScratchDir dir;
  const std::string path = dir.file("layout.png");
  writePng(path, pattern(300, 250));  // 225250 bytes of scanlines: 4 stored blocks
  std::vector<unsigned char> bytes = hosttest::readBytes(path);
  auto big32 = [&](size_t at) {
    return (uint32_t{bytes.at(at)} << 24) | (uint32_t{bytes.at(at + 1)} << 16) |
           (uint32_t{bytes.at(at + 2)} << 8) | bytes.at(at + 3);
  };
  const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  ASSERT_GE(bytes.size(), 8u);
  EXPECT_TRUE(std::equal(signature, signature + 8, bytes.begin()));
  std::vector<std::string> chunks;
  size_t at = 8;
  while (at + 12 <= bytes.size()) {
    const uint32_t length = big32(at);
    chunks.push_back(std::string(bytes.begin() + at + 4, bytes.begin() + at + 8));
    if (chunks.back() == "IHDR") {
      ASSERT_EQ(length, 13u);
      EXPECT_EQ(big32(at + 8), 300u);
      EXPECT_EQ(big32(at + 12), 250u);
      EXPECT_EQ(bytes[at + 16], 8) << "bit depth";
      EXPECT_EQ(bytes[at + 17], 2) << "colour type RGB";
      EXPECT_EQ(bytes[at + 20], 0) << "interlace";
    }
    if (chunks.back() == "IDAT") {
      // zlib header, 4 blocks of 5 bytes' header each, the scanlines, the Adler-32.
      EXPECT_EQ(length, 2 + 4 * 5 + scanlineBytes(300, 250) + 4);
      EXPECT_EQ((bytes[at + 8] * 256 + bytes[at + 9]) % 31, 0) << "zlib header check";
    }
    at += 12 + length;
  }
  EXPECT_EQ(at, bytes.size()) << "bytes after the last chunk";
  EXPECT_EQ(chunks, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
}

TEST(PngFile, DamageToTheStreamIsNoticedByTheReader) {
  // Guards the read-back checks above: cairo refuses a file whose chunk CRC, stored block
  // length or Adler-32 is wrong, so a writer computing any of them wrongly cannot pass them.
  // The inner damage gets a correct CRC again, or the CRC check alone would catch it.
  ScratchDir dir;
  const std::string path = dir.file("damaged.png");
  writePng(path, pattern(9, 4));
  const std::vector<unsigned char> good = hosttest::readBytes(path);
  const size_t idat = 8 + 25;  // after the signature and the 13-byte IHDR chunk
  ASSERT_EQ(std::string(good.begin() + idat + 4, good.begin() + idat + 8), "IDAT");
  const size_t length = (size_t{good[idat]} << 24) | (size_t{good[idat + 1]} << 16) |
                        (size_t{good[idat + 2]} << 8) | good[idat + 3];
  const size_t data = idat + 8, crc = data + length;
  struct Damage {
    const char* what;
    size_t at;
    bool fixCrc;
  };
  auto withCrc = [&](std::vector<unsigned char> bytes) {
    const uint32_t sum = crc32Bitwise(&bytes[idat + 4], length + 4);
    for (int i = 0; i < 4; ++i) bytes[crc + i] = static_cast<unsigned char>(sum >> (24 - 8 * i));
    return bytes;
  };
  ASSERT_EQ(withCrc(good), good) << "the test's own CRC must agree with an undamaged file";
  for (Damage d : {Damage{"chunk CRC", crc + 3, false}, Damage{"stored length", data + 5, true},
                   Damage{"Adler-32", crc - 1, true}}) {
    SCOPED_TRACE(d.what);
    std::vector<unsigned char> bytes = good;
    bytes[d.at] ^= 0x01;
    if (d.fixCrc) bytes = withCrc(bytes);
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    ASSERT_EQ(std::fclose(f), 0);
    cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
    EXPECT_NE(cairo_surface_status(s), CAIRO_STATUS_SUCCESS);
    cairo_surface_destroy(s);
  }
}

TEST(PngFile, FailuresNameTheFile) {
  ScratchDir dir;
  // No such directory.
  const std::string missing = dir.file("no-such-dir/dialog-107.png");
  std::string message = errorOf(missing, pattern(4, 4));
  EXPECT_NE(message.find(missing), std::string::npos) << message;
  EXPECT_NE(message.find("No such file"), std::string::npos) << message;
  // A device that takes no bytes: the failure shows when writing, not when opening.
  message = errorOf("/dev/full", pattern(64, 64));
  EXPECT_NE(message.find("cannot write /dev/full"), std::string::npos) << message;
}

TEST(PngFile, EmptyOrInconsistentImagesWriteNoFile) {
  ScratchDir dir;
  const std::string path = dir.file("bad.png");
  EXPECT_NE(errorOf(path, Screenshot{}).find("empty"), std::string::npos);
  Screenshot noRows = pattern(5, 1);
  noRows.height = 0;
  EXPECT_NE(errorOf(path, noRows).find(path), std::string::npos);
  Screenshot negative = pattern(2, 2);
  negative.width = -2;
  negative.height = -2;
  EXPECT_NE(errorOf(path, negative).find(path), std::string::npos);
  Screenshot shortOfPixels = pattern(5, 3);
  shortOfPixels.pixels.pop_back();
  EXPECT_NE(errorOf(path, shortOfPixels).find("14 pixels for 5 x 3"), std::string::npos);
  Screenshot tooMany = pattern(5, 3);
  tooMany.height = 2;
  EXPECT_NE(errorOf(path, tooMany).find("15 pixels for 5 x 2"), std::string::npos);
  EXPECT_FALSE(hosttest::exists(path));
}
