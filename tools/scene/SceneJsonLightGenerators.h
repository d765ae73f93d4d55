#pragma once
// The inspector's "params" of the generators that leave trails of light
// (falling stars, fireworks, lightning, smoke): their own stored values,
// integers as stored, points and region corners as [x, y, z]; the origin
// generators add the origin fields.

#include <sstream>

class DS_IOF_Item;

// Appends `, "params": {...}` and answers true for one of these classes;
// nothing and false for any other item.
bool WriteLightGeneratorParams(std::ostringstream& out, const DS_IOF_Item& item);
