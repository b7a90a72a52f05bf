// Header: 8 bytes "ZIBTAB01", the layout's checksum (8), the tables' length (8), their checksum (8),
// all numbers little-endian.
#include "game/solver/table_file.h"

#include <array>

#include "common/platform.h"

namespace solver {

namespace {

constexpr std::string_view Magic = "ZIBTAB01";
constexpr std::size_t HeaderSize = 32;

// Changes whenever the groups of the tables change, so that an old file is not taken.
std::uint64_t layoutChecksum() {
    std::string defs;
    for (const auto& def : TableDefs) {
        defs.push_back(static_cast<char>(def.size));
        defs.append(reinterpret_cast<const char*>(def.cells.data()), def.cells.size());
    }
    return TableChecksum(defs);
}

void putNumber(std::string& out, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>(v >> (8 * i) & 0xFF));
}

std::uint64_t getNumber(std::string_view in, std::size_t at) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(in[at + static_cast<std::size_t>(i)]);
    return v;
}

std::u16string folderOf(std::u16string_view path) {
    const std::size_t cut = path.find_last_of(u"/\\");
    return std::u16string(cut == std::u16string_view::npos ? std::u16string_view() : path.substr(0, cut));
}

}  // namespace

std::uint64_t TableChecksum(std::string_view bytes) {
    // Eight bytes a step with a multiply-and-rotate mix: fast enough to check megabytes on
    // every start, and every changed byte changes the result.
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ bytes.size();
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        h ^= getNumber(bytes, i);
        h *= 0xFF51AFD7ED558CCDull;
        h = h << 29 | h >> 35;
    }
    for (; i < bytes.size(); ++i) h = (h ^ static_cast<unsigned char>(bytes[i])) * 0x100000001B3ull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    return h ^ (h >> 33);
}

std::string ReadTableFile(std::u16string_view path, TPatternTables& tables) {
    if (path.empty() || !platform::FileExists(path)) return "missing";
    std::string bytes;
    if (!platform::ReadFileBytes(path, bytes)) return "unreadable";
    const std::string_view all(bytes);
    if (all.size() < HeaderSize || all.substr(0, Magic.size()) != Magic) return "not a table file";
    if (getNumber(all, 8) != layoutChecksum()) return "tables of another layout";
    const std::string_view body = all.substr(HeaderSize);
    if (getNumber(all, 16) != body.size() || body.size() != TPatternTables::ByteCount()) return "wrong length";
    if (getNumber(all, 24) != TableChecksum(body)) return "checksum mismatch";
    if (!tables.FromBytes(body)) return "wrong length";
    return {};
}

bool WriteTableFile(std::u16string_view path, const TPatternTables& tables) {
    if (path.empty()) return false;
    const std::u16string folder = folderOf(path);
    if (!folder.empty() && !platform::CreateFolders(folder)) return false;
    const std::string_view body = tables.Bytes();
    std::string bytes(Magic);
    putNumber(bytes, layoutChecksum());
    putNumber(bytes, body.size());
    putNumber(bytes, TableChecksum(body));
    bytes.append(body);
    return platform::WriteFileAtomic(path, bytes);
}

}  // namespace solver
