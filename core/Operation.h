#pragma once

// Operation kinds; the same numbers tag the operation radio buttons and pictures, and order the rows
// of the operation table.
enum Operation : int { kOpCopy = 0, kOpCut = 1, kOpTrash = 2, kOpDelete = 3, kOpCrush = 4 };
constexpr int kOperationCount = 5;

// How a file the job cannot reach is told in the log.
enum class FailureWording { Copy, Trash, Delete };
// Which animation plays while the job runs.
enum class JobLook { Copy, Trash, Delete };

// What one operation needs and does. Everything that differs between operations reads it from its
// row here, so that a new operation is a row of the table and its file operation in the engine.
struct OperationRow {
    Operation kind;
    const char* caption;   // its radio button; the Operation header and the log name it so too
    const char* underWay;  // the file label while a file is done: "Copying " + path
    // Copy and Cut write somewhere: the To section is open to them, Begin asks for a full
    // destination path, the free space there is checked, and folders are made there.
    bool usesDestination;
    bool keepsSources;  // Copy: the sources stay; every other operation removes the folders it emptied
    // Cut: an item already where it would go is left alone, and one on the destination's volume moves
    // by rename, so it needs no room there.
    bool movesSources;
    FailureWording failure;
    JobLook look;
    // Its cell in the Operation section: the form's names of the cell, the radio button, the picture
    // and the section header's icon, and where the cell sits.
    const char* cellName;
    const char* radioName;
    const char* pictureName;
    const char* iconName;
    int cellLeft;
    int cellTop;
};

// The row of an operation; a value outside the table reads as Copy.
const OperationRow& RowOf(Operation operation);
