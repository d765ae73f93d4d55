#include "tests/support/XFileWriter.h"

#include <algorithm>
#include <iterator>

#include <zlib.h>

namespace x_file_writer {

std::string QuadMeshText()
{
    return "Frame Root {\n"
           " FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }\n"
           " Mesh Quad {\n"
           "  4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;;\n"
           "  2; 3;0,3,2;, 3;0,2,1;;\n"
           "  MeshNormals { 1; 0;0;-1;; 2; 3;0,0,0;, 3;0,0,0;; }\n"
           "  MeshTextureCoords { 4; 0;1;, 1;1;, 1;0;, 0;0;; }\n"
           "  MeshMaterialList { 1; 2; 0, 0;; }\n"
           " }\n"
           "}\n";
}

std::vector<std::uint8_t> MszipBlock(const std::string& text)
{
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::vector<std::uint8_t> data(deflateBound(&z, static_cast<uLong>(text.size())));
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = static_cast<uInt>(text.size());
    z.next_out = data.data();
    z.avail_out = static_cast<uInt>(data.size());
    deflate(&z, Z_FINISH);
    data.resize(z.total_out);
    deflateEnd(&z);
    const auto inflated = static_cast<std::uint16_t>(text.size());
    const auto stored = static_cast<std::uint16_t>(data.size() + 2);
    // Sized once and filled in place: growing a six-byte vector by insert
    // trips a false array-bounds error of gcc 12 at -O3.
    const std::uint8_t head[] = {std::uint8_t(inflated), std::uint8_t(inflated >> 8), std::uint8_t(stored),
                                 std::uint8_t(stored >> 8), 'C', 'K'};
    std::vector<std::uint8_t> block(sizeof head + data.size());
    std::copy(std::begin(head), std::end(head), block.begin());
    std::copy(data.begin(), data.end(), block.begin() + sizeof head);
    return block;
}

std::vector<std::uint8_t> CompressedTextFile(const std::vector<std::string>& blocks, std::size_t bodySize)
{
    const std::string header = "xof 0303tzip0032";
    std::vector<std::uint8_t> file(header.begin(), header.end());
    const auto total = static_cast<std::uint32_t>(bodySize + header.size());
    for (int i = 0; i < 4; ++i)
        file.push_back(static_cast<std::uint8_t>(total >> (8 * i)));
    const std::string* last = nullptr;
    std::vector<std::uint8_t> block;
    for (const std::string& text : blocks) {
        if (!last || text != *last)
            block = MszipBlock(text);
        last = &text;
        file.insert(file.end(), block.begin(), block.end());
    }
    return file;
}

} // namespace x_file_writer
