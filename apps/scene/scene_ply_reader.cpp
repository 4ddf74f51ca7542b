#include "apps/scene/scene_ply_reader.h"

#include "apps/scene/scene_reader_support.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

namespace Gcad::Scene {

namespace {

using Vaq::BaVec3d;

constexpr std::size_t RELEASE_STEP = std::size_t(32) << 20;

enum class Type : uint8_t { Int8, UInt8, Int16, UInt16, Int32, UInt32, Float32, Float64 };

std::optional<Type> typeNamed(std::string_view name)
{
    static constexpr std::pair<std::string_view, Type> NAMES[] = { { "char", Type::Int8 },
        { "int8", Type::Int8 }, { "uchar", Type::UInt8 }, { "uint8", Type::UInt8 }, { "short", Type::Int16 },
        { "int16", Type::Int16 }, { "ushort", Type::UInt16 }, { "uint16", Type::UInt16 },
        { "int", Type::Int32 }, { "int32", Type::Int32 }, { "uint", Type::UInt32 },
        { "uint32", Type::UInt32 }, { "float", Type::Float32 }, { "float32", Type::Float32 },
        { "double", Type::Float64 }, { "float64", Type::Float64 } };
    for (const auto &[typeName, type] : NAMES) {
        if (typeName == name)
            return type;
    }
    return std::nullopt;
}

std::size_t sizeOf(Type type)
{
    static constexpr std::size_t SIZES[] = { 1, 1, 2, 2, 4, 4, 4, 8 };
    return SIZES[std::size_t(type)];
}

bool isInteger(Type type)
{
    return type != Type::Float32 && type != Type::Float64;
}

// What a property gives the result.
enum Role : uint8_t { SKIP, X, Y, Z, NX, NY, NZ, RED, GREEN, BLUE, VALUE, CORNERS, ROLE_COUNT };

struct Property
{
    std::string name;
    Type type = Type::Float32; // of the items, for a list
    std::optional<Type> countType; // set for a list
    Role role = SKIP;
};

enum class Kind { VERTEX, FACE, STRIPS, OTHER };

struct Element
{
    std::string name;
    Kind kind = Kind::OTHER;
    uint64_t count = 0;
    std::vector<Property> properties;
    std::size_t line = 0;
};

enum class Format { ASCII, BINARY_LE, BINARY_BE };

struct Header
{
    Format format = Format::ASCII;
    std::vector<Element> elements;
    std::size_t bodyOffset = 0;
    std::size_t bodyLine = 0;
};

[[noreturn]] void failAtLine(const QString &fileName, std::size_t line, const QString &what)
{
    throw ImportError(fileName, QStringLiteral("line %1: %2").arg(line).arg(what));
}

std::vector<std::string_view> splitWords(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t start = line.find_first_not_of(" \t\r");
    while (start != std::string_view::npos) {
        const std::size_t end = line.find_first_of(" \t\r", start);
        words.push_back(line.substr(start, end == std::string_view::npos ? end : end - start));
        start = line.find_first_not_of(" \t\r", end);
    }
    return words;
}

Role vertexRole(std::string_view name, bool haveValue)
{
    static constexpr std::pair<std::string_view, Role> NAMES[] = { { "x", X }, { "y", Y }, { "z", Z },
        { "nx", NX }, { "ny", NY }, { "nz", NZ }, { "red", RED }, { "green", GREEN }, { "blue", BLUE } };
    for (const auto &[roleName, role] : NAMES) {
        if (roleName == name)
            return role;
    }
    const bool value = name == "quality" || name == "value" || name == "intensity" || name == "deviation"
        || name.starts_with("scalar_");
    return value && !haveValue ? VALUE : SKIP;
}

// The roles of an element's properties; refuses what the element's kind cannot take.
void assignRoles(Element &element, const QString &fileName)
{
    const auto fail = [&](const QString &what) { failAtLine(fileName, element.line, what); };
    if (element.count > 0 && element.properties.empty())
        fail(QStringLiteral("element '%1' has no properties").arg(quoted(element.name)));
    bool corners = false, haveValue = false;
    uint32_t seen = 0;
    for (Property &property : element.properties) {
        if (element.kind == Kind::VERTEX && !property.countType) {
            property.role = vertexRole(property.name, haveValue);
            haveValue = haveValue || property.role == VALUE;
            if (seen & (1u << property.role) && property.role != SKIP)
                fail(QStringLiteral("property '%1' appears twice").arg(quoted(property.name)));
            seen |= 1u << property.role;
        } else if ((element.kind == Kind::FACE || element.kind == Kind::STRIPS) && property.countType
            && (property.name == "vertex_indices" || property.name == "vertex_index") && !corners) {
            if (!isInteger(property.type) || !isInteger(*property.countType))
                fail(QStringLiteral("the list '%1' of element '%2' is not of integers")
                         .arg(quoted(property.name), quoted(element.name)));
            property.role = CORNERS;
            corners = true;
        }
    }
    if (element.kind == Kind::VERTEX && (seen & 0b1110) != 0b1110)
        fail(QStringLiteral("element 'vertex' lacks x, y or z"));
    if ((element.kind == Kind::FACE || element.kind == Kind::STRIPS) && !corners && element.count > 0)
        fail(QStringLiteral("element '%1' has no list 'vertex_indices'").arg(quoted(element.name)));
}

Header readHeader(std::string_view bytes, const QString &fileName)
{
    Header header;
    std::size_t pos = 0, line = 0;
    bool formatSeen = false;
    for (;;) {
        ++line;
        const std::size_t end = bytes.find('\n', pos);
        if (end == std::string_view::npos)
            failAtLine(fileName, line, QStringLiteral("the file ends inside the header (no 'end_header')"));
        const std::string_view text = bytes.substr(pos, end - pos);
        const std::vector<std::string_view> words = splitWords(text);
        pos = end + 1;
        if (line == 1) {
            if (words.size() != 1 || words[0] != "ply")
                failAtLine(fileName, line, QStringLiteral("not a PLY file (it does not start with 'ply')"));
            continue;
        }
        const std::string_view keyword = words.empty() ? std::string_view() : words[0];
        if (keyword == "comment" || keyword == "obj_info" || keyword.empty())
            continue;
        if (keyword == "end_header")
            break;
        if (keyword == "format" && words.size() == 3) {
            if (words[1] == "ascii")
                header.format = Format::ASCII;
            else if (words[1] == "binary_little_endian")
                header.format = Format::BINARY_LE;
            else if (words[1] == "binary_big_endian")
                header.format = Format::BINARY_BE;
            else
                failAtLine(fileName, line, QStringLiteral("unknown format '%1'").arg(quoted(words[1])));
            formatSeen = true;
        } else if (keyword == "element" && words.size() == 3) {
            Element element;
            element.name = std::string(words[1]);
            element.line = line;
            const auto [at, error]
                = std::from_chars(words[2].data(), words[2].data() + words[2].size(), element.count);
            if (error != std::errc() || at != words[2].data() + words[2].size())
                failAtLine(fileName, line, QStringLiteral("'%1' is not a count").arg(quoted(words[2])));
            element.kind = words[1] == "vertex" ? Kind::VERTEX
                : words[1] == "face"            ? Kind::FACE
                : words[1] == "tristrips"       ? Kind::STRIPS
                                                : Kind::OTHER;
            header.elements.push_back(std::move(element));
        } else if (keyword == "property" && !header.elements.empty()
            && (words.size() == 3 || (words.size() == 5 && words[1] == "list"))) {
            Property property;
            property.name = std::string(words.back());
            const std::optional<Type> type = typeNamed(words[words.size() - 2]);
            if (!type)
                failAtLine(
                    fileName, line, QStringLiteral("unknown type '%1'").arg(quoted(words[words.size() - 2])));
            property.type = *type;
            if (words.size() == 5) {
                property.countType = typeNamed(words[2]);
                if (!property.countType || !isInteger(*property.countType))
                    failAtLine(
                        fileName, line, QStringLiteral("'%1' is no list count type").arg(quoted(words[2])));
            }
            header.elements.back().properties.push_back(std::move(property));
        } else {
            failAtLine(fileName, line, QStringLiteral("not a header line: '%1'").arg(quoted(text)));
        }
    }
    if (!formatSeen)
        failAtLine(fileName, line, QStringLiteral("the header has no 'format' line"));
    header.bodyOffset = pos;
    header.bodyLine = line + 1;
    return header;
}

// The fewest bytes one entry of element takes in the body: a value per property (in text at
// least a digit and a blank), a count per list, and for faces three corners.
uint64_t smallestEntry(const Element &element, Format format)
{
    uint64_t bytes = 0;
    for (const Property &property : element.properties) {
        const uint64_t items = property.role == CORNERS && element.kind == Kind::FACE ? 3 : 0;
        if (format == Format::ASCII)
            bytes += 2 * (1 + items);
        else
            bytes += property.countType ? sizeOf(*property.countType) + items * sizeOf(property.type)
                                        : sizeOf(property.type);
    }
    return bytes;
}

// Refuses counts that the bytes after the header cannot hold, before anything is allocated.
void checkCounts(const Header &header, std::size_t fileSize, const QString &fileName)
{
    // In text the last value needs no blank after it.
    const uint64_t available = fileSize - header.bodyOffset + (header.format == Format::ASCII ? 1 : 0);
    uint64_t used = 0;
    for (const Element &element : header.elements) {
        const uint64_t entry = smallestEntry(element, header.format);
        if (entry == 0)
            continue;
        if (element.count > (available - used) / entry)
            failAtLine(fileName, element.line,
                QStringLiteral("%1 entries of element '%2' need at least %3 bytes, only %4 follow the header")
                    .arg(element.count)
                    .arg(quoted(element.name))
                    .arg(double(element.count) * double(entry), 0, 'g', 15)
                    .arg(fileSize - header.bodyOffset));
        used += element.count * entry;
    }
}

// The body of a binary file, read value by value with the file's byte order.
class BinaryBody
{
public:
    BinaryBody(std::string_view bytes, std::size_t offset, bool swap, const QString &fileName)
        : m_bytes(bytes)
        , m_pos(offset)
        , m_swap(swap)
        , m_file_name(fileName)
    {
    }

