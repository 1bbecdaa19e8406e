#include "engine/FilesInFlight.h"

#include "engine/progress.h"

#include "core/ProgressTexts.h"

#include <windows.h>

#include <algorithm>

namespace {

// Files handed in and not yet finished, whatever their stage: bounds the memory of a job to this
// many entries whatever the size of the tree, and is deep enough that a worker never waits for the
// job's thread to hand in the next file while small files go by.
constexpr std::size_t kDepth = 64;
// With every place taken, the job's thread sleeps until this many of the oldest files are written,
// not until each one is: with small files, each wake was three requests to the server (the worker's
// signal, the wait and its queue mask) against about ten for the file's whole work.
constexpr std::size_t kWakeBatch = 16;
static_assert(kWakeBatch >= 1 && kWakeBatch <= kDepth);
// Steps that wait behind the files in flight (one for each file, filtered out or not).
constexpr std::size_t kStepsWaiting = 4096;
// How long the job's thread sleeps at most before it looks at its files again; it wakes at once for
// a message or a file whose work has ended.
constexpr DWORD kWaitSliceMs = 50;
// While the job is paused nothing moves but through a message, which ends the wait at once.
constexpr DWORD kPausedWaitSliceMs = 1000;

} // namespace

bool FileWorkControl::WaitWhilePaused() const
{
    for (;;) {
        const std::uint32_t seen = SharedFlag::Changes();
        if (!Paused() || Stopped())
            return !Stopped();
        SharedFlag::WaitForChange(seen);
    }
}

FilesInFlight::FilesInFlight(JobHost& window, JobState& state, int fixedCount)
    : window_(window), state_(state), count_(fixedCount), written_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      allowed_(count_.Count())
{
}

FilesInFlight::~FilesInFlight()
{
    // Only reached with files in flight when the job is left by an exception: what is being written
    // is given up (its copy goes with its handle), and nothing more is started.
    abandoned_ = true;
    SharedFlag::WakeWaiters();  // a worker held by a pause takes the news
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
}

int FilesInFlight::DefaultWorkers()
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return std::clamp(static_cast<int>(info.dwNumberOfProcessors), 2, 4);
}

void FilesInFlight::StartWorkers()
{
    // A thread stays once started: a count that comes down only leaves it waiting.
    while (workers_.size() < static_cast<std::size_t>(count_.Count()))
        workers_.emplace_back([this] { WorkerLoop(); });
}

void FilesInFlight::Retune()
{
    if (workers_.empty())
        return;  // nothing handed in yet
    const std::uint32_t now = window_.TickMs();
    const std::uint32_t ms = now - windowStart_;
    if (ms < InFlightCount::kWindowMs)
        return;
    const std::int64_t bytes = finishedBytes_ + BytesWritten();
    // A window in which the workers often ran out of files (the walk, a question, the job's own
    // thread held them back) or that saw a pause tells nothing of the count.
    const int starved = starved_.exchange(0);
    const bool busy = !state_.pauseFlag && static_cast<std::int64_t>(starved) * 20 <= windowFiles_;
    const int before = count_.Count();
    const int next = count_.Next(windowFiles_, bytes - windowBytes_, ms, busy);
    if (windowMeasured)
        windowMeasured(windowFiles_, bytes - windowBytes_, ms, busy, before, next);
    windowStart_ = now;
    windowFiles_ = 0;
    windowBytes_ = bytes;
    if (next == before)
        return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        allowed_ = next;
    }
    StartWorkers();
    wake_.notify_all();
}

void FilesInFlight::WorkerLoop()
{
    for (;;) {
        Ticket* ticket = nullptr;
        int places = 0;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            // The next file starts where its places are free; a file alone always does.
            const auto fits = [this] {
                return placesTaken_ == 0 ||
                       placesTaken_ + InFlightCount::PlacesOf(toStart_.front()->file.bytes) <= allowed_;
            };
            wake_.wait(lock, [this, &fits] { return closing_ || (!toStart_.empty() && fits()); });
            if (toStart_.empty())
                return;  // closing, and nothing left to take up
            ticket = toStart_.front();
            toStart_.pop_front();
            places = InFlightCount::PlacesOf(ticket->file.bytes);
            placesTaken_ += places;
        }
        // A paused job starts no new file either; a stopped one starts none at all.
        if (ticket->control->WaitWhilePaused()) {
            ticket->stage = kWriting;
            const int writing = ++writing_;
            // Whatever goes wrong in there is the job's to report, on its own thread, in its turn.
            try {
                if (simulatedDevice)
                    simulatedDevice(writing);
                ticket->file.work(*ticket->control);
            } catch (...) {
                ticket->failure = std::current_exception();
            }
            --writing_;
            ticket->stage = kWritten;
        } else {
            ticket->stage = kNotStarted;
        }
        bool more;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            placesTaken_ -= places;
            if (toStart_.empty())
                ++starved_;
            more = places > 1 && !toStart_.empty();
        }
        if (more)
            wake_.notify_one();  // a large file's places may start two small ones
        // The job's thread is woken only for the file it waits for: with small files, a wake for every
        // file that ends out of turn is a round trip to the system and back for nothing. (The stage is
        // stored before the look, and the job's thread names its file before it looks at the stage, so
        // one of the two always sees the other.)
        const Ticket* waited = waitedFor_.load();
        if (waited == ticket || waited == kAnyTicket)
            SetEvent(written_.Get());
    }
}

