#include "particles/generators/PathGenerator.h"

void DS_PathGenerator::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kSectionName));
    ar->WriteVersion(kWrittenVersion);
    WritePointVector(ar, path.points);
    DS_TexParticleGenerator::Save(ar);
}

void DS_PathGenerator::ReadPathGeneratorSection(ArchiveReader ar)
{
    ar.ReadSectionHeader();
    path.ReadPoints(ar);
    ReadTexGeneratorSection(ar);
}
