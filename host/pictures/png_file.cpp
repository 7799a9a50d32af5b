#include "host/pictures/png_file.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "host/errors.h"
#include "host/system/file_writing.h"

namespace orvane {

namespace {

constexpr size_t kStoredBlockMax = 65535;  // bytes a stored deflate block can hold

using Bytes = std::vector<unsigned char>;

// CRC-32 as PNG chunks carry it: reflected polynomial 0xEDB88320, start and final xor ~0.
uint32_t crc32Of(const unsigned char* data, size_t size) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

// Adler-32 of the uncompressed data, closing the zlib stream. The sums are reduced every 5552
// bytes, the most that cannot overflow 32 bits.
uint32_t adler32Of(const Bytes& data) {
  constexpr uint32_t kBase = 65521;
  uint32_t a = 1, b = 0;
  size_t i = 0;
  while (i < data.size()) {
    size_t end = std::min(data.size(), i + 5552);
    for (; i < end; ++i) {
      a += data[i];
      b += a;
    }
    a %= kBase;
    b %= kBase;
  }
  return (b << 16) | a;
}

void putBig32(Bytes& out, uint32_t v) {
  out.push_back(static_cast<unsigned char>(v >> 24));
  out.push_back(static_cast<unsigned char>(v >> 16));
  out.push_back(static_cast<unsigned char>(v >> 8));
  out.push_back(static_cast<unsigned char>(v));
}

void putLittle16(Bytes& out, uint32_t v) {
  out.push_back(static_cast<unsigned char>(v));
  out.push_back(static_cast<unsigned char>(v >> 8));
}

// One chunk: length, type, data, CRC over type and data.
void putChunk(Bytes& out, const char type[4], const Bytes& data) {
  putBig32(out, static_cast<uint32_t>(data.size()));
  const size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  putBig32(out, crc32Of(out.data() + typeAt, 4 + data.size()));
}

// The scanlines: each row a filter byte 0 (none) and then R, G, B per pixel.
Bytes scanlinesOf(const Screenshot& image) {
  const size_t rowBytes = 1 + 3 * static_cast<size_t>(image.width);
  Bytes raw;
  raw.reserve(rowBytes * static_cast<size_t>(image.height));
  const uint32_t* pixel = image.pixels.data();
  for (int y = 0; y < image.height; ++y) {
    raw.push_back(0);
    for (int x = 0; x < image.width; ++x, ++pixel) {
      raw.push_back(static_cast<unsigned char>(*pixel >> 16));
      raw.push_back(static_cast<unsigned char>(*pixel >> 8));
      raw.push_back(static_cast<unsigned char>(*pixel));
    }
  }
  return raw;
}

// A zlib stream (deflate, 32K window, no preset dictionary) of stored blocks; the last block
// carries the final flag.
Bytes zlibStored(const Bytes& raw) {
  Bytes z;
  const size_t blocks = raw.empty() ? 1 : (raw.size() + kStoredBlockMax - 1) / kStoredBlockMax;
  z.reserve(2 + raw.size() + 5 * blocks + 4);
  z.push_back(0x78);  // CM 8 (deflate), CINFO 7 (32K window)
  z.push_back(0x01);  // FLEVEL 0, no dictionary; 0x7801 is a multiple of 31 as FCHECK needs
  size_t at = 0;
  for (size_t block = 0; block < blocks; ++block) {
    const size_t length = std::min(kStoredBlockMax, raw.size() - at);
    z.push_back(block + 1 == blocks ? 1 : 0);  // BFINAL, BTYPE 00 (stored)
    putLittle16(z, static_cast<uint32_t>(length));
    putLittle16(z, static_cast<uint32_t>(~length & 0xFFFF));
    z.insert(z.end(), raw.begin() + static_cast<ptrdiff_t>(at),
             raw.begin() + static_cast<ptrdiff_t>(at + length));
    at += length;
  }
  putBig32(z, adler32Of(raw));
  return z;
}

Bytes pngOf(const Screenshot& image) {
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes png(kSignature, kSignature + 8);
  Bytes header;
  putBig32(header, static_cast<uint32_t>(image.width));
  putBig32(header, static_cast<uint32_t>(image.height));
  header.push_back(8);  // bits per sample
  header.push_back(2);  // colour type: RGB
  header.push_back(0);  // compression: deflate
  header.push_back(0);  // filter method: adaptive (every row uses type 0)
  header.push_back(0);  // no interlace
  putChunk(png, "IHDR", header);
  putChunk(png, "IDAT", zlibStored(scanlinesOf(image)));
  putChunk(png, "IEND", {});
  return png;
}

void requireImage(const std::string& path, const Screenshot& image) {
  if (image.width <= 0 || image.height <= 0) {
    throw failure("cannot write " + path + ": the image is empty (" + std::to_string(image.width) +
                  " x " + std::to_string(image.height) + " pixels)");
  }
  const int64_t expected = static_cast<int64_t>(image.width) * image.height;
  if (static_cast<int64_t>(image.pixels.size()) != expected) {
    throw failure("cannot write " + path + ": the image has " +
                  std::to_string(image.pixels.size()) + " pixels for " +
                  std::to_string(image.width) + " x " + std::to_string(image.height));
  }
}

}  // namespace

void writePng(const std::string& path, const Screenshot& image) {
  requireImage(path, image);
  writeBinaryFile(path, pngOf(image));
}

}  // namespace orvane
