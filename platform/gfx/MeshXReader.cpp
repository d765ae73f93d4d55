#include "platform/gfx/MeshXReader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <cstring>
#include <string_view>

#include <zlib.h>

namespace gfx {
namespace {

constexpr std::size_t kHeaderBytes = 16;
constexpr int kMaxNesting = 64;
constexpr std::size_t kMszipWindow = 32768;

// Least bytes that a stored element can take in either form (text numbers
// are at least a digit and a separator; binary ones 4 bytes): a count that
// cannot fit in what remains is refused before anything is sized by it.
constexpr std::size_t kBytesPerNumber = 2;

enum class TokenKind { End, Name, String, Integer, Float, OpenBrace, CloseBrace, Separator, Guid, Other };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;
    double number = 0.0;
    bool negative = false;
};

class TokenSource {
public:
    virtual ~TokenSource() = default;
    // False, with the reason in error, when the bytes are not tokens.
    virtual bool Next(Token& token, std::string& error) = 0;
    virtual std::size_t Remaining() const = 0;
};

// ---- The body -------------------------------------------------------------------

struct InflateStream {
    z_stream stream{};
    bool open = false;
    InflateStream() { open = inflateInit2(&stream, -MAX_WBITS) == Z_OK; }
    ~InflateStream() {
        if (open) inflateEnd(&stream);
    }
    InflateStream(const InflateStream&) = delete;
    InflateStream& operator=(const InflateStream&) = delete;
};

// The bytes after the header: the file's own, or those of a compressed file
// inflated block by block only as far as the parser reaches. A file is thus
// refused from its counts before the rest of it is inflated.
//
// MSZIP: the inflated size of the whole file (header included), then blocks
// of {inflated size, stored size, "CK", raw deflate data}; each block may
// refer back into the output of the block before it.
class Body {
public:
    explicit Body(std::span<const std::uint8_t> plain) : plain_(plain), size_(plain.size()) {}

    static std::optional<Body> Compressed(std::span<const std::uint8_t> packed, std::string& error) {
        std::uint32_t total = 0;
        if (packed.size() < 4) {
            error = "compressed .X file without its size";
            return std::nullopt;
        }
        std::memcpy(&total, packed.data(), 4);
        if (total < kHeaderBytes || total - kHeaderBytes > kMaxInflatedXBytes) {
            error = "compressed .X file of unusable size";
            return std::nullopt;
        }
        Body body({});
        body.compressed_ = true;
        body.packed_ = packed;
        body.size_ = total - kHeaderBytes;
        return body;
    }

    // The whole body's size (as a compressed file announces it).
    std::size_t Size() const { return size_; }
    // Makes bytes [0, end) readable; false when the body holds fewer, or a
    // block is damaged (Error() says so).
    bool Ensure(std::size_t end) {
        while (Available() < end)
            if (!compressed_ || !InflateBlock()) return false;
        return true;
    }
    const std::uint8_t* Data() const { return compressed_ ? inflated_.data() : plain_.data(); }
    const std::string& Error() const { return error_; }

private:
    std::size_t Available() const { return compressed_ ? inflated_.size() : plain_.size(); }

    bool Fail(const char* message) {
        if (error_.empty()) error_ = message;
        return false;
    }

