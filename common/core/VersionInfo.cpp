#include "core/VersionInfo.h"

#include <elf.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace vtl::version {

namespace {

constexpr uint32_t kSignature = 0xFEEF04BDu;
constexpr char kSectionName[] = ".vtlversion";

bool readAt(std::ifstream& in, uint64_t offset, void* buffer, size_t size) {
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(static_cast<char*>(buffer), static_cast<std::streamsize>(size));
    return static_cast<size_t>(in.gcount()) == size;
}

std::optional<Elf64_Shdr> findSection(std::ifstream& in, const Elf64_Ehdr& header) {
    if (header.e_shentsize != sizeof(Elf64_Shdr) || header.e_shstrndx >= header.e_shnum) return {};
    std::vector<Elf64_Shdr> sections(header.e_shnum);
    if (!readAt(in, header.e_shoff, sections.data(), sections.size() * sizeof(Elf64_Shdr))) return {};
    const Elf64_Shdr& names = sections[header.e_shstrndx];
    if (names.sh_size > (1u << 20)) return {};
    std::string table(names.sh_size, '\0');
    if (!readAt(in, names.sh_offset, table.data(), table.size())) return {};
    for (const Elf64_Shdr& section : sections) {
        if (section.sh_name < table.size() &&
            std::strcmp(table.c_str() + section.sh_name, kSectionName) == 0) {
            return section;
        }
    }
    return {};
}

}  // namespace

std::optional<FixedFileInfo> readFixedFileInfo(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    Elf64_Ehdr header{};
    if (!readAt(in, 0, &header, sizeof header)) return {};
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64) {
        return {};
    }
    std::optional<Elf64_Shdr> section = findSection(in, header);
    uint32_t record[4] = {};
    if (!section || section->sh_size < sizeof record) return {};
    if (!readAt(in, section->sh_offset, record, sizeof record) || record[0] != kSignature) return {};
    return FixedFileInfo{record[2], record[3]};
}

}  // namespace vtl::version
