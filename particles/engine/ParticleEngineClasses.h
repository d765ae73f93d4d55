#pragma once
// Registers every stored class of the particle engine with the class
// registries; InstallPlayerDocumentClasses calls it.

void RegisterParticleEngineClasses();