    bool InflateBlock() {
        if (!error_.empty() || inflated_.size() == size_) return false;
        std::uint16_t inflatedSize = 0, storedSize = 0;
        if (packed_.size() - at_ < 6) return Fail("compressed .X file ends early");
        std::memcpy(&inflatedSize, packed_.data() + at_, 2);
        std::memcpy(&storedSize, packed_.data() + at_ + 2, 2);
        if (packed_[at_ + 4] != 'C' || packed_[at_ + 5] != 'K' || storedSize < 2 ||
            storedSize > packed_.size() - at_ - 4 || inflatedSize > size_ - inflated_.size())
            return Fail("damaged compressed .X block");
        InflateStream z;
        if (!z.open) return Fail("cannot inflate");
        if (!inflated_.empty()) {
            const std::size_t window = std::min(inflated_.size(), kMszipWindow);
            inflateSetDictionary(&z.stream, inflated_.data() + inflated_.size() - window, static_cast<uInt>(window));
        }
        const std::size_t start = inflated_.size();
        inflated_.resize(start + inflatedSize);
        z.stream.next_in = const_cast<Bytef*>(packed_.data() + at_ + 6);
        z.stream.avail_in = storedSize - 2u;
        z.stream.next_out = inflated_.data() + start;
        z.stream.avail_out = inflatedSize;
        const int status = inflate(&z.stream, Z_FINISH);
        if ((status != Z_STREAM_END && status != Z_OK && status != Z_BUF_ERROR) || z.stream.avail_out != 0)
            return Fail("damaged compressed .X data");
        at_ += 4 + storedSize;
        return true;
    }

    std::span<const std::uint8_t> plain_;
    bool compressed_ = false;
    std::span<const std::uint8_t> packed_;
    std::size_t at_ = 4;  // the first block, after the size
    std::vector<std::uint8_t> inflated_;
    std::size_t size_ = 0;
    std::string error_;
};

// ---- Text form -----------------------------------------------------------------

class TextTokens final : public TokenSource {
public:
    explicit TextTokens(Body& body) : body_(body) {}

    std::size_t Remaining() const override { return body_.Size() - at_; }

    bool Next(Token& token, std::string& error) override {
        SkipBlanksAndComments();
        token = Token{};
        if (!Has(at_)) return true;
        const char c = At(at_);
        if (c == '{' || c == '}' || c == ';' || c == ',') {
            ++at_;
            token.kind = c == '{' ? TokenKind::OpenBrace : c == '}' ? TokenKind::CloseBrace : TokenKind::Separator;
            return true;
        }
        if (c == '<') return Delimited('>', TokenKind::Guid, token, error);
        if (c == '"') return Delimited('"', TokenKind::String, token, error);
        if (IsNumberStart(at_)) return Number(token, error);
        if (IsNameStart(c)) {
            const std::size_t start = at_;
            while (Has(at_) && IsNameChar(At(at_))) ++at_;
            token.kind = TokenKind::Name;
            token.text = Text(start, at_);
            return true;
        }
        ++at_;
        token.kind = TokenKind::Other;  // template syntax: [ ] . and the like
        return true;
    }

private:
    static bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
    static bool IsNameChar(char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.';
    }
    // Whether character i exists (inflating up to it); At(i) reads it then.
    bool Has(std::size_t i) { return body_.Ensure(i + 1); }
    char At(std::size_t i) const { return static_cast<char>(body_.Data()[i]); }
    std::string Text(std::size_t start, std::size_t end) const {
        return std::string(reinterpret_cast<const char*>(body_.Data()) + start, end - start);
    }
    bool IsDigitAt(std::size_t i) { return Has(i) && std::isdigit(static_cast<unsigned char>(At(i))); }
    // A digit, or a sign or point before one ("-1", ".5", "-.5"); template
    // syntax such as "..." is no number.
    bool IsNumberStart(std::size_t i) {
        if (IsDigitAt(i)) return true;
        const char c = At(i);
        if (c == '.') return IsDigitAt(i + 1);
        if (c != '-' && c != '+') return false;
        return IsDigitAt(i + 1) || (Has(i + 1) && At(i + 1) == '.' && IsDigitAt(i + 2));
    }

    void SkipBlanksAndComments() {
        while (Has(at_)) {
            const char c = At(at_);
            if (std::isspace(static_cast<unsigned char>(c))) {
                ++at_;
            } else if (c == '#' || (c == '/' && Has(at_ + 1) && At(at_ + 1) == '/')) {
                while (Has(at_) && At(at_) != '\n') ++at_;
            } else {
                return;
            }
        }
    }

