// OBJ text to per-corner arrays. The file is read whole and parsed with ScanfCursor,
// which keeps the word-and-format reading the meshes were always read with, at a
// fraction of the cost of a scanf call per number.
#include "mesh/ObjReader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>

#include "mesh/CornerExpander.h"
#include "mesh/MeshCorners.h"
#include "mesh/MeshMemory.h"
#include "mesh/ScanfCursor.h"

namespace Tarvo {

namespace {

// Longest keyword ("%127s") and longest word quoted after a failed face ("%511s").
constexpr std::size_t kMaxKeyword = 127;
constexpr std::size_t kMaxFailWord = 511;

// A keyword compares as a C string would: up to its first zero byte.
std::size_t keywordLength(const char* word, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i) {
        if (word[i] == '\0')
            return i;
    }
    return length;
}

// Appends count elements and returns the first, growing by doubling.
template <typename T>
T* appendSlots(LargeArray<T>& array, std::size_t count)
{
    if (array.capacity() - array.size() < count)
        array.reserve(array.size() + std::max<std::size_t>(array.size(), 4096));
    const std::size_t at = array.size();
    array.resize(at + count);
    return array.data() + at;
}

// "%f %f %f\n" and "%f %f\n": components that do not match stay 0 and the rest of the
// format is abandoned, exactly where fscanf would stop.
template <int N>
void scanFloats(ScanfCursor& cursor, float (&values)[N])
{
    for (int i = 0; i < N; ++i) {
        if (!cursor.scanFloat(values[i]))
            return;
    }
    cursor.skipSpace();
}

// One "%d" of a face. An index that does not fit 32 bits becomes 0 (never inside a
// pool), and the first such one in the face is noted with its text.
bool scanAnyIndex(ScanfCursor& cursor, std::int32_t& index, int slot, int& wideSlot, std::string& wideText)
{
    cursor.skipSpace();
    const char* start = cursor.position();
    std::int64_t value = 0;
    if (!cursor.scanLong(value))
        return false;
    if (value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max()) {
        index = static_cast<std::int32_t>(value);
        return true;
    }
    index = 0;
    if (wideSlot < 0) {
        wideSlot = slot;
        wideText.assign(start, cursor.position());
    }
    return true;
}

// The same, with the index as files hold it (a few digits, no sign) read inline.
inline bool scanIndex(ScanfCursor& cursor, std::int32_t& index, int slot, int& wideSlot, std::string& wideText)
{
    std::uint32_t plain = 0;
    if (cursor.scanPlainIndex(plain)) {
        index = static_cast<std::int32_t>(plain); // at most eight digits
        return true;
    }
    return scanAnyIndex(cursor, index, slot, wideSlot, wideText);
}

// "%d/%d/%d %d/%d/%d %d/%d/%d\n": true only when all nine numbers matched. wideSlot is
// the first index too wide for 32 bits, or -1.
bool scanFace(ScanfCursor& cursor, std::int32_t (&indices)[9], int& wideSlot, std::string& wideText)
{
    wideSlot = -1;
    for (int corner = 0; corner < 3; ++corner) {
        const int k = 3 * corner;
        std::uint32_t plain[3];
        if (cursor.scanPlainTriple(plain)) {
            // At most eight digits each: always inside 32 bits.
            for (int i = 0; i < 3; ++i)
                indices[k + i] = static_cast<std::int32_t>(plain[i]);
            continue;
        }
        if (!scanIndex(cursor, indices[k], k, wideSlot, wideText) || !cursor.matchChar('/')
            || !scanIndex(cursor, indices[k + 1], k + 1, wideSlot, wideText) || !cursor.matchChar('/')
            || !scanIndex(cursor, indices[k + 2], k + 2, wideSlot, wideText))
            return false;
    }
    cursor.skipSpace();
    return true;
}

// Every record takes some bytes of text: a "v" at least two (the keyword and white
// space), a "vt" or "vn" three, a face well over twelve. Reserving for that many maps
// address space only; the arrays then never move, and only the pages that records
// reach are ever touched.
void reserveForText(ObjMesh& mesh, std::size_t size, bool corners)
{
    try {
        mesh.positions.reserve(mesh.positions.size() + size / 2 + 1);
        mesh.texCoords.reserve(mesh.texCoords.size() + size / 3 + 1);
        mesh.normals.reserve(mesh.normals.size() + size / 3 + 1);
        if (corners)
            mesh.corners.reserve(mesh.corners.size() + 9 * (size / 12 + 1));
    } catch (const std::bad_alloc&) {
        // Without the address space the arrays grow as they go.
    }
}

// Lines that start with "f" and white space: the triangle count of any file the
// exporter writes, found with a fast byte search. Only a size hint.
std::size_t countFaceLines(const char* text, std::size_t size)
{
    std::size_t count = 0;
    const char* end = text + size;
    for (const char* p = text; p < end;) {
        const std::size_t left = static_cast<std::size_t>(end - p);
        const char* f = static_cast<const char*>(std::memchr(p, 'f', left));
        if (!f)
            break;
        if ((f == text || f[-1] == '\n') && f + 1 < end && ScanfCursor::isSpace(f[1]))
            ++count;
        p = f + 1;
    }
    return count;
}

enum class Record { Vertex, TexCoord, Normal, Face, Other, End };

// Reads the next keyword ("%127s") and says what it starts. The exporter's keywords,
// followed by white space, are recognised from their bytes; any other word is read whole.
Record nextRecord(ScanfCursor& cursor)
{
    cursor.skipSpace();
    if (cursor.remaining() >= 3) {
        const char* at = cursor.position();
        if (ScanfCursor::isSpace(at[1])) {
            if (at[0] == 'v' || at[0] == 'f') {
                cursor.skip(1);
                return at[0] == 'v' ? Record::Vertex : Record::Face;
            }
        } else if (at[0] == 'v' && (at[1] == 't' || at[1] == 'n') && ScanfCursor::isSpace(at[2])) {
            cursor.skip(2);
            return at[1] == 't' ? Record::TexCoord : Record::Normal;
        }
    }
    const char* word = nullptr;
    std::size_t length = 0;
    if (!cursor.readWord(kMaxKeyword, word, length))
        return Record::End;
    const std::size_t keyword = keywordLength(word, length);
    if (keyword == 1)
        return word[0] == 'v' ? Record::Vertex : word[0] == 'f' ? Record::Face : Record::Other;
    if (keyword == 2 && word[0] == 'v')
        return word[1] == 't' ? Record::TexCoord : word[1] == 'n' ? Record::Normal : Record::Other;
    return Record::Other;
}

// The reading loop; onFace receives the nine indices of every face that matched.
template <typename FaceSink>
bool parseObj(const char* text, std::size_t size, ObjMesh& mesh, std::string& failWord,
              FaceSink& onFace)
{
    // Editors on Windows (Notepad) start a UTF-8 file with a byte order mark; read as part
    // of the first word it would hide the first record.
    if (size >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) {
        text += 3;
        size -= 3;
    }
    ScanfCursor cursor(text, size);
    std::size_t triangle = mesh.triangleCount();
    std::string wideText;
    for (Record record = nextRecord(cursor); record != Record::End; record = nextRecord(cursor)) {
        if (record == Record::Vertex) {
            float v[3] = {0.0f, 0.0f, 0.0f};
            scanFloats(cursor, v);
            mesh.positions.emplace_back(v[0], v[1], v[2]);
        } else if (record == Record::TexCoord) {
            float v[2] = {0.0f, 0.0f};
            scanFloats(cursor, v);
            mesh.texCoords.emplace_back(v[0], v[1]);
        } else if (record == Record::Normal) {
            float v[3] = {0.0f, 0.0f, 0.0f};
            scanFloats(cursor, v);
            mesh.normals.emplace_back(v[0], v[1], v[2]);
        } else if (record == Record::Face) {
            std::int32_t indices[9];
            int wideSlot = -1;
            if (!scanFace(cursor, indices, wideSlot, wideText)) {
                failWord.clear();
                const char* word = nullptr;
                std::size_t length = 0;
                if (cursor.readWord(kMaxFailWord, word, length))
                    failWord.assign(word, keywordLength(word, length));
                return false;
            }
            if (wideSlot >= 0 && !mesh.wideIndex)
                mesh.wideIndex = WideIndex{triangle, wideSlot, wideText};
            onFace(indices);
            ++triangle;
        } else {
            cursor.skipLine();
        }
    }
    return true;
}

void reportParseFailure(const char* name, const std::string& failWord)
{
    std::printf("A failed attempt to parse %s. Better luck next time.\n", name);
    std::printf("Fail line: %s\n", failWord.c_str());
}

// Prints the reader's first line and reads the file; false (reported) when it cannot be
// opened.
bool openObjFile(const char* path, FileContents& file)
{
    std::printf("Loading OBJ file %s...\n", path);
    if (!file.open(path)) {
        std::printf("Impossible to open the file!\n");
        return false;
    }
    return true;
}

} // namespace