bool FilesInFlight::PlaceInFlight(const std::string& place) const
{
    return std::any_of(tickets_.begin(), tickets_.end(),
                       [&place](const std::unique_ptr<Ticket>& t) { return t->file.place == place; });
}

void FilesInFlight::Hand(FileWork work)
{
    // Two files bound for one place (a flattened copy of a_b.txt and a\b.txt): the second waits until
    // the first stands, and then meets it as a file of this job, as it would one file at a time.
    if (!work.place.empty() && PlaceInFlight(work.place))
        FinishAll();
    WaitForRoom();
    if (workers_.empty()) {
        StartWorkers();
        windowStart_ = window_.TickMs();
    }
    auto ticket = std::make_unique<Ticket>();
    ticket->file = std::move(work);
    ticket->control = std::make_unique<FileWorkControl>(state_, abandoned_);
    Ticket* handed = ticket.get();
    tickets_.push_back(std::move(ticket));
    {
        std::lock_guard<std::mutex> lock(mutex_);
        toStart_.push_back(handed);
    }
    wake_.notify_one();
}

void FilesInFlight::Then(std::function<void()> step)
{
    if (tickets_.empty() || finishing_) {
        step();
        return;
    }
    // Files left out by the filters while a long one is written pile up here: bounded as well.
    while (!tickets_.empty() && stepsWaiting_ >= kStepsWaiting)
        WaitForOldest();
    if (tickets_.empty()) {
        step();
        return;
    }
    // After the newest file, and only when the job reaches it.
    tickets_.back()->then.push_back(std::move(step));
    ++stepsWaiting_;
}

void FilesInFlight::FinishReady()
{
    bool shownFinished = false;
    while (!tickets_.empty()) {
        Ticket& oldest = *tickets_.front();
        const int stage = oldest.stage;
        if (stage != kWritten && stage != kNotStarted) {
            Retune();
            return;
        }
        // Taken off first: a finish that asks a question pumps messages, and nothing in there may
        // finish this file twice.
        std::unique_ptr<Ticket> ticket = std::move(tickets_.front());
        tickets_.pop_front();
        if (shownTicket_ == ticket.get()) {
            shownTicket_ = nullptr;
            shownFinished = true;
        }
        finishing_ = true;
        struct Clear {
            bool& flag;
            ~Clear() { flag = false; }
        } clear{finishing_};
        stepsWaiting_ -= ticket->then.size();
        if (stage == kWritten) {
            ++windowFiles_;
            finishedBytes_ += ticket->control->Done();
        }
        if (ticket->failure)
            std::rethrow_exception(ticket->failure);
        const bool reached = !ticket->file.finish || ticket->file.finish(stage == kWritten);
        if (reached) {
            for (const std::function<void()>& step : ticket->then)
                step();
        }
    }
    Retune();
    if (shownFinished && fileLineShown_) {
        // The line named a file that is done; the next wait names the file it waits for.
        fileLineShown_ = false;
        window_.SetFileProgressText("");
        window_.SetFileBar(0, 0);
    }
}

void FilesInFlight::ShowOldest()
{
    // The oldest file still being written: the oldest of all, unless it is already written and waits
    // to be finished with those after it.
    const auto writing = std::find_if(tickets_.begin(), tickets_.end(), [](const std::unique_ptr<Ticket>& t) {
        const int stage = t->stage;
        return stage == kWaiting || stage == kWriting;
    });
    if (writing == tickets_.end())
        return;
    const Ticket& oldest = **writing;
    if (oldest.stage != kWriting || oldest.file.shown.empty())
        return;
    if (shownTicket_ != &oldest) {
        shownTicket_ = &oldest;
        fileLineShown_ = true;
        window_.SetFileProgressText(oldest.file.shown);
    }
    const auto [maximum, position] = ScaleForBar(oldest.control->Total(), oldest.control->Done());
    window_.SetFileBar(maximum, position);
    // Large files take seconds each: the time remaining also follows the bytes written meanwhile.
    ShowTimeWithinFiles(state_, window_, BytesWritten());
}

std::int64_t FilesInFlight::BytesWritten() const
{
    std::int64_t bytes = 0;
    for (const std::unique_ptr<Ticket>& ticket : tickets_)
        if (ticket->control)
            bytes += ticket->control->Done();
    return bytes;
}

