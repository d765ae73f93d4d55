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

#include <sstream>
#include <string>

#include "objectmodel/SceneDocument.h"

std::string InspectDocumentJson(const SceneDocument& document);

// Image effects add ", \"imageEffect\": {...}" to their object: key, effect
// link, mode, speed, scale and phase-offset values, region corners, extra
// int, whether the document holds the mask kept under the key ("mask"), and
// the class's own stored values by name ("values"). Nothing for other items.
class DS_IOF_Item;
void WriteImageEffectFields(std::ostringstream& out, const DS_IOF_Item& item);

// Escapes `text` as the contents of a JSON string.
std::string JsonEscape(const std::string& text);

// Pieces every part of the inspector writes the same way:
//   JsonString: a stored text as a quoted, escaped JSON string;
//   JsonLink:   a file link as {"path": ..., "id": N};
//   JsonPoint:  a point as [x, y, z] in the stream's default number format;
//   JsonNumber: a stored float, null when it is not finite (documents may
//               hold values JSON cannot).
class DS_FileLink3;
namespace math {
struct Vec3;
}
std::string JsonString(const kxi_string& text);
std::string JsonLink(const DS_FileLink3& link);
std::string JsonPoint(const math::Vec3& point);
std::string JsonNumber(float value);

// Sprite scene objects add their own fields (SceneJsonSpriteObjects.cpp).
void WriteSpriteObjectFields(std::ostringstream& out, const DS_IOF_Item& item);
