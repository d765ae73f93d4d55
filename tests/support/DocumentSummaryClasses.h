#pragma once
// Slide-show and resource-manager classes that read a document's top level
// as plain data, for programs that do not link the player and render layers
// (the inspector, the fuzzer, the object-model tests). Slides are read
// through the slide-container registry like the player's own, so they are
// what has been registered so far; the manager keeps its stored record.

#include <memory>
#include <vector>

#include "objectmodel/DocResRecord.h"
#include "objectmodel/DocumentClasses.h"

class InspectionSlideShow : public DS_SlideShowBase {
public:
    struct Slide {
        kxi_string className;
        std::int32_t version = 0;
        std::unique_ptr<DS_IOF_Item> object;
    };

    void ReadSlide(ArchiveReader ar) override;

    std::vector<Slide> slides;
};

class InspectionResManager : public DS_DocResManagerBase {
public:
    void ReadBody(ArchiveReader ar, std::int32_t version) override;

    std::int32_t version = 0;
    DocResManagerRecord record;
};

// Installs each of the two classes unless the program has installed its own.
void InstallInspectionDocumentClasses();

// Installs the inspection slide show in place of any other.
void InstallInspectionSlideShow();
