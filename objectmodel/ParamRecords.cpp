#include "objectmodel/ParamRecords.h"

#include "objectmodel/StoredParams.h"

namespace {

UINTSclaleTo<float> Percent(std::uint32_t value)
{
    return UINTSclaleTo<float>(0.01f, 0.0f, value);
}

} // namespace

ColorSequenceParams::ColorSequenceParams()
{
    colors.Append(kFirstColor);
    colors.Append(kSecondColor);
}

PercentParamQuad::PercentParamQuad() : percents{Percent(0), Percent(100), Percent(0), Percent(0)} {}

void PercentParamQuad::Assign(const PercentParamQuad& other)
{
    for (std::size_t i = 0; i < percents.size(); ++i)
        percents[i].SetChangedValue(other.percents[i].value, nullptr);
}

PercentParamGroup::PercentParamGroup()
    : percents{Percent(0), Percent(0), Percent(100), Percent(0), Percent(0), Percent(0), Percent(1)}
{
    // The fourth starts as a copy of the third, with a notification.
    percents[3] = percents[2];
}

void ReadColorSequenceParams(ArchiveReader ar, ColorSequenceParams& params)
{
    ar.ReadInt(); // the tag, always 1
    std::vector<COLORREF>& words = params.colors.value;
    words.clear();
    const std::size_t count = ar.ReadCount(kInt32Bytes);
    words.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        words.push_back(ar.ReadDword());
    ReadParamValue(ar, params.colorMode);
    ReadParamValue(ar, params.randomPick);
    ReadChangedParamValue(ar, params.transparency);
}

void WriteColorSequenceParams(ArchiveWriter ar, const ColorSequenceParams& params)
{
    ar->WriteVersion(ColorSequenceParams::kStoredTag);
    ar->WriteVersion(static_cast<std::int32_t>(params.colors.value.size()));
    for (COLORREF word : params.colors.value)
        ar->WriteDword(word);
    WriteParamValue(ar, params.colorMode);
    WriteParamValue(ar, params.randomPick);
    WriteParamValue(ar, params.transparency);
}

void ReadPercentParamQuad(ArchiveReader ar, PercentParamQuad& quad)
{
    for (auto& percent : quad.percents)
        ReadChangedParamValue(ar, percent);
}

void WritePercentParamQuad(ArchiveWriter ar, const PercentParamQuad& quad)
{
    for (const auto& percent : quad.percents)
        WriteParamValue(ar, percent);
}

void ReadPercentParamGroup(ArchiveReader ar, PercentParamGroup& group)
{
    ar.ReadInt(); // the record's int is not kept
    for (auto& percent : group.percents)
        ReadChangedParamValue(ar, percent);
}

void WritePercentParamGroup(ArchiveWriter ar, const PercentParamGroup& group)
{
    ar->WriteVersion(group.tag);
    for (const auto& percent : group.percents)
        WriteParamValue(ar, percent);
}

void ReadMediaQuad(ArchiveReader ar, MediaQuad& quad)
{
    for (auto& corner : quad.corners)
        ReadParamValue(ar, corner);
}

void WriteMediaQuad(ArchiveWriter ar, const MediaQuad& quad)
{
    for (const auto& corner : quad.corners)
        WriteParamValue(ar, corner);
}

void ReadMediaRectangle(ArchiveReader ar, MediaRectangle& rectangle)
{
    ReadParamValue(ar, rectangle.left);
    ReadParamValue(ar, rectangle.right);
    ReadParamValue(ar, rectangle.top);
    ReadParamValue(ar, rectangle.bottom);
    ReadParamValue(ar, rectangle.centreX);
    ReadParamValue(ar, rectangle.centreY);
}

void WriteMediaRectangle(ArchiveWriter ar, const MediaRectangle& rectangle)
{
    WriteParamValue(ar, rectangle.left);
    WriteParamValue(ar, rectangle.right);
    WriteParamValue(ar, rectangle.top);
    WriteParamValue(ar, rectangle.bottom);
    WriteParamValue(ar, rectangle.centreX);
    WriteParamValue(ar, rectangle.centreY);
}

void ReadJitterParam(ArchiveReader ar, KXI_JitterParam& param)
{
    param.SetChangedValue(ar.ReadDword(), nullptr);
    param.jitter.SetChangedValue(ar.ReadDword(), nullptr);
}

void WriteJitterParam(ArchiveWriter ar, const KXI_JitterParam& param)
{
    ar->WriteDword(param.value);
    ar->WriteDword(param.jitter.value);
}
