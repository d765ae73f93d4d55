#pragma once
// Registers the stored line classes in the main class registry.

void RegisterLineSystemClasses();
