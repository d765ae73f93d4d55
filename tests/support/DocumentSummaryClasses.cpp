#include "tests/support/DocumentSummaryClasses.h"

#include "objectmodel/ClassRegistry.h"

void InspectionSlideShow::ReadSlide(ArchiveReader ar)
{
    Slide slide;
    const SectionHeader header = ar.ReadSectionHeader();
    slide.className = header.className;
    slide.version = header.version;
    slide.object = FindRecordReader(GetSlideContainerClassRegistry(), header.className).CreateItemAndRead(ar, header.version);
    slides.push_back(std::move(slide));
}

void InspectionResManager::ReadBody(ArchiveReader ar, std::int32_t storedVersion)
{
    version = storedVersion;
    record = ReadDocResManagerBody(ar, storedVersion);
}

void InstallInspectionSlideShow()
{
    InstallSlideShowClass([]() -> std::unique_ptr<DS_SlideShowBase> { return std::make_unique<InspectionSlideShow>(); });
}

void InstallInspectionDocumentClasses()
{
    if (!HasSlideShowClass())
        InstallInspectionSlideShow();
    if (!HasDocResManagerClass()) {
        InstallDocResManagerClass(
            []() -> std::unique_ptr<DS_DocResManagerBase> { return std::make_unique<InspectionResManager>(); });
    }
}
