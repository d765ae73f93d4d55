#pragma once
// Registration of the picture-effects layer's stored classes in the main
// class registry, under the names documents store. Called by
// InstallPlayerDocumentClasses (and so by every program that reads
// documents); calling it again changes nothing.

void RegisterEffectClasses();
