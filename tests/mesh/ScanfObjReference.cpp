// fscanf-based OBJ reading on an in-memory stream (fmemopen), kept beside the tests as
// the behaviour the fast reader is held to.
#include "ScanfObjReference.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace meshtest {

bool referenceParseObj(const std::string& whole, Tarvo::ObjMesh& mesh, std::string& failWord)
{
    // A leading byte order mark is skipped: the one place where the reader knowingly
    // differs from fscanf, which would read it as part of the first word.
    const std::string text = whole.compare(0, 3, "\xEF\xBB\xBF") == 0 ? whole.substr(3) : whole;
    if (text.empty())
        return true;
    std::FILE* file = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    if (!file)
        return false;
    bool ok = true;
    for (;;) {
        char word[128];
        if (std::fscanf(file, "%127s", word) == EOF)
            break;
        if (std::strcmp(word, "v") == 0) {
            glm::vec3 v(0.0f);
            (void)!std::fscanf(file, "%f %f %f\n", &v.x, &v.y, &v.z);
            mesh.positions.push_back(v);
        } else if (std::strcmp(word, "vt") == 0) {
            glm::vec2 v(0.0f);
            (void)!std::fscanf(file, "%f %f\n", &v.x, &v.y);
            mesh.texCoords.push_back(v);
        } else if (std::strcmp(word, "vn") == 0) {
            glm::vec3 v(0.0f);
            (void)!std::fscanf(file, "%f %f %f\n", &v.x, &v.y, &v.z);
            mesh.normals.push_back(v);
        } else if (std::strcmp(word, "f") == 0) {
            // Read wide, so that an index too large for 32 bits is seen as such (a "%d"
            // would keep its low bits); it is stored as 0, out of every pool.
            long long c[9];
            const int matched = std::fscanf(file, "%lld/%lld/%lld %lld/%lld/%lld %lld/%lld/%lld\n", &c[0],
                                            &c[1], &c[2], &c[3], &c[4], &c[5], &c[6], &c[7], &c[8]);
            if (matched != 9) {
                char rest[512] = "";
                if (std::fscanf(file, "%511s", rest) != 1)
                    rest[0] = '\0';
                failWord = rest;
                ok = false;
                break;
            }
            for (int i = 0; i < 9; ++i) {
                const bool fits = c[i] >= INT32_MIN && c[i] <= INT32_MAX;
                if (!fits && !mesh.wideIndex)
                    mesh.wideIndex = Tarvo::WideIndex{mesh.triangleCount(), i, std::string()};
                mesh.corners.push_back(fits ? static_cast<std::int32_t>(c[i]) : 0);
            }
        } else {
            char line[1000];
            (void)!std::fgets(line, sizeof line, file);
        }
    }
    std::fclose(file);
    return ok;
}

namespace {

template <typename Array>
std::string comparePool(const char* name, const Array& expected, const Array& actual)
{
    using T = typename Array::value_type;
    if (expected.size() != actual.size())
        return std::string(name) + " count " + std::to_string(actual.size()) + ", expected "
               + std::to_string(expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (std::memcmp(&expected[i], &actual[i], sizeof(T)) != 0)
            return std::string(name) + " " + std::to_string(i) + " differs";
    }
    return {};
}

} // namespace

std::string compareObjMeshes(const Tarvo::ObjMesh& expected, const Tarvo::ObjMesh& actual)
{
    std::string difference = comparePool("position", expected.positions, actual.positions);
    if (difference.empty())
        difference = comparePool("texture coordinate", expected.texCoords, actual.texCoords);
    if (difference.empty())
        difference = comparePool("normal", expected.normals, actual.normals);
    if (difference.empty())
        difference = comparePool("corner index", expected.corners, actual.corners);
    if (difference.empty() && expected.wideIndex.has_value() != actual.wideIndex.has_value())
        difference = actual.wideIndex ? "an index too wide for 32 bits that is not" : "a too-wide index missed";
    if (difference.empty() && expected.wideIndex
        && (expected.wideIndex->triangle != actual.wideIndex->triangle
            || expected.wideIndex->slot != actual.wideIndex->slot))
        difference = "the first too-wide index is in another place";
    return difference;
}

std::string compareWithReference(const std::string& text, Tarvo::ObjMesh& parsed, bool& accepted)
{
    Tarvo::ObjMesh reference;
    std::string word;
    std::string referenceWord;
    accepted = Tarvo::parseObjText(text.data(), text.size(), parsed, word);
    const bool referenceAccepted = referenceParseObj(text, reference, referenceWord);
    if (accepted != referenceAccepted)
        return accepted ? "buffer reader accepted a file fscanf rejects"
                        : "buffer reader rejected a file fscanf accepts";
    if (word != referenceWord)
        return "fail word '" + word + "', fscanf gives '" + referenceWord + "'";
    return compareObjMeshes(reference, parsed);
}

std::string compareWithReference(const std::string& text)
{
    Tarvo::ObjMesh parsed;
    bool accepted = false;
    return compareWithReference(text, parsed, accepted);
}

} // namespace meshtest
