// Every modal loop of the main window: message boxes, questions, the conflict dialogs, the
// folder-name dialog and the icon's menu. Each loop dispatches the window's messages and timers, so
// whatever starts in there runs inside it and keeps it from ending until it returns: they all go
// through RunModal, which counts the loop as up, so that a Begin waiting for its scan and a folder
// tree that opens anew wait until it has ended.
#include "app/Mainfrm.h"

#include "app/MainWindowClass.h"
#include "app/QuestionUp.h"
#include "platform/MessagePump.h"
#include "ui/MessageBoxes.h"

namespace {

constexpr const char* kMessageTitle = kApplicationTitle;  // the program's title, as every box of it

} // namespace

int TVorCopyPasteWin::RunModal(const std::function<int()>& loop, bool jobQuestion)
{
    progress.Display().Flush();  // the job stands still while the loop is up: show where
    int result = 0;
    {
        QuestionUp up(questionsUp, jobQuestion ? &asking : nullptr);
        result = loop();
    }
    // A quit the loop took off the queue stops a running job.
    NoticeQuit();
    return result;
}

// A dialog ended by a quit answers Skip (it shows nothing once a quit is known); the job stops.
ConflictAnswer TVorCopyPasteWin::AskFileExists(const std::string& path, const std::string& comparison)
{
    ConflictAnswer answer;
    RunModal(
        [&] {
            answer = fileExistsForm->Ask(path, comparison);
            return 0;
        },
        true);
    answer.renameNew = fileExistsForm->RenameModeNew();
    return answer;
}

ConflictAnswer TVorCopyPasteWin::AskFolderExists(const std::string& path)
{
    ConflictAnswer answer;
    RunModal(
        [&] {
            answer = folderExistsForm->Ask(path);
            return 0;
        },
        true);
    answer.renameNew = folderExistsForm->RenameModeNew();
    return answer;
}

bool TVorCopyPasteWin::AskYesNo(const std::string& text, const std::string& title)
{
    // While the program is ending nothing is asked: No never does anything.
    if (QuitPending() || state.quitFlag)
        return false;
    // Asked while a job runs, the question is the job's (the free space at its destination).
    const bool yes = RunModal([&] { return ui::AskYesNo(Handle(), text, title) ? 1 : 0; }, job && job->Running());
    return yes && !state.quitFlag;
}

void TVorCopyPasteWin::ShowMessage(const std::string& text)
{
    RunModal([&] {
        ui::ShowMessage(Handle(), text, kMessageTitle);
        return 0;
    });
}

int TVorCopyPasteWin::RunDialog(ui::Form& dialog)
{
    return RunModal([&] { return dialog.ShowModal(); });
}

void TVorCopyPasteWin::RunMenu(ui::PopupMenu& menu, POINT at)
{
    RunModal([&] { return menu.Popup(Handle(), at.x, at.y); });
}
