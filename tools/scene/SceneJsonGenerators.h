#pragma once
// The inspector's fields of the particle generators: a "generator" object
// with the fields every generator stores, and "params" with the class's own
// stored fields (stored values: integers as stored, points as [x, y, z]).

#include <sstream>

class DS_IOF_Item;

// Appends `, "generator": {...}, "params": {...}` for a generator; nothing
// for any other item.
void WriteGeneratorFields(std::ostringstream& out, const DS_IOF_Item& item);