    double value(Type type)
    {
        need(sizeOf(type));
        return fixedValue(type);
    }
    // Throws unless size more bytes follow.
    void need(std::size_t size) const
    {
        if (size > m_bytes.size() - m_pos)
            throw ImportError(m_file_name,
                QStringLiteral("byte %1: the file ends inside element '%2'")
                    .arg(m_pos)
                    .arg(quoted(*m_element)));
    }
    // A value of an entry whose size was checked with need.
    double fixedValue(Type type)
    {
        const char *at = m_bytes.data() + m_pos;
        m_pos += sizeOf(type);
        switch (type) {
        case Type::Int8:
            return double(int8_t(*at));
        case Type::UInt8:
            return double(uint8_t(*at));
        case Type::Int16:
            return double(std::bit_cast<int16_t>(load<uint16_t>(at)));
        case Type::UInt16:
            return double(load<uint16_t>(at));
        case Type::Int32:
            return double(std::bit_cast<int32_t>(load<uint32_t>(at)));
        case Type::UInt32:
            return double(load<uint32_t>(at));
        case Type::Float32:
            return double(std::bit_cast<float>(load<uint32_t>(at)));
        case Type::Float64:
            return std::bit_cast<double>(load<uint64_t>(at));
        }
        return 0.0;
    }
    // A list count or index: an integer type's value.
    int64_t integer(Type type) { return int64_t(value(type)); }
    // Whether count more items of type can still be in the file.
    bool holds(uint64_t count, Type type) const { return count <= (m_bytes.size() - m_pos) / sizeOf(type); }

