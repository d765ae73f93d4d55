#include "objectmodel/AudioFile.h"

DS_AudioFile ReadAudioFile(ArchiveReader ar)
{
    ar.ReadSectionHeader();
    DS_AudioFile file;
    ar->ReadWideString(&file.m_name);
    ar->ReadBlob(&file.m_data);
    return file;
}

void WriteAudioFile(ArchiveWriter ar, const DS_AudioFile& file)
{
    ar->WriteWideString(u"DS_AudioFile");
    ar->WriteVersion(1);
    ar->WriteWideString(file.m_name);
    ar->WriteBlob(file.m_data);
}