bool parseObjText(const char* text, std::size_t size, ObjMesh& mesh, std::string& failWord)
{
    reserveForText(mesh, size, true);
    auto collect = [&mesh](const std::int32_t(&indices)[9]) {
        std::memcpy(appendSlots(mesh.corners, 9), indices, sizeof indices);
    };
    return parseObj(text, size, mesh, failWord, collect);
}

bool readObjFile(const char* path, ObjMesh& mesh)
{
    if (!path)
        path = "";
    FileContents file;
    if (!openObjFile(path, file))
        return false;
    std::string failWord;
    if (!parseObjText(file.data(), file.size(), mesh, failWord)) {
        reportParseFailure(path, failWord);
        return false;
    }
    return true;
}

bool checkObjTriangle(const ObjMesh& mesh, const std::int32_t* c, std::size_t triangle, std::string& reason)
{
    const MeshPoolSizes pools{mesh.positions.size(), mesh.texCoords.size(), mesh.normals.size()};
    const std::int64_t indices[9] = {c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]};
    const int slot = firstBadIndex(indices, pools);
    if (slot < 0)
        return true;
    const bool wide = mesh.wideIndex && mesh.wideIndex->triangle == triangle && mesh.wideIndex->slot == slot;
    reason = badIndexReason(triangle, slot, wide ? mesh.wideIndex->text : std::to_string(indices[slot]), pools);
    return false;
}

