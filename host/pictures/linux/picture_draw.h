// What the picture writers share: colours, the font, text of the plug-ins' 8-bit character
// set, the graph routine and writing a cairo surface to a file. Internal to pictures.h.
#pragma once

#include <cairo.h>

#include <string>

#include "host/pictures/pictures.h"
#include "host/report/text_encoding.h"

namespace orvane {

struct Rgb {
  double r, g, b;  // 0 ... 1
};

// A Win32 COLORREF, 0x00BBGGRR.
Rgb colourOf(long colorref);
// A grey or colour given as 0 ... 255 components.
constexpr Rgb rgb255(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }
void setColour(cairo_t* cr, Rgb c);

// The dialogs' font: DejaVu Sans narrowed to 89 %, whose average character is then about as
// wide as the dialog base unit's, so texts fit the controls their templates size for them.
// `size` in user units (pixels before any scaling).
void useDialogFont(cairo_t* cr, double size, bool bold = false);

// Draws the graph into the rectangle (0, 0) - (graph.width, graph.height) of the user space.
void drawGraph(cairo_t* cr, const GraphSource& graph);

// Writes an image surface as PNG; throws HostError naming `path` on failure.
void writePngFile(cairo_surface_t* surface, const std::string& path);
// Ends a drawing: destroys `cr`, writes `surface` to `path` when the drawing succeeded, and
// destroys the surface in every case. Throws HostError naming the file on failure.
void finishPng(cairo_t* cr, cairo_surface_t* surface, const std::string& path);

}  // namespace orvane
