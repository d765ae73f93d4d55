#pragma once
// The inspector's "params" of the painted and placed generators (custom
// airbrush, sparkles, twinkling stars, aurora, animated font, plant): their
// own stored values, integers as stored; the dabs as a list of positions
// with their ten channels, the plant's rect as four points, a path as a list
// of points and the glyph images as links.

#include <sstream>

class DS_IOF_Item;

// Appends `, "params": {...}` and answers true for one of these classes;
// nothing and false for any other item.
bool WritePaintedGeneratorParams(std::ostringstream& out, const DS_IOF_Item& item);