    bool Delimited(char close, TokenKind kind, Token& token, std::string& error) {
        std::size_t end = at_ + 1;
        while (Has(end) && At(end) != close) ++end;
        if (!Has(end)) {
            error = "unterminated string or GUID";
            return false;
        }
        token.kind = kind;
        token.text = Text(at_ + 1, end);
        at_ = end + 1;
        return true;
    }

    bool Number(Token& token, std::string& error) {
        std::size_t start = at_;
        if (At(start) == '+') ++start;
        std::size_t end = start;
        while (Has(end) && (std::isalnum(static_cast<unsigned char>(At(end))) || At(end) == '.' || At(end) == '-' ||
                            At(end) == '+' || At(end) == '#'))
            ++end;
        // Taken after the scan: inflating more may move the bytes.
        const std::string_view digits(reinterpret_cast<const char*>(body_.Data()) + start, end - start);
        const auto [stop, status] = std::from_chars(digits.data(), digits.data() + digits.size(), token.number);
        if (status != std::errc() || stop == digits.data()) {
            error = "bad number \"" + std::string(digits.substr(0, 32)) + "\"";
            return false;
        }
        // Trailing text such as the "#QNAN0" of a written NaN is dropped.
        const std::string_view used(digits.data(), static_cast<std::size_t>(stop - digits.data()));
        token.kind = used.find_first_of(".eE") == std::string_view::npos ? TokenKind::Integer : TokenKind::Float;
        token.negative = used.starts_with('-');
        at_ = end;
        return true;
    }

    Body& body_;
    std::size_t at_ = 0;
};

// ---- Binary form ---------------------------------------------------------------

class BinaryTokens final : public TokenSource {
public:
    BinaryTokens(Body& body, std::size_t floatBytes) : body_(body), floatBytes_(floatBytes) {}

    std::size_t Remaining() const override { return body_.Size() - at_; }

    bool Next(Token& token, std::string& error) override {
        token = Token{};
        for (;;) {
            if (listLeft_ > 0) return ListElement(token, error);
            if (at_ == body_.Size() || !body_.Ensure(at_ + 1)) return true;
            std::uint16_t id = 0;
            if (!Read(id, error)) return false;
            if (id == kIntegerList || id == kFloatList) {
                if (!StartList(id == kFloatList ? floatBytes_ : 4, id == kFloatList, error)) return false;
                continue;  // an empty list gives no token
            }
            return Dispatch(id, token, error);
        }
    }

private:
    enum : std::uint16_t {
        kName = 1, kString = 2, kInteger = 3, kGuid = 5, kIntegerList = 6, kFloatList = 7,
        kOpenBrace = 10, kCloseBrace = 11, kComma = 19, kSemicolon = 20,
    };

    template <typename T>
    bool Read(T& value, std::string& error) {
        if (sizeof(T) > Remaining() || !body_.Ensure(at_ + sizeof(T))) {
            error = "binary .X data ends inside a token";
            return false;
        }
        std::memcpy(&value, body_.Data() + at_, sizeof(T));
        at_ += sizeof(T);
        return true;
    }

    bool Text(Token& token, TokenKind kind, std::string& error) {
        std::uint32_t length = 0;
        if (!Read(length, error)) return false;
        if (length > Remaining() || !body_.Ensure(at_ + length)) {
            error = "binary .X name longer than the file";
            return false;
        }
        token.kind = kind;
        token.text.assign(reinterpret_cast<const char*>(body_.Data() + at_), length);
        at_ += length;
        return true;
    }

    bool StartList(std::size_t elementBytes, bool floats, std::string& error) {
        std::uint32_t count = 0;
        if (!Read(count, error)) return false;
        if (count > Remaining() / elementBytes) {
            error = "binary .X list longer than the file";
            return false;
        }
        listLeft_ = count;
        listFloats_ = floats;
        return true;
    }

