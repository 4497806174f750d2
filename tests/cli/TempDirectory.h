#pragma once

#include <string>

// A fresh folder under the system's temporary folder, removed with everything in it when
// the object goes.
class TTempDirectory {
public:
    TTempDirectory();
    ~TTempDirectory();
    TTempDirectory(const TTempDirectory&) = delete;
    TTempDirectory& operator=(const TTempDirectory&) = delete;

    const std::string& Path() const { return path_; }
    // Writes `bytes` to the file `name` in the folder and returns the file's path.
    std::string Write(const std::string& name, const std::string& bytes) const;
    // The bytes of the file `name` in the folder; empty when there is none.
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;

private:
    std::string path_;
};
