// Text in the hand-written pictures: escaped for XML (SVG, and Graphviz's
// HTML-like labels), and its approximate width for laying the picture out.
#pragma once

#include <string>

std::string xml_escaped(const std::string& text);

// The width in pixels of text in Helvetica (or Arial) at the given font size,
// from typical glyph widths: no font file is read, so this is an estimate
// good to a few per cent for Latin text.
double text_width(const std::string& text, double font_size);