    bool Dispatch(std::uint16_t id, Token& token, std::string& error) {
        switch (id) {
        case kName: return Text(token, TokenKind::Name, error);
        case kString: {
            std::uint16_t terminator = 0;
            return Text(token, TokenKind::String, error) && Read(terminator, error);
        }
        case kInteger: {
            std::uint32_t value = 0;
            if (!Read(value, error)) return false;
            token.kind = TokenKind::Integer;
            token.number = value;
            return true;
        }
        case kGuid:
            if (!Skip(16, error)) return false;
            token.kind = TokenKind::Guid;
            return true;
        case kOpenBrace: token.kind = TokenKind::OpenBrace; return true;
        case kCloseBrace: token.kind = TokenKind::CloseBrace; return true;
        case kComma:
        case kSemicolon: token.kind = TokenKind::Separator; return true;
        default:
            // Template syntax: ( ) [ ] < > . and the type keywords.
            if ((id >= 12 && id <= 18) || id == 31 || (id >= 40 && id <= 53)) {
                token.kind = TokenKind::Other;
                return true;
            }
            error = "unknown binary .X token " + std::to_string(id);
            return false;
        }
    }

    bool Skip(std::size_t count, std::string& error) {
        if (count > Remaining() || !body_.Ensure(at_ + count)) {
            error = "binary .X data ends inside a token";
            return false;
        }
        at_ += count;
        return true;
    }

    bool ListElement(Token& token, std::string& error) {
        if (!body_.Ensure(at_ + (listFloats_ ? floatBytes_ : 4))) {
            error = "binary .X data ends inside a list";
            return false;
        }
        --listLeft_;
        if (!listFloats_) {
            std::uint32_t value;
            std::memcpy(&value, body_.Data() + at_, 4);
            at_ += 4;
            token.kind = TokenKind::Integer;
            token.number = value;
            return true;
        }
        if (floatBytes_ == 8) {
            double value;
            std::memcpy(&value, body_.Data() + at_, 8);
            token.number = value;
        } else {
            float value;
            std::memcpy(&value, body_.Data() + at_, 4);
            token.number = value;
        }
        at_ += floatBytes_;
        token.kind = TokenKind::Float;
        return true;
    }

    Body& body_;
    std::size_t floatBytes_;
    std::size_t at_ = 0;
    std::uint32_t listLeft_ = 0;
    bool listFloats_ = false;
};

// ---- Objects ---------------------------------------------------------------------

class XParser {
public:
    XParser(TokenSource& source, std::string& error) : source_(source), error_(error) {}

    bool ParseFile(std::vector<XMesh>& meshes) {
        for (;;) {
            Token token;
            if (!Take(token)) return false;
            switch (token.kind) {
            case TokenKind::End: return true;
            case TokenKind::Name:
                if (!ParseObject(token.text, meshes, 0)) return false;
                break;
            case TokenKind::Separator: break;
            default: return Fail("unexpected token at the top of the file");
            }
        }
    }

private:
    bool Fail(std::string message) {
        if (error_.empty()) error_ = std::move(message);
        return false;
    }

    bool Take(Token& token) {
        if (peeked_) {
            token = std::move(*peeked_);
            peeked_.reset();
            return true;
        }
        return source_.Next(token, error_);
    }

    const Token* Peek() {
        if (!peeked_) {
            Token token;
            if (!source_.Next(token, error_)) return nullptr;
            peeked_ = std::move(token);
        }
        return &*peeked_;
    }

    // The next number, skipping separators.
    const Token* NextNumber() {
        for (;;) {
            const Token* token = Peek();
            if (!token) return nullptr;
            if (token->kind != TokenKind::Separator) break;
            peeked_.reset();
        }
        if (peeked_->kind != TokenKind::Integer && peeked_->kind != TokenKind::Float) {
            Fail("number expected");
            return nullptr;
        }
        return &*peeked_;
    }