bool checkObjMesh(const char* path, const ObjMesh& mesh)
{
    std::string reason;
    for (std::size_t t = 0; t < mesh.triangleCount(); ++t) {
        if (!checkObjTriangle(mesh, mesh.corners.data() + 9 * t, t, reason)) {
            std::printf("Bad index in %s: %s\n", path, reason.c_str());
            return false;
        }
    }
    return true;
}

bool expandObjMesh(const char* path, const ObjMesh& mesh, std::vector<glm::vec3>& positions,
                   std::vector<glm::vec2>& texCoords, std::vector<glm::vec3>& normals)
{
    MeshOutput output(positions, texCoords, normals);
    output.reserveMore(3 * mesh.triangleCount());
    CornerExpander expander(mesh, output);
    for (std::size_t t = 0; t < mesh.triangleCount(); ++t)
        expander.addTriangle(mesh.corners.data() + 9 * t);
    if (!expander.finish(path)) {
        output.rollback();
        return false;
    }
    return true;
}

bool loadObjText(const char* name, const char* text, std::size_t size,
                 std::vector<glm::vec3>& positions, std::vector<glm::vec2>& texCoords,
                 std::vector<glm::vec3>& normals)
{
    ObjMesh pools;
    reserveForText(pools, size, false);
    MeshOutput output(positions, texCoords, normals);
    output.reserveMore(3 * countFaceLines(text, size));
    CornerExpander expander(pools, output);
    auto expand = [&expander](const std::int32_t(&indices)[9]) { expander.addTriangle(indices); };
    std::string failWord;
    if (!parseObj(text, size, pools, failWord, expand)) {
        output.rollback();
        reportParseFailure(name, failWord);
        return false;
    }
    if (!expander.finish(name)) {
        output.rollback();
        return false;
    }
    return true;
}

bool loadOBJ(const char* path, std::vector<glm::vec3>& out_vertices,
             std::vector<glm::vec2>& out_uvs, std::vector<glm::vec3>& out_normals)
{
    if (!path)
        path = "";
    FileContents file;
    if (!openObjFile(path, file))
        return false;
    return loadObjText(path, file.data(), file.size(), out_vertices, out_uvs, out_normals);
}

} // namespace Tarvo