    void startElement(const std::string &name) { m_element = &name; }
    [[noreturn]] void fail(const QString &what) const
    {
        throw ImportError(m_file_name, QStringLiteral("byte %1: %2").arg(m_start).arg(what));
    }
    void startEntry() { m_start = m_pos; }
    std::size_t offset() const { return m_pos; }
    void finish() const
    {
        if (m_pos != m_bytes.size())
            throw ImportError(m_file_name,
                QStringLiteral("byte %1: %2 bytes more than the header declares")
                    .arg(m_pos)
                    .arg(m_bytes.size() - m_pos));
    }

private:
    template<typename U> U load(const char *at) const
    {
        U bits;
        std::memcpy(&bits, at, sizeof bits);
        if (m_swap) {
            if constexpr (sizeof(U) == 2)
                bits = __builtin_bswap16(bits);
            else if constexpr (sizeof(U) == 4)
                bits = __builtin_bswap32(bits);
            else
                bits = __builtin_bswap64(bits);
        }
        return bits;
    }

    std::string_view m_bytes;
    std::size_t m_pos;
    std::size_t m_start = 0;
    bool m_swap;
    const QString &m_file_name;
    const std::string *m_element = nullptr;
};

// The body of an ascii file: values separated by blanks, lines counted for messages.
class AsciiBody
{
public:
    AsciiBody(std::string_view bytes, std::size_t offset, std::size_t line, const QString &fileName)
        : m_bytes(bytes)
        , m_text(bytes, fileName, offset, line)
    {
    }

