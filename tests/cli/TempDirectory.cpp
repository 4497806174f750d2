#include "TempDirectory.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <stdlib.h>

TTempDirectory::TTempDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-cli-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TTempDirectory::~TTempDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TTempDirectory::Write(const std::string& name, const std::string& bytes) const {
    std::string file = path_ + "/" + name;
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
}

std::string TTempDirectory::Read(const std::string& name) const {
    std::ifstream file(path_ + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool TTempDirectory::Exists(const std::string& name) const {
    return std::filesystem::exists(path_ + "/" + name);
}