    std::optional<std::uint32_t> ReadInt() {
        const Token* token = NextNumber();
        if (!token) return std::nullopt;
        if (token->kind != TokenKind::Integer || token->negative || token->number > 4294967295.0) {
            Fail("unsigned integer expected");
            return std::nullopt;
        }
        const auto value = static_cast<std::uint32_t>(token->number);
        peeked_.reset();
        return value;
    }

    std::optional<float> ReadFloat() {
        const Token* token = NextNumber();
        if (!token) return std::nullopt;
        if (!std::isfinite(token->number) || std::abs(token->number) > std::numeric_limits<float>::max()) {
            Fail("number out of range");
            return std::nullopt;
        }
        const auto value = static_cast<float>(token->number);
        peeked_.reset();
        return value;
    }

    std::optional<std::uint32_t> ReadCount(std::size_t numbersPerElement) {
        const auto count = ReadInt();
        if (!count) return std::nullopt;
        if (*count > source_.Remaining() / (numbersPerElement * kBytesPerNumber)) {
            Fail("count " + std::to_string(*count) + " larger than the rest of the file");
            return std::nullopt;
        }
        return count;
    }

    // A count of elements that the mesh's 16-bit indices must reach, added
    // to what the file's meshes have stored so far and checked against the
    // limit before anything is sized by it.
    std::optional<std::uint32_t> ReadBoundedCount(std::size_t numbersPerElement, std::size_t& total,
                                                  std::size_t limit, const char* what) {
        const auto count = ReadInt();
        if (!count) return std::nullopt;
        if (*count > limit - total) {
            Fail("the file's meshes hold more than " + std::to_string(limit) + " " + what +
                 "; 16-bit indices cannot reach them");
            return std::nullopt;
        }
        if (*count > source_.Remaining() / (numbersPerElement * kBytesPerNumber)) {
            Fail("count " + std::to_string(*count) + " larger than the rest of the file");
            return std::nullopt;
        }
        total += *count;
        return count;
    }

    // A counted list of vectors (positions or normals), at most the vertex
    // limit: every normal index a face uses makes a vertex of its own.
    bool ReadVectors(std::vector<math::Vec3>& vectors, std::size_t& total, const char* what) {
        const auto count = ReadBoundedCount(3, total, kMaxMeshVertices, what);
        if (!count) return false;
        vectors.resize(*count);
        for (auto& vector : vectors) {
            const auto value = ReadVector();
            if (!value) return false;
            vector = *value;
        }
        return true;
    }

    std::optional<math::Vec3> ReadVector() {
        const auto x = ReadFloat(), y = x ? ReadFloat() : std::nullopt, z = y ? ReadFloat() : std::nullopt;
        if (!z) return std::nullopt;
        return math::Vec3{*x, *y, *z};
    }

    // Skips to the brace that closes the object whose '{' was taken.
    bool SkipBody() {
        int depth = 1;
        while (depth > 0) {
            Token token;
            if (!Take(token)) return false;
            if (token.kind == TokenKind::End) return Fail("file ends inside an object");
            depth += token.kind == TokenKind::OpenBrace ? 1 : token.kind == TokenKind::CloseBrace ? -1 : 0;
        }
        return true;
    }

    // After the object's type: an optional name, '{', an optional GUID.
    bool OpenObject(std::string& name) {
        Token token;
        if (!Take(token)) return false;
        if (token.kind == TokenKind::Name) {
            name = token.text;
            if (!Take(token)) return false;
        }
        if (token.kind != TokenKind::OpenBrace) return Fail("'{' expected after an object's type");
        const Token* next = Peek();
        if (!next) return false;
        if (next->kind == TokenKind::Guid) peeked_.reset();
        return true;
    }

