#include "tests/support/TextObjectWriter.h"

namespace text_writer {

namespace {

DocumentWriter& WritePair(DocumentWriter& w, const ColourOpacity& pair)
{
    return w.Int(pair.colour).Dword(pair.opacity);
}

DocumentWriter& WriteProperties(DocumentWriter& w, const TextPropertiesFields& p)
{
    w.WideString(p.text).WideString(p.face).Dword(p.size).Int(p.fontValue1).Int(p.fontValue2).Int(p.fontColour);
    w.Int(p.value1).Int(p.value2).Int(p.group1Value);
    WritePair(w, p.group1).Dword(p.value3).Int(p.group2Value);
    return WritePair(w, p.group2);
}

} // namespace

DocumentWriter& WriteStaticText(DocumentWriter& w, const StaticTextFields& f)
{
    w.Section(u"DS_StaticText", f.version);
    WriteProperties(w, f.properties).Int(f.shadowOn);
    WritePair(w, f.shadow).Dword(f.shadowDistance).Dword(f.shadowAngle);
    WritePair(w, f.colour2);
    WritePair(w, f.colour3).Dword(f.valueD).Dword(f.valueE);
    return particle_writer::WriteStaticObject(w, f.object);
}

DocumentWriter& WriteScrollingTex(DocumentWriter& w, const ScrollingTexFields& f)
{
    w.Section(u"DS_ScrollingTex", f.version).Int(f.scrollMode);
    return WriteStaticText(w, f.text);
}

DocumentWriter& WriteTextLink(DocumentWriter& w, const TextLinkFields& f)
{
    w.Section(u"DS_TextLink", f.version).Dword(f.linkNumber);
    return WriteStaticText(w, f.text);
}

DocumentWriter& WriteStaticTextDescription(DocumentWriter& w, const StaticTextDescriptionFields& f)
{
    w.Section(u"DS_StaticTextConstructor", f.version).Int(f.valueA).Int(f.valueB).WideString(f.text);
    w.Int(f.font.size).Dword(f.font.weight).Int(f.font.flags).WideString(f.font.face);
    if (f.version < 2)
        for (std::uint32_t value : f.legacyTiming)
            w.Dword(value);
    if (f.version >= 3)
        w.Guid(f.keyGuid).WideString(f.keyName).Byte(f.keepFlag);
    return particle_writer::WriteStatBaseFXSection(w, f.stat);
}

DocumentWriter& WriteScrollingTextDescription(DocumentWriter& w, const ScrollingTextDescriptionFields& f)
{
    w.Section(u"DS_ScrollingTextConstructor", f.version).Dword(f.period).Int(f.directionMode);
    if (f.version >= 2)
        w.Float(f.tileHeight).Float(f.tileWidth);
    return WriteStaticTextDescription(w, f.text);
}

DocumentWriter& WriteTextLinkDescription(DocumentWriter& w, const TextLinkDescriptionFields& f)
{
    w.Section(u"DS_TextLinkConstructor", f.version).Dword(f.linkNumber);
    return WriteStaticTextDescription(w, f.text);
}

} // namespace text_writer
