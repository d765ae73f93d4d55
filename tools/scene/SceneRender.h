#pragma once
// orvanta-scene render FILE|--embedded --time SECONDS --size WxH
//                       --position stretch|fit|fill --out PNG
// plays the document headless through the player from time 0 to SECONDS in
// frame steps and writes the last frame. Exit codes: 0 written, 1 refused
// document or no device, 2 bad arguments.

#include <string>

#include "objectmodel/SceneDocument.h"

int RunRenderCommand(int argc, char** argv);

// Opens the document a command names: FILE, or with "--embedded" the demo
// scene embedded in this tool. Throws as the document readers do.
SceneDocument OpenDocumentArgument(const std::string& argument);