    bool ParseObject(const std::string& type, std::vector<XMesh>& meshes, int depth) {
        if (depth > kMaxNesting) return Fail("objects nested too deep");
        std::string name;
        if (!OpenObject(name)) return false;
        if (type == "Frame") return ParseFrame(meshes, depth);
        if (type == "Mesh") return ParseMesh(name, meshes);
        return SkipBody();  // templates, materials, animations, anything else
    }

    // Children in any order; the frame's transform applies to every mesh
    // found inside it, after the transforms of the frames between.
    bool ParseFrame(std::vector<XMesh>& meshes, int depth) {
        const std::size_t firstMesh = meshes.size();
        math::Matrix local;
        for (;;) {
            Token token;
            if (!Take(token)) return false;
            if (token.kind == TokenKind::CloseBrace) break;
            if (token.kind == TokenKind::Separator) continue;
            if (token.kind == TokenKind::OpenBrace) {
                if (!SkipBody()) return false;  // a reference to an object elsewhere
                continue;
            }
            if (token.kind != TokenKind::Name) return Fail("unexpected token in a frame");
            if (token.text == "FrameTransformMatrix") {
                if (!ParseMatrix(local)) return false;
            } else if (!ParseObject(token.text, meshes, depth + 1)) {
                return false;
            }
        }
        for (std::size_t i = firstMesh; i < meshes.size(); ++i) meshes[i].transform = meshes[i].transform * local;
        return true;
    }

    bool ParseMatrix(math::Matrix& matrix) {
        std::string name;
        if (!OpenObject(name)) return false;
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 4; ++column) {
                const auto value = ReadFloat();
                if (!value) return false;
                matrix.m[row][column] = *value;
            }
        return SkipBody();
    }

    bool ParseFaces(std::vector<XMeshFace>& faces, std::size_t indexLimit, bool normals) {
        const auto count = normals ? ReadCount(4) : ReadBoundedCount(4, faces_, kMaxMeshFaces, "faces");
        if (!count) return false;
        if (normals && *count != faces.size()) return Fail("mesh normals name another number of faces");
        faces.resize(*count);
        for (XMeshFace& face : faces) {
            const auto corners = ReadCount(1);
            if (!corners) return false;
            if (*corners < 3) return Fail("a face with fewer than three corners");
            if (normals && *corners != face.vertices.size()) return Fail("face normals do not match the face");
            auto& indices = normals ? face.normals : face.vertices;
            indices.resize(*corners);
            for (auto& index : indices) {
                const auto value = ReadInt();
                if (!value) return false;
                if (*value >= indexLimit) return Fail("face index out of range");
                index = *value;
            }
        }
        return true;
    }

    bool ParseMesh(const std::string& name, std::vector<XMesh>& meshes) {
        XMesh mesh;
        mesh.name = name;
        if (!ReadVectors(mesh.positions, positions_, "vertices")) return false;
        if (!ParseFaces(mesh.faces, mesh.positions.size(), false)) return false;
        for (;;) {
            Token token;
            if (!Take(token)) return false;
            if (token.kind == TokenKind::CloseBrace) break;
            if (token.kind == TokenKind::Separator) continue;
            if (token.kind == TokenKind::OpenBrace) {
                if (!SkipBody()) return false;
                continue;
            }
            if (token.kind != TokenKind::Name) return Fail("unexpected token in a mesh");
            if (!ParseMeshPart(token.text, mesh)) return false;
        }
        meshes.push_back(std::move(mesh));
        return true;
    }

    bool ParseMeshPart(const std::string& type, XMesh& mesh) {
        std::string name;
        if (!OpenObject(name)) return false;
        if (type == "MeshNormals") return ParseNormals(mesh) && SkipBody();
        if (type == "MeshTextureCoords") return ParseTexCoords(mesh) && SkipBody();
        if (type == "MeshMaterialList") return ParseMaterialList(mesh) && SkipBody();
        return SkipBody();
    }

