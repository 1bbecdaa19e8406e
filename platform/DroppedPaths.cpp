#include "platform/DroppedPaths.h"

#include "platform/CodePageText.h"

namespace {

// Closes the clipboard on every way out.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != 0) {}
    ~OpenedClipboard()
    {
        if (open_)
            CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool Open() const { return open_; }

private:
    bool open_;
};

} // namespace

std::vector<std::string> DroppedPaths(HDROP drop, std::size_t* skipped)
{
    std::vector<std::string> paths;
    if (skipped)
        *skipped = 0;
    if (!drop)
        return paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    paths.reserve(count);
    for (UINT i = 0; i < count; ++i) {
        // The length first, then a buffer that holds the whole path: a cut path would name another file.
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
        const UINT got = length ? DragQueryFileW(drop, i, wide.data(), length + 1) : 0;
        std::optional<std::string> path;
        if (got == length && length > 0) {
            wide.resize(got);
            path = ExactCodePageText(wide);
        }
        if (path)
            paths.push_back(std::move(*path));
        else if (skipped)
            ++*skipped;
    }
    return paths;
}

ClipboardRead ReadClipboardFiles(HWND owner, std::vector<std::string>& paths)
{
    OpenedClipboard clipboard(owner);
    if (!clipboard.Open())
        return ClipboardRead::Busy;
    if (!IsClipboardFormatAvailable(CF_HDROP))
        return ClipboardRead::NoFiles;
    auto* drop = static_cast<HDROP>(GetClipboardData(CF_HDROP));
    if (!drop)
        return ClipboardRead::NoFiles;
    paths = DroppedPaths(drop);
    return ClipboardRead::Files;
}
