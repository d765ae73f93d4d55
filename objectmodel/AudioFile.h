#pragma once
// DS_AudioFile: an audio track that a document carries whole for the slide
// show's playlist. Stored as a fixed-type record:
//     "DS_AudioFile", int32 version (1; not used), wide-string name,
//     blob (the file's bytes; the blob's name is the track's source path).

#include "objectmodel/Archive.h"
#include "objectmodel/IOFItem.h"
#include "objectmodel/ResourceBlob.h"

class DS_AudioFile : public DS_IOF_Item {
public:
    kxi_string m_name;
    ResourceBlob m_data;
};

// The fewest bytes an audio-file record can take.
inline constexpr std::size_t kMinAudioFileRecordBytes = kMinSectionBytes + kMinWideStringBytes + kMinBlobBytes;

DS_AudioFile ReadAudioFile(ArchiveReader ar);
void WriteAudioFile(ArchiveWriter ar, const DS_AudioFile& file);
