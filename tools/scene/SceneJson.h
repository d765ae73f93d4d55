#pragma once
// The inspector's view of a document: its tree as JSON.
//
// {"header": "VIZ v 4.0.0",
//  "slides": [{"class": ..., "version": ..., "light": <class of the picture scene>,
//              "objects": [{"class": ..., "name": ..., "guid": ..., "depth": N,
//                           "timeline": {"selector": N, "class": ...}}],
//              "sounds": [{ the same, and "volume": N, "pan": N, "length": N}]}],
//  "audio": [{"name": ..., "source": ..., "bytes": N}],
//  "resources": {"version": 4, "textureSets": N, "textureSetValues": N,
//                "storedResources": N, "guidTextures": N, "animatedPictures": N}}
//
// Slides and resources are shown as far as the installed document classes
// expose them (DocumentSummaryClasses.h).

#include <string>

#include "objectmodel/SceneDocument.h"

std::string InspectDocumentJson(const SceneDocument& document);

// Escapes `text` as the contents of a JSON string.
std::string JsonEscape(const std::string& text);