    double value(Type type) { return isInteger(type) ? double(integer(type)) : m_text.number("a number"); }
    double fixedValue(Type type) { return value(type); }
    // Text has no fixed sizes.
    void need(std::size_t) const { }
    int64_t integer(Type)
    {
        return m_text.integer(
            "a whole number", std::numeric_limits<int32_t>::min(), std::numeric_limits<uint32_t>::max());
    }
    // Each value takes at least two bytes.
    bool holds(uint64_t count, Type) const { return count <= (m_bytes.size() - m_text.offset() + 1) / 2; }

    void startElement(const std::string &) { }
    void startEntry() { m_text.skipBlanks(); }
    [[noreturn]] void fail(const QString &what) const { m_text.fail(what); }
    std::size_t offset() const { return m_text.offset(); }
    void finish()
    {
        if (m_text.skipBlanks())
            m_text.fail(QStringLiteral("more values than the header declares"));
    }

private:
    std::string_view m_bytes;
    TextCursor m_text;
};

inline uint8_t colorChannel(double value, Type type, const auto &body)
{
    if (isInteger(type)) {
        if (value < 0 || value > 255)
            body.fail(QStringLiteral("colour value %1 is not from 0 to 255").arg(value));
        return uint8_t(value);
    }
    if (!std::isfinite(value))
        body.fail(QStringLiteral("non-finite colour value"));
    return uint8_t(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
}

template<typename Body> class BodyReader
{
public:
    BodyReader(Body &body, const Header &header, const QString &fileName, const ReleaseRead &release)
        : m_body(body)
        , m_header(header)
        , m_file_name(fileName)
        , m_release(release)
    {
        for (const Element &element : header.elements) {
            m_vertex_count += element.kind == Kind::VERTEX ? element.count : 0;
            m_mesh = m_mesh
                || ((element.kind == Kind::FACE || element.kind == Kind::STRIPS) && element.count > 0);
        }
    }

    PlyData read()
    {
        if (m_mesh && m_vertex_count > std::numeric_limits<uint32_t>::max())
            throw ImportError(m_file_name, QStringLiteral("too many vertices for 32-bit indices"));
        for (const Element &element : m_header.elements) {
            m_body.startElement(element.name);
            if (element.kind == Kind::VERTEX)
                readVertices(element);
            else
                readOthers(element);
        }
        m_body.finish();
        if (m_vertex_count == 0)
            throw ImportError(
                m_file_name, m_mesh ? QStringLiteral("no vertices") : QStringLiteral("no points"));
        if (m_mesh && m_mesh_data.triangles.empty())
            throw ImportError(m_file_name, QStringLiteral("no triangles"));
        if (m_mesh)
            return std::move(m_mesh_data);
        return std::move(m_cloud);
    }

private:
    bool has(const Element &element, Role role) const
    {
        return std::any_of(element.properties.begin(), element.properties.end(),
            [role](const Property &p) { return p.role == role; });
    }

    void skipList(const Property &property)
    {
        const int64_t count = m_body.integer(*property.countType);
        if (count < 0 || !m_body.holds(uint64_t(count), property.type))
            m_body.fail(QStringLiteral("a list of %1 items, more than the file holds").arg(count));
        for (int64_t i = 0; i < count; ++i)
            m_body.value(property.type);
    }

    void released()
    {
        if (m_release && m_body.offset() - m_released > RELEASE_STEP) {
            m_release(m_body.offset());
            m_released = m_body.offset();
        }
    }

    void readVertices(const Element &element)
    {
        if (m_vertices_read)
            m_body.fail(QStringLiteral("a second element 'vertex'"));
        m_vertices_read = true;
        const bool normals = !m_mesh && has(element, NX) && has(element, NY) && has(element, NZ);
        const bool colors = has(element, RED) && has(element, GREEN) && has(element, BLUE);
        const bool values = !m_mesh && has(element, VALUE);
        const std::size_t count = std::size_t(element.count);
        std::vector<BaVec3d<double>> &positions = m_mesh ? m_mesh_data.vertices : m_cloud.positions;
        std::vector<Vaq::Color> &colorsOut = m_mesh ? m_mesh_data.colors : m_cloud.colors;
        reserveToFill(positions, count, m_file_name);
        if (normals)
            reserveToFill(m_cloud.normals, count, m_file_name);
        if (colors)
            reserveToFill(colorsOut, count, m_file_name);
        if (values)
            reserveToFill(m_cloud.values, count, m_file_name);

        // Types and roles packed tight for the loop; a list marks the element as of varying size.
        struct Field
        {
            Type type;
            Role role;
        };
        std::vector<Field> fields;
        bool fixed = true;
        std::size_t entrySize = 0;
        Type colorType[3] = {};
        for (const Property &property : element.properties) {
            fixed = fixed && !property.countType;
            fields.push_back({ property.type, property.role });
            entrySize += sizeOf(property.type);
            if (property.role >= RED && property.role <= BLUE)
                colorType[property.role - RED] = property.type;
        }
        double v[ROLE_COUNT] = {};
        for (std::size_t i = 0; i < count; ++i) {
            m_body.startEntry();
            if (fixed) {
                // Every entry has one size, checked once.
                m_body.need(entrySize);
                for (const Field &field : fields)
                    v[field.role] = m_body.fixedValue(field.type);
            } else {
                for (const Property &property : element.properties) {
                    if (property.countType)
                        skipList(property);
                    else
                        v[property.role] = m_body.value(property.type);
                }
            }
            if (!std::isfinite(v[X]) || !std::isfinite(v[Y]) || !std::isfinite(v[Z]))
                m_body.fail(QStringLiteral("non-finite vertex coordinates"));
            positions.emplace_back(v[X], v[Y], v[Z]);
            if (normals)
                m_cloud.normals.emplace_back(float(v[NX]), float(v[NY]), float(v[NZ]));
            if (colors)
                colorsOut.emplace_back(colorChannel(v[RED], colorType[0], m_body),
                    colorChannel(v[GREEN], colorType[1], m_body),
                    colorChannel(v[BLUE], colorType[2], m_body));
            if (values)
                m_cloud.values.push_back(float(v[VALUE]));
            if ((i & 0xFFFF) == 0)
                released();
        }
    }

    // Faces and strips become triangles; any other element is read past.
    void readOthers(const Element &element)
    {
        if (element.kind == Kind::FACE)
            reserveOrFail(m_mesh_data.triangles, m_mesh_data.triangles.size() + element.count, m_file_name);
        for (uint64_t i = 0; i < element.count; ++i) {
            m_body.startEntry();
            for (const Property &property : element.properties) {
                if (property.role == CORNERS)
                    readCorners(property, element.kind == Kind::STRIPS);
                else if (property.countType)
                    skipList(property);
                else
                    m_body.value(property.type);
            }
            if (element.kind == Kind::FACE)
                addFan();
            else if (element.kind == Kind::STRIPS)
                addStrip();
            if ((i & 0xFFFF) == 0)
                released();
        }
    }

    void readCorners(const Property &property, bool strip)
    {
        const int64_t count = m_body.integer(*property.countType);
        if (!strip && count < 3)
            m_body.fail(QStringLiteral("a face of %1 corners").arg(count));
        if (count < 0 || !m_body.holds(uint64_t(count), property.type))
            m_body.fail(QStringLiteral("a list of %1 corners, more than the file holds").arg(count));
        m_corners.clear();
        for (int64_t i = 0; i < count; ++i) {
            const int64_t index = m_body.integer(property.type);
            if ((index < 0 && !(strip && index == -1)) || index >= int64_t(m_vertex_count))
                m_body.fail(QStringLiteral("vertex index %1 is not one of the %2 vertices")
                                .arg(index)
                                .arg(m_vertex_count));
            m_corners.push_back(index);
        }
    }

    void add(int64_t a, int64_t b, int64_t c)
    {
        appendOrFail(
            m_mesh_data.triangles, Vaq::CAD::Triangle { uint32_t(a), uint32_t(b), uint32_t(c) }, m_file_name);
    }

    void addFan()
    {
        for (std::size_t i = 2; i < m_corners.size(); ++i)
            add(m_corners[0], m_corners[i - 1], m_corners[i]);
    }

    // Every second triangle of a strip turns the other way round; its corners are swapped so
    // that all face the same side.
    void addStrip()
    {
        std::size_t start = 0;
        for (std::size_t i = 0; i < m_corners.size(); ++i) {
            if (m_corners[i] == -1) {
                start = i + 1;
                continue;
            }
            if (i < start + 2)
                continue;
            const int64_t a = m_corners[i - 2], b = m_corners[i - 1], c = m_corners[i];
            if (a == b || b == c || a == c)
                continue;
            if ((i - start) % 2 == 0)
                add(a, b, c);
            else
                add(b, a, c);
        }
    }

    Body &m_body;
    const Header &m_header;
    const QString &m_file_name;
    const ReleaseRead &m_release;
    uint64_t m_vertex_count = 0;
    bool m_mesh = false;
    bool m_vertices_read = false;
    std::size_t m_released = 0;
    std::vector<int64_t> m_corners;
    MeshData m_mesh_data;
    PointCloud m_cloud;
};

} // namespace

PlyData readPly(std::string_view bytes, const QString &fileName, const ReleaseRead &release)
{
    Header header = readHeader(bytes, fileName);
    for (Element &element : header.elements)
        assignRoles(element, fileName);
    checkCounts(header, bytes.size(), fileName);
    if (header.format == Format::ASCII) {
        AsciiBody body(bytes, header.bodyOffset, header.bodyLine, fileName);
        return BodyReader<AsciiBody>(body, header, fileName, release).read();
    }
    const bool swap = (header.format == Format::BINARY_BE) != (std::endian::native == std::endian::big);
    BinaryBody body(bytes, header.bodyOffset, swap, fileName);
    return BodyReader<BinaryBody>(body, header, fileName, release).read();
}

} // namespace Gcad::Scene
