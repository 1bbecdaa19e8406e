#pragma once

// Operation kinds; the same numbers tag the operation radio buttons and pictures.
enum Operation : int { kOpCopy = 0, kOpCut = 1, kOpTrash = 2, kOpDelete = 3, kOpCrush = 4 };
constexpr int kOperationCount = 5;
