#pragma once
// The seam between the document opener and the classes of its two
// top-level records.
//
// A document is a header, one slide-show record and one resource-manager
// record. The slide show (DS_SlideShow_Light) belongs to the player and the
// resource manager (DS_DocResManager) to the render layer, both above this
// one. The opener therefore works through two bases defined here:
//
//   DS_SlideShowBase      the slide-show root: reads its slide records
//                         (a virtual: the slides' class lives above) and
//                         holds the audio files the document carries.
//   DS_DocResManagerBase  the document's resource manager: reads its body
//                         for a stored version.
//
// The layers that own the concrete classes install a factory for each at
// static initialisation, the same way stored classes register in the class
// registries:
//     static const bool installed = (InstallSlideShowClass(&MakeSlideShow), true);
// A program (or test) that reads documents must have both installed.
//
// The thread's current resource manager is `g_DocResManagerTls`, a pointer
// to the base that the render layer casts back to its DS_DocResManager.
// It never owns the manager: a document (SceneDocument.h) owns its slide
// show and its manager together.

#include <cstdint>
#include <memory>
#include <vector>

#include "objectmodel/Archive.h"
#include "objectmodel/AudioFile.h"
#include "objectmodel/IOFItem.h"
#include "objectmodel/SafePtr.h"

class DS_SlideShowBase : public DS_IOF_Item {
public:
    // Reads one slide record (a polymorphic record of the slide-container
    // registry) and appends it to the slides.
    virtual void ReadSlide(ArchiveReader ar) = 0;

    // The playlist's tracks, in stored order.
    std::vector<DS_SafePtr<DS_AudioFile>>& AudioFiles() { return m_audioFiles; }
    const std::vector<DS_SafePtr<DS_AudioFile>>& AudioFiles() const { return m_audioFiles; }

private:
    std::vector<DS_SafePtr<DS_AudioFile>> m_audioFiles;
};

class DS_DocResManagerBase : public DS_IOF_Item {
public:
    // Reads the body of a stored manager record of `version`.
    virtual void ReadBody(ArchiveReader ar, std::int32_t version) = 0;
};

using SlideShowFactory = std::unique_ptr<DS_SlideShowBase> (*)();
using DocResManagerFactory = std::unique_ptr<DS_DocResManagerBase> (*)();

// Installs the concrete classes; the last installation wins.
void InstallSlideShowClass(SlideShowFactory factory);
void InstallDocResManagerClass(DocResManagerFactory factory);
bool HasSlideShowClass();
bool HasDocResManagerClass();

// New empty objects of the installed classes; std::logic_error when a class
// was never installed (a program built without its layer).
std::unique_ptr<DS_SlideShowBase> CreateSlideShow();
std::unique_ptr<DS_DocResManagerBase> CreateDocResManager();

// The calling thread's current document resource manager, or null.
extern thread_local DS_DocResManagerBase* g_DocResManagerTls;

// Makes `manager` the thread's current one for the scope's lifetime and
// restores the previous one after, unless Keep() was called.
class CurrentDocResManagerScope {
public:
    explicit CurrentDocResManagerScope(DS_DocResManagerBase* manager) : m_previous(g_DocResManagerTls)
    {
        g_DocResManagerTls = manager;
    }
    ~CurrentDocResManagerScope()
    {
        if (m_restore)
            g_DocResManagerTls = m_previous;
    }
    // Leaves the manager current after the scope.
    void Keep() { m_restore = false; }
    CurrentDocResManagerScope(const CurrentDocResManagerScope&) = delete;
    CurrentDocResManagerScope& operator=(const CurrentDocResManagerScope&) = delete;

private:
    DS_DocResManagerBase* m_previous;
    bool m_restore = true;
};
