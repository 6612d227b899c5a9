#include "script/shotdata_check.h"

#include <optional>

#include "script/binary_scanner.h"
#include "script/token_file.h"

namespace {

// Entries scanned at start-up; the records are only checked for readability, never kept.
constexpr int kCheckedEntries = 250;

}  // namespace

void RunShotDataTokenCheck() {
    const ShotDataKeywordTable keywords = BuildShotDataKeywordTable();
    WriteTokenFile(keywords);
    std::optional<TokenBuffer> buffer = ReadTokenFile();
    if (!buffer) return;
    ScanShotHeader(*buffer);
    for (int index = 0; index < kCheckedEntries; ++index)
        ScanShotEntry(*buffer, index);
    ScanShotEntry(*buffer, 1);
    ReleaseTokenBuffer(*buffer);
}
