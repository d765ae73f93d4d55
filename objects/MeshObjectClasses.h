#pragma once
// Registration of the 3D object items ("DS_ButterflyConstructor",
// "DS_ClockConstructor", "DS_3D_in_2D_array_Constructor") in the main
// class registry; called by RegisterObjectClasses.

void RegisterMeshObjectClasses();