    bool ParseNormals(XMesh& mesh) {
        if (!ReadVectors(mesh.normals, normals_, "normals")) return false;
        return ParseFaces(mesh.faces, mesh.normals.size(), true);
    }

    // One pair per vertex; missing ones are (0, 0), extra ones are dropped.
    bool ParseTexCoords(XMesh& mesh) {
        const auto count = ReadCount(2);
        if (!count) return false;
        mesh.texCoords.assign(mesh.positions.size(), math::Vec2{});
        for (std::uint32_t i = 0; i < *count; ++i) {
            const auto u = ReadFloat(), v = u ? ReadFloat() : std::nullopt;
            if (!v) return false;
            if (i < mesh.texCoords.size()) mesh.texCoords[i] = {*u, *v};
        }
        return true;
    }

    // Faces past the stored list take the last material named.
    bool ParseMaterialList(XMesh& mesh) {
        const auto materials = ReadInt();
        const auto count = materials ? ReadCount(1) : std::nullopt;
        if (!count) return false;
        std::uint32_t material = 0;
        for (std::uint32_t i = 0; i < *count; ++i) {
            const auto value = ReadInt();
            if (!value) return false;
            if (*materials > 0 && *value >= *materials) return Fail("material index out of range");
            material = *value;
            if (i < mesh.faces.size()) mesh.faces[i].material = material;
        }
        for (std::size_t i = *count; i < mesh.faces.size(); ++i) mesh.faces[i].material = material;
        return true;
    }

    TokenSource& source_;
    std::string& error_;
    std::optional<Token> peeked_;
    // Stored counts of all meshes read so far.
    std::size_t positions_ = 0;
    std::size_t normals_ = 0;
    std::size_t faces_ = 0;
};

struct Header {
    std::string_view format;
    std::size_t floatBytes;
};

std::optional<Header> ReadHeader(std::span<const std::uint8_t> bytes, std::string& error) {
    if (bytes.size() < kHeaderBytes || std::memcmp(bytes.data(), "xof ", 4) != 0) {
        error = "not a .X file";
        return std::nullopt;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), kHeaderBytes);
    const std::string_view format = text.substr(8, 4), floatSize = text.substr(12, 4);
    if (format != "txt " && format != "bin " && format != "tzip" && format != "bzip") {
        error = ".X format \"" + std::string(format) + "\" is not supported";
        return std::nullopt;
    }
    if (floatSize != "0032" && floatSize != "0064") {
        error = ".X float size \"" + std::string(floatSize) + "\" is not supported";
        return std::nullopt;
    }
    return Header{format, floatSize == "0064" ? 8u : 4u};
}

}  // namespace

std::optional<std::vector<XMesh>> ReadXFile(std::span<const std::uint8_t> bytes, std::string& error) {
    if (bytes.size() > kMaxXFileBytes) {
        error = ".X file too large";
        return std::nullopt;
    }
    const auto header = ReadHeader(bytes, error);
    if (!header) return std::nullopt;
    const std::span<const std::uint8_t> stored = bytes.subspan(kHeaderBytes);
    const bool compressed = header->format == "tzip" || header->format == "bzip";
    std::optional<Body> body = compressed ? Body::Compressed(stored, error) : Body(stored);
    if (!body) return std::nullopt;
    const bool binary = header->format == "bin " || header->format == "bzip";
    TextTokens text(*body);
    BinaryTokens tokens(*body, header->floatBytes);
    TokenSource& source = binary ? static_cast<TokenSource&>(tokens) : text;

    std::vector<XMesh> meshes;
    XParser parser(source, error);
    const bool parsed = parser.ParseFile(meshes);
    // A damaged or short compressed body ends the tokens early: its own
    // reason is the one to give.
    if (!body->Error().empty()) {
        error = body->Error();
        return std::nullopt;
    }
    if (!parsed) {
        if (error.empty()) error = "damaged .X file";
        return std::nullopt;
    }
    return meshes;
}

}  // namespace gfx
