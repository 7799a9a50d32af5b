// The letters of QueryXfm's paramTypes, which describe a parameter block to the host field by
// field, and the bytes each stands for. One home for the plug-ins, which check their letters
// against their blocks at compile time, and for the host, which decodes blocks with them; it
// needs no system header, so both systems' builds of both sides can include it.
#pragma once

// Width in bytes of a field letter; 0 for a letter that is none.
//   c 1: a character or flag      i 2: a 16-bit integer    l 4: a 32-bit integer or address
//   f 4: a 32-bit float           h 4: a handle            b 4: a 32-bit boolean
//   d 8: a double                 s 256: a zero-terminated text
constexpr unsigned paramTypeWidth(char type) {
  switch (type) {
    case 'c':
      return 1;
    case 'i':
      return 2;
    case 'l':
    case 'f':
    case 'h':
    case 'b':
      return 4;
    case 'd':
      return 8;
    case 's':
      return 256;
    default:
      return 0;
  }
}

// Bytes that a string of letters describes; -1 when a letter is none of the above.
constexpr long paramTypeBytes(const char* types) {
  long bytes = 0;
  for (; *types != '\0'; ++types) {
    const unsigned width = paramTypeWidth(*types);
    if (width == 0) return -1;
    bytes += (long)width;
  }
  return bytes;
}
