// ReplaceFileContents in its two forms, on the platform's ReplaceKeepingMetadata.
#include <cerrno>

#include "files/file_replacement.h"

namespace tessaly {

WriteResult ReplaceFileContents(const std::string& path, std::span<const unsigned char> bytes,
                                mode_t newFileMode) {
    ReplaceOutcome outcome = ReplaceKeepingMetadata(path, bytes, newFileMode);
    if (outcome.metadataNotKept) {
        return WriteResult::Refused(
            outcome.result.error ? outcome.result.error : EPERM,
            "The old file's owner, permissions or attributes could not be kept");
    }
    return outcome.result;
}

WriteResult ReplaceFileContents(const std::string& path, std::string_view text,
                                mode_t newFileMode) {
    return ReplaceFileContents(
        path,
        std::span<const unsigned char>(reinterpret_cast<const unsigned char*>(text.data()),
                                       text.size()),
        newFileMode);
}

}  // namespace tessaly