void FilesInFlight::WaitForOldest()
{
    FinishReady();
    if (tickets_.empty())
        return;
    const Ticket* oldest = tickets_.front().get();
    while (!tickets_.empty() && tickets_.front().get() == oldest) {
        waitedFor_ = oldest;
        const int stage = oldest->stage;
        if (stage == kWritten || stage == kNotStarted) {
            FinishReady();
            return;
        }
        ShowOldest();
        WaitForWrittenOrMessage();
    }
}

void FilesInFlight::WaitForRoom()
{
    const auto done = [](const Ticket& t) {
        const int stage = t.stage;
        return stage == kWritten || stage == kNotStarted;
    };
    while (tickets_.size() >= kDepth) {
        // The wait is for the end of a batch; once that is written, for the oldest file, which is
        // finished first (a long one is still being written while the small ones after it are done).
        // Every wake, and the wait's slice at the latest, shows the oldest file still being written.
        const Ticket* batchEnd = tickets_[kWakeBatch - 1].get();
        const Ticket* waited = done(*batchEnd) ? tickets_.front().get() : batchEnd;
        waitedFor_ = waited;
        if (!done(*waited)) {
            // A paused job shows every file already written as done, as one file at a time would.
            if (state_.pauseFlag)
                FinishReady();
            if (tickets_.size() < kDepth)
                break;
            ShowOldest();
            WaitForWrittenOrMessage();
            continue;
        }
        FinishReady();
    }
}

void FilesInFlight::WaitForAllWork()
{
    waitedFor_ = kAnyTicket;
    for (;;) {
        const bool writing = std::any_of(tickets_.begin(), tickets_.end(), [](const std::unique_ptr<Ticket>& t) {
            const int stage = t->stage;
            return stage == kWaiting || stage == kWriting;
        });
        if (!writing)
            return;
        WaitForWrittenOrMessage();
    }
}

void FilesInFlight::WaitForWrittenOrMessage()
{
    const HANDLE written = written_.Get();
    const DWORD woke = MsgWaitForMultipleObjects(1, &written, FALSE,
                                                 state_.pauseFlag ? kPausedWaitSliceMs : kWaitSliceMs, QS_ALLINPUT);
    // A file's end (with small files, several hundred a second) looks at the queue as the work between
    // files does, every few milliseconds: a look is a round trip to the window server. A message, or
    // the slice's end, is taken at once; a message left unread meanwhile ends the next wait at once.
    if (woke == WAIT_OBJECT_0 && !state_.pauseFlag)
        window_.ProcessMessages();
    else
        window_.ProcessMessagesWhileWaiting();
}

void FilesInFlight::FinishAll()
{
    if (finishing_)
        return;
    while (!tickets_.empty())
        WaitForOldest();
}

void FilesInFlight::Settle()
{
    if (!finishing_)
        FinishAll();
}

void FilesInFlight::SettleForQuestion()
{
    if (finishing_)
        WaitForAllWork();
    else
        FinishAll();
}

void FilesInFlight::AppendLog(const std::string& entry)
{
    Settle();
    window_.AppendLog(entry);
}

// In the log's order: from a file's finish at once (the files before it are finished), from
// anywhere else once the files handed in before are.
void FilesInFlight::FileSettled(const FileOutcome& outcome)
{
    Settle();
    window_.FileSettled(outcome);
}

void FilesInFlight::ClearLog()
{
    Settle();
    window_.ClearLog();
}

void FilesInFlight::ProcessMessages()
{
    window_.ProcessMessages();
    if (!finishing_)
        FinishReady();
}

void FilesInFlight::SetProgressText(ProgressText which, const std::string& text)
{
    Settle();
    window_.SetProgressText(which, text);
}

void FilesInFlight::SetOverallBarMax(int maximum)
{
    Settle();
    window_.SetOverallBarMax(maximum);
}

void FilesInFlight::SetOverallBarPos(int position)
{
    Settle();
    window_.SetOverallBarPos(position);
}

ConflictAnswer FilesInFlight::AskFileExists(const std::string& path, const std::string& comparison)
{
    SettleForQuestion();
    return window_.AskFileExists(path, comparison);
}

ConflictAnswer FilesInFlight::AskFolderExists(const std::string& path)
{
    SettleForQuestion();
    return window_.AskFolderExists(path);
}

bool FilesInFlight::AskYesNo(const std::string& text, const std::string& title)
{
    SettleForQuestion();
    return window_.AskYesNo(text, title);
}

void FilesInFlight::ShowMessage(const std::string& text)
{
    SettleForQuestion();
    window_.ShowMessage(text);
}

void FilesInFlight::EnterRunningState(Operation operation)
{
    Settle();
    window_.EnterRunningState(operation);
}

void FilesInFlight::ShowPaused(bool paused)
{
    Settle();
    window_.ShowPaused(paused);
}

void FilesInFlight::EnterRestState()
{
    Settle();
    window_.EnterRestState();
}

void FilesInFlight::HideMainWindow()
{
    Settle();
    window_.HideMainWindow();
}
