#include "core/Operation.h"

#include <iterator>

namespace {

using W = FailureWording;
using L = JobLook;

// In the order of Operation: the row index is the operation's number.
constexpr OperationRow kOperations[] = {
    {kOpCopy, "Copy", "Copying ", true, true, false, W::Copy, L::Copy, "Panel10", "rbCopy", "imcopy", "imcopy1", 0, 0},
    {kOpCut, "Cut", "Copying ", true, false, true, W::Copy, L::Copy, "Panel11", "rbCut", "imcut", "imcut1", 128, 0},
    {kOpTrash, "Move to trash", "Removing ", false, false, false, W::Trash, L::Trash, "Panel12", "rbTrash", "imtrash",
     "imtrash1", 0, 91},
    {kOpDelete, "Delete", "Deleting ", false, false, false, W::Delete, L::Delete, "Panel13", "rbDelete", "imdelete",
     "imdelete1", 128, 91},
    {kOpCrush, "Crush", "Crushing ", false, false, false, W::Delete, L::Delete, "Panel15", "rbCrush", "imcrash",
     "imcrash1", 256, 91},
};
static_assert(std::size(kOperations) == kOperationCount, "one row for each operation");

constexpr bool RowsInOrder()
{
    for (int i = 0; i < kOperationCount; ++i)
        if (kOperations[i].kind != i)
            return false;
    return true;
}
static_assert(RowsInOrder(), "each row stands at its operation's number");

} // namespace

const OperationRow& RowOf(Operation operation)
{
    return kOperations[operation >= 0 && operation < kOperationCount ? operation : kOpCopy];
}
