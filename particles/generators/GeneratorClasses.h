#pragma once
// Registration of the stored generator classes.

// Enters the generator classes in the main class registry (idempotent).
void RegisterGeneratorClasses();
