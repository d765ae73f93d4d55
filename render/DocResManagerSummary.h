#pragma once
// A summary of a document's resource manager for the scene inspector: what
// the document stored and what reading it made.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "objectmodel/DocumentClasses.h"

struct DocResManagerSummary {
    std::int32_t version = 0;          // of the stored record
    std::size_t textureSets = 0;       // pictures and texture sets by link
    std::size_t textureSetValues = 0;  // links with values (frame times)
    std::size_t storedResources = 0;   // links whose records the document stores
    std::size_t guidTextures = 0;      // textures of picture effects by GUID
    std::size_t animatedPictures = 0;  // links with encoded frames
    std::size_t resourceRecords = 0;   // links with any known record
    std::size_t loadedTextures = 0;    // texture sets holding a texture
    std::size_t meshes = 0;
    std::size_t effects = 0;
    std::size_t sharedRenderTargets = 0;
    std::size_t losableObjects = 0;
};

// The summary of `manager`, or nothing when it is not a DS_DocResManager.
std::optional<DocResManagerSummary> SummarizeDocResManager(const DS_DocResManagerBase* manager);

// The summary as one JSON object on one line:
// {"version": 4, "textureSets": 1, ...}, in the order of the fields above.
std::string DocResManagerSummaryJson(const DocResManagerSummary& summary);
