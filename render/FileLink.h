#pragma once
// File links: the parameters through which scene objects name an outside
// resource (a picture, an effect, a mesh, a sound). A link is a path and a
// 64-bit id:
//   "common_res.dll", 5      resource 5 of a resource module (a path whose
//                            extension is ".dll", in any letter case);
//   "", 5                    resource 5 of the program itself;
//   "C:\pics\sky.png", t     a file; the id is its modification time, or a
//                            number that tells stored files apart.
// The document resource manager (DocResManager.h) resolves links; the bytes
// a document stores for a link are found there under the link's LinkKey.
//
// Links are parameters: they keep observers and tell them when they change.
// Reading a link from a document only stores its path and id: nobody is
// told, and an image link's undo control keeps its values.
//
// Stored form of every link: path (wide string), then id (8 bytes).

#include <cstdint>
#include <vector>

#include "objectmodel/Archive.h"
#include "objectmodel/DocResRecord.h"
#include "objectmodel/MediaParam.h"
#include "objectmodel/ResourceBlob.h"
#include "objectmodel/UndoCtrl.h"

// The text from the last "." on (the dot included), A-Z lower-cased; empty
// when there is no ".".
kxi_string GetFileExtension(std::u16string_view text);

class DS_FileLink3 : public MediaParam {
public:
    DS_FileLink3() = default;
    // A file: the id is its modification time (seconds since 1970), or 0
    // when it cannot be examined.
    explicit DS_FileLink3(kxi_string path);
    // A resource: the 32-bit id sign-extended.
    DS_FileLink3(std::int32_t id, kxi_string path);
    explicit DS_FileLink3(const LinkKey& key);
    // The link of a stored record: its module and resource id when the id is
    // not 0, otherwise its name and the next number of a process-wide counter.
    explicit DS_FileLink3(const ModuleResourceBlob& blob);
    // Copies path and id; the copy has no observers (MediaParam).
    DS_FileLink3(const DS_FileLink3&) = default;
    DS_FileLink3& operator=(const DS_FileLink3&) = default;

    kxi_string GetExtension() const { return GetFileExtension(m_path); }
    bool IsNotModuleLink() const { return GetExtension() != u".dll"; }
    // The text after the last backslash; empty when there is none.
    kxi_string GetFileName() const;
    kxi_string GetPath() const { return m_path; }

    const kxi_string& Path() const { return m_path; }
    std::int64_t Id() const { return m_id; }
    LinkKey Key() const { return LinkKey{m_path, m_id}; }

    // Stores path and id without telling anybody.
    void StorePathAndId(kxi_string path, std::int64_t id)
    {
        m_path = std::move(path);
        m_id = id;
    }

private:
    kxi_string m_path;
    std::int64_t m_id = 0;
};

// Links to an HLSL effect and to an .X mesh.
class DS_HLSLEffectFile : public DS_FileLink3 {
public:
    using DS_FileLink3::DS_FileLink3;
};

class DS_MeshFile : public DS_FileLink3 {
public:
    using DS_FileLink3::DS_FileLink3;
};

// A link to a picture, with its own undo control as its first observer.
class DS_ImageFileLink : public DS_FileLink3 {
public:
    // The undo history of the link's path and id (newest first, at most 20
    // entries). Changes caused by a control are reported to the installed
    // undo sink, as for every parameter (UndoCtrl.h).
    class UndoImage : public UndoCtrl {
    public:
        UndoImage() = default;
        UndoImage(const UndoImage&) = delete;
        UndoImage& operator=(const UndoImage&) = delete;
        ~UndoImage() override;

        // Watches `link` (appended to its observers) and takes its path and id.
        void Attach(DS_FileLink3& link);
        void Detach() override { m_link = nullptr; }
        void OnParamChanged(MediaControl* source) override;
        void Undo() override;
        void Redo() override;
        void PushState() override { m_history.Push(m_current); }

        const LinkKey& Current() const { return m_current; }
        const UndoHistory<LinkKey>& History() const { return m_history; }
        DS_FileLink3* Link() const { return m_link; }

    private:
        // The link takes the current values and tells everybody but this.
        void WriteBack();

        DS_FileLink3* m_link = nullptr;
        LinkKey m_current;
        UndoHistory<LinkKey> m_history;
    };

    DS_ImageFileLink();
    DS_ImageFileLink(std::int32_t id, kxi_string path);
    // The path and id of `link`.
    explicit DS_ImageFileLink(const DS_FileLink3& link);
    DS_ImageFileLink(const DS_ImageFileLink& other);
    // Takes path and id; observers and history stay.
    DS_ImageFileLink& operator=(const DS_ImageFileLink& other);
    ~DS_ImageFileLink() override;

    // A non-empty path becomes the current resource manager's image link of
    // that file (path, modification time, picture loaded); observers but
    // `source` are told. An empty path changes nothing.
    void SetFile(const kxi_string& path, MediaControl* source);

    // Commands 0 and above ask for a file to be chosen; the player offers no
    // way of choosing one, so nothing changes.
    void HandleCommand(int command, MediaControl* source) override;

    UndoImage& Undo() { return m_undo; }
    const UndoImage& Undo() const { return m_undo; }

private:
    UndoImage m_undo;
};

// Stored forms. Reading stores path and id and tells nobody.
void ReadFileLink(ArchiveReader ar, DS_FileLink3& link);
void ReadImageFileLink(ArchiveReader ar, DS_ImageFileLink& link);
void WriteFileLink(ArchiveWriter ar, const DS_FileLink3& link);

// A counted vector of image links, each a new link with its undo control,
// appended in stored order.
void ReadImageLinkVector(ArchiveReader ar, std::vector<DS_ImageFileLink>& links);
// The count (uint32), then per link: handed to the current resource manager
// (RegisterImage, so that its picture is stored with the document), its path
// and its id.
void WriteFileLinkVector(ArchiveWriter ar, const std::vector<DS_ImageFileLink>& links);

// The fewest bytes a stored link takes: an empty path and the id.
inline constexpr std::size_t kMinFileLinkBytes = kMinWideStringBytes + 8;
