#include "cli/FileText.h"

#include "cli/BodyFile.h"
#include "cli/UnreadableFile.h"
#include "cli/UnwritableFile.h"
#include "watch/RegularFile.h"

#include <utility>

std::string ReadRegularFile(const std::string& path, std::int64_t maxBytes) {
    watch::TRegularFileText file =
        watch::ReadRegularFile(path, static_cast<std::size_t>(maxBytes));
    if (file.State != watch::TRegularFileText::TState::Read)
        throw EUnreadableFile("cannot read " + path + ": " + file.Problem);
    return std::move(file.Text);
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    TBodyFile file(path);
    file.Write(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    file.Finish();
    if (!file.Failure().empty()) {
        file.Remove();
        throw EUnwritableFile(file.Failure());
    }
}
